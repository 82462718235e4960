#include "FuzzCheck.h"
#include "midi/ProgramMessages.h"
#include "model/midiFormatException.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Any SysEx body the input port might deliver, wrapped as the port would.
    if (size > 4096)
        return 0;
    const auto message = juce::MidiMessage::createSysExMessage(data, static_cast<int>(size));
    try
    {
        const ProgramValues values = decodeProgramSysEx(message);
        fuzzcheck::expectExactDecode(values, message.getSysExData() + ProgramSysEx::firstValueOffset - 1);
    }
    catch (const midiFormatException&)
    {
    }
    (void)getSysExCommand(message);
    return 0;
}
