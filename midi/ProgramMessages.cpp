#include "midi/ProgramMessages.h"

#include "model/midiFormatException.h"

namespace ProgramSysEx
{
juce::MidiMessage programWriteMessage(const ByteArray& data, int programNumber)
{
    const ByteArray message = writeData(data, programNumber);
    return juce::MidiMessage::createSysExMessage(message.data(), dataSize);
}

juce::MidiMessage programRequestMessage(int programNumber)
{
    const ByteArray data = requestData(programNumber);
    return juce::MidiMessage::createSysExMessage(data.data(), static_cast<int>(data.size()));
}
} // namespace ProgramSysEx

int getSysExCommand(const juce::MidiMessage& message)
{
    if (!message.isSysEx())
        return 0;
    return getSysExCommandData(message.getSysExData(), message.getSysExDataSize());
}

ProgramValues decodeProgramSysEx(const juce::MidiMessage& message)
{
    if (!message.isSysEx())
        throw midiFormatException();
    return decodeProgramSysExData(message.getSysExData(), message.getSysExDataSize());
}
