#include "cli/DeviceSession.h"

#include "model/ProgramImage.h"
#include "midi/ProgramMessages.h"

DeviceSession::DeviceSession(MidiDeviceSeam& devicesToUse) : devices(devicesToUse)
{
}

DeviceSession::~DeviceSession()
{
    if (input != nullptr)
        input->stop();
}

juce::String DeviceSession::findPortName(MidiDeviceSeam& devices, const juce::String& name,
                                         juce::StringArray& matches)
{
    // An input and an output of one name are one port, and so are two ports of one name.
    juce::StringArray names;
    for (const auto& list : {devices.getInputNames(), devices.getOutputNames()})
        for (const auto& portName : list)
            names.addIfNotAlreadyThere(portName);
    matches.clear();
    if (names.contains(name))
        return name;
    for (const auto& candidate : names)
        if (candidate.containsIgnoreCase(name))
            matches.add(candidate);
    if (matches.size() != 1)
        return {};
    const juce::String found = matches[0];
    matches.clear();
    return found;
}

juce::String DeviceSession::open(const juce::String& portName, bool withInput)
{
    const auto inputs = devices.getInputNames();
    const auto outputs = devices.getOutputNames();
    // Of two ports with one name the later is used, as in the editor.
    const auto lastIndexOf = [&portName](const juce::StringArray& names)
    {
        for (int index = names.size(); --index >= 0;)
            if (names[index] == portName)
                return index;
        return -1;
    };
    const int inputIndex = lastIndexOf(inputs);
    const int outputIndex = lastIndexOf(outputs);
    if (inputIndex < 0 && outputIndex < 0)
        return "no MIDI port is named \"" + portName + "\"";
    if (outputIndex < 0)
        return "\"" + portName + "\" has no MIDI output to send on";
    if (inputIndex < 0 && withInput)
        return "\"" + portName + "\" has no MIDI input to hear the controller on";

    output = devices.openOutput(outputIndex, portName);
    if (output == nullptr)
        return "unable to open the MIDI output \"" + portName + "\"";
    if (!withInput)
        return {};
    input = devices.openInput(inputIndex, portName, this);
    if (input == nullptr)
        return "unable to open the MIDI input \"" + portName + "\"";
    input->start();
    return {};
}

void DeviceSession::sendProgram(const ByteArray& image, int programNumber)
{
    output->sendMessageNow(ProgramSysEx::programWriteMessage(ProgramImage::toData(image), programNumber));
}

DeviceSession::Reply DeviceSession::requestProgram(int programNumber, int timeoutMs)
{
    {
        const std::lock_guard<std::mutex> guard(lock);
        pending = {};
        firstBadDump.reset();
        listening = true;
    }
    output->sendMessageNow(ProgramSysEx::programRequestMessage(programNumber));

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::unique_lock<std::mutex> guard(lock);
    for (;;)
    {
        auto until = deadline;
        if (firstBadDump)
            until = std::min(until, *firstBadDump + std::chrono::milliseconds(badDumpGraceMs));
        if (pending.image || std::chrono::steady_clock::now() >= until)
            break;
        arrived.wait_until(guard, until);
    }
    listening = false;
    return pending;
}

void DeviceSession::handleIncomingMidiMessage(juce::MidiInput*, const juce::MidiMessage& message)
{
    if (getSysExCommand(message) != ProgramSysEx::programDumpCommand)
        return;

    const std::lock_guard<std::mutex> guard(lock);
    if (!listening || pending.image)
        return;
    juce::String problem;
    ByteArray image;
    if (message.getSysExDataSize() != ProgramSysEx::dataSize)
    {
        problem = "it holds " + juce::String(message.getRawDataSize()) +
                  " bytes; a program dump holds exactly " + juce::String(ProgramSysEx::messageSize);
    }
    else
    {
        image = ProgramImage::fromData(
            ByteArray(message.getSysExData(), message.getSysExData() + ProgramSysEx::dataSize));
        problem = ProgramImage::findProblem(image);
    }
    if (problem.isEmpty())
    {
        pending.image = std::move(image);
    }
    else
    {
        if (pending.badDumps++ == 0)
            pending.badDumpProblem = problem;
        if (!firstBadDump)
            firstBadDump = std::chrono::steady_clock::now();
    }
    arrived.notify_all();
}
