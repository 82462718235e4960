#include "midi/MidiLog.h"

#include "model/ProgramChoices.h"
#include "model/ProgramSysEx.h"

namespace
{
juce::String programName(int number)
{
    if (number == ProgramSysEx::ramProgramNumber)
        return "RAM";
    if (number >= 1 && number <= ProgramSysEx::highestProgramNumber)
        return "slot " + juce::String(number);
    return "program number " + juce::String(number) + " (no such slot)";
}

juce::String describeSysEx(const juce::MidiMessage& message)
{
    const auto* data = message.getSysExData();
    const int size = message.getSysExDataSize();
    const juce::String bytes = "SysEx, " + juce::String(message.getRawDataSize()) + " bytes, ";
    if (size < 4 || data[0] != ProgramSysEx::manufacturerId || data[2] != ProgramSysEx::productId)
        return bytes + "not a Velkor message";

    const int command = data[3];
    const juce::String program = size > ProgramSysEx::programNumberDataIndex
                                     ? programName(data[ProgramSysEx::programNumberDataIndex])
                                     : juce::String("no program number");
    switch (command)
    {
    case ProgramSysEx::programRequestCommand:
        if (size == ProgramSysEx::requestSize - 2)
            return "program request, " + program;
        break;
    case ProgramSysEx::programWriteCommand:
    case ProgramSysEx::programDumpCommand:
    {
        const juce::String kind =
            command == ProgramSysEx::programDumpCommand ? "program dump, " : "program write, ";
        if (size != ProgramSysEx::dataSize)
            return kind + program + ", " + juce::String(size) + " data bytes instead of " +
                   juce::String(ProgramSysEx::dataSize);
        const auto* values = data + ProgramSysEx::firstValueOffset - 1;
        if (!ProgramSysEx::decodeValueBytes(values))
            return kind + program + ", with a value out of range";
        return kind + program;
    }
    default:
        break;
    }
    return bytes + "a Velkor message with command 0x" +
           juce::String::toHexString(command).paddedLeft('0', 2).toUpperCase() + " and " +
           juce::String(size) + " data bytes";
}

juce::String channelOf(const juce::MidiMessage& message)
{
    return ", channel " + juce::String(message.getChannel());
}

juce::String noteOf(const juce::MidiMessage& message)
{
    return ", note " + juce::String(message.getNoteNumber()) + " (" +
           ProgramChoices::padNoteName(message.getNoteNumber()) + ")";
}
} // namespace

void MidiLog::add(bool incoming, const juce::String& port, const juce::MidiMessage& message)
{
    append({juce::Time::getCurrentTime(), incoming, port, message.getRawDataSize(), describe(message)});
}

void MidiLog::addNote(const juce::String& text)
{
    Entry entry;
    entry.time = juce::Time::getCurrentTime();
    entry.description = text;
    entry.note = true;
    append(std::move(entry));
}

void MidiLog::append(Entry entry)
{
    const std::lock_guard<std::mutex> guard(lock);
    entries.push_back(std::move(entry));
    if (entries.size() > capacity)
        entries.pop_front();
    ++serial;
}

void MidiLog::clear()
{
    const std::lock_guard<std::mutex> guard(lock);
    entries.clear();
    ++serial;
}

std::vector<MidiLog::Entry> MidiLog::getEntries() const
{
    const std::lock_guard<std::mutex> guard(lock);
    return {entries.begin(), entries.end()};
}

std::uint64_t MidiLog::getSerial() const
{
    const std::lock_guard<std::mutex> guard(lock);
    return serial;
}

juce::String MidiLog::formatTime(juce::Time time)
{
    return time.formatted("%H:%M:%S.") + juce::String(time.getMilliseconds()).paddedLeft('0', 3);
}

juce::String MidiLog::toText() const
{
    juce::String text;
    for (const auto& entry : getEntries())
        if (entry.note)
            text << formatTime(entry.time) << "\tNOTE\t\t\t" << entry.description << "\n";
        else
            text << formatTime(entry.time) << "\t" << (entry.incoming ? "IN" : "OUT") << "\t" << entry.port
                 << "\t" << entry.length << " bytes\t" << entry.description << "\n";
    return text;
}

juce::String MidiLog::describe(const juce::MidiMessage& message)
{
    if (message.isSysEx())
        return describeSysEx(message);
    if (message.isNoteOn())
        return "Note On" + channelOf(message) + noteOf(message) + ", velocity " +
               juce::String(message.getVelocity());
    if (message.isNoteOff())
        return "Note Off" + channelOf(message) + noteOf(message);
    if (message.isController())
        return "Control Change" + channelOf(message) + ", CC " + juce::String(message.getControllerNumber()) +
               ", value " + juce::String(message.getControllerValue());
    if (message.isProgramChange())
        return "Program Change" + channelOf(message) + ", program " +
               juce::String(message.getProgramChangeNumber());
    if (message.isPitchWheel())
        return "Pitch Bend" + channelOf(message) + ", " + juce::String(message.getPitchWheelValue());
    if (message.isAftertouch())
        return "Aftertouch" + channelOf(message) + noteOf(message) + ", " +
               juce::String(message.getAfterTouchValue());
    if (message.isChannelPressure())
        return "Channel Pressure" + channelOf(message) + ", " +
               juce::String(message.getChannelPressureValue());
    if (message.isMidiClock())
        return "Clock";
    if (message.isMidiStart())
        return "Start";
    if (message.isMidiStop())
        return "Stop";
    if (message.isMidiContinue())
        return "Continue";
    if (message.isActiveSense())
        return "Active Sensing";
    return message.getDescription();
}
