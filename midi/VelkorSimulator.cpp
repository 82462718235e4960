#include "midi/VelkorSimulator.h"

#include "model/ProgramModel.h"
#include "midi/ProgramMessages.h"

namespace
{
bool isProgramNumber(int number)
{
    return number >= ProgramSysEx::ramProgramNumber && number <= ProgramSysEx::highestProgramNumber;
}

juce::MidiMessage sysEx(const ByteArray& data)
{
    // JUCE copies from a null pointer when there is no data.
    if (data.empty())
    {
        const std::uint8_t empty[] = {0xf0, 0xf7};
        return juce::MidiMessage(empty, 2);
    }
    return juce::MidiMessage::createSysExMessage(data.data(), static_cast<int>(data.size()));
}

ByteArray dumpData(const ByteArray& image)
{
    ByteArray data = image;
    data[3] = ProgramSysEx::programDumpCommand;
    return data;
}

constexpr std::size_t transpositionDataIndex = ProgramSysEx::lastValueOffset - 1;
// The tempo's bit 7, then bits 0 to 6.
constexpr std::size_t tempoHighDataIndex = 17;
constexpr std::size_t tempoLowDataIndex = 18;
constexpr int highestTempo = 255;

// Any other value stays valid, so the program does too.
void changeTempo(std::uint8_t* data)
{
    const int tempo = (data[tempoHighDataIndex] << 7) | data[tempoLowDataIndex];
    const int changed = tempo < highestTempo ? tempo + 1 : tempo - 1;
    data[tempoHighDataIndex] = static_cast<std::uint8_t>(changed >> 7);
    data[tempoLowDataIndex] = static_cast<std::uint8_t>(changed & 0x7f);
}
} // namespace

VelkorSimulator::VelkorSimulator()
{
    const ByteArray image = ProgramModel::makeDefault().toSysExData();
    for (int number = 0; number < numPrograms; ++number)
    {
        auto& program = programs[static_cast<std::size_t>(number)];
        program = image;
        program[ProgramSysEx::programNumberDataIndex] = static_cast<std::uint8_t>(number);
    }
    thread = std::thread([this] { run(); });
}

VelkorSimulator::~VelkorSimulator()
{
    {
        const std::lock_guard<std::mutex> lock(queueMutex);
        stopping = true;
    }
    queueChanged.notify_all();
    thread.join();
}

void VelkorSimulator::receive(const juce::MidiMessage& message)
{
    const int command = getSysExCommand(message);
    const int size = message.getSysExDataSize();
    if (command == ProgramSysEx::programWriteCommand && size == ProgramSysEx::dataSize)
        storeWrite(message);
    else if (command == ProgramSysEx::programRequestCommand && size == ProgramSysEx::requestSize - 2)
    {
        const int number = message.getSysExData()[ProgramSysEx::programNumberDataIndex];
        if (isProgramNumber(number))
            answerRequest(number);
    }
}

void VelkorSimulator::storeWrite(const juce::MidiMessage& message)
{
    const std::uint8_t* data = message.getSysExData();
    const int number = data[ProgramSysEx::programNumberDataIndex];
    if (!isProgramNumber(number))
        return;
    try
    {
        decodeProgramSysEx(message);
    }
    catch (const std::exception&)
    {
        return;
    }
    ByteArray stored(data, data + ProgramSysEx::dataSize);
    if (getFault(number) == Fault::changesValue)
        changeTempo(stored.data());
    const std::lock_guard<std::mutex> lock(programsMutex);
    programs[static_cast<std::size_t>(number)] = std::move(stored);
}

void VelkorSimulator::answerRequest(int programNumber)
{
    ++requestsReceived;
    const ByteArray image = getProgramImage(programNumber);
    std::vector<Delivery> reply;
    switch (getFault(programNumber))
    {
    case Fault::none:
    case Fault::changesValue:
        reply.push_back({sysEx(dumpData(image)), {}});
        break;
    case Fault::noReply:
        break;
    case Fault::wrongLength:
    {
        ByteArray data = dumpData(image);
        data.push_back(0);
        reply.push_back({sysEx(data), {}});
        break;
    }
    case Fault::corruptValue:
    {
        ByteArray data = dumpData(image);
        data[transpositionDataIndex] = 25;
        reply.push_back({sysEx(data), {}});
        break;
    }
    case Fault::flood:
        reply = floodFor(image);
        break;
    }
    schedule(std::move(reply));
}

std::vector<VelkorSimulator::Delivery> VelkorSimulator::floodFor(const ByteArray& image)
{
    juce::Random random(0x5eed + floodsSent++);
    const ByteArray dump = dumpData(image);
    const auto sevenBits = [&random] { return static_cast<std::uint8_t>(random.nextInt(128)); };
    std::vector<Delivery> burst;
    const int count = floodSize;
    for (int i = 0; i < count; ++i)
    {
        switch (i % 6)
        {
        case 0:
        {
            const int note = i % 128;
            burst.push_back({random.nextBool() ? juce::MidiMessage::noteOn(1, note, std::uint8_t{100})
                                               : juce::MidiMessage::noteOff(1, note),
                             {}});
            break;
        }
        case 1:
        {
            // Sometimes the dump's own header, so that only the length or the values give it away.
            ByteArray data(static_cast<std::size_t>(random.nextInt(140)));
            for (auto& byte : data)
                byte = sevenBits();
            if (random.nextBool() && data.size() >= 4)
                std::copy(dump.begin(), dump.begin() + 4, data.begin());
            burst.push_back({sysEx(data), {}});
            break;
        }
        case 2:
        {
            ByteArray partial{0xf0};
            partial.insert(partial.end(), dump.begin(), dump.begin() + 1 + random.nextInt(100));
            burst.push_back({juce::MidiMessage(), partial});
            break;
        }
        case 3:
        {
            ByteArray data = dump;
            if (random.nextBool())
                data.pop_back();
            else
                data.push_back(sevenBits());
            burst.push_back({sysEx(data), {}});
            break;
        }
        case 4:
        {
            ByteArray data = dump;
            data[static_cast<std::size_t>(7 + random.nextInt(ProgramSysEx::valueCount))] = 0x7f;
            data[transpositionDataIndex] = 0x7f;
            burst.push_back({sysEx(data), {}});
            break;
        }
        default:
            burst.push_back({sysEx(dump), {}});
            break;
        }
    }
    return burst;
}

void VelkorSimulator::connect(juce::MidiInputCallback& callback)
{
    const std::lock_guard<std::recursive_mutex> lock(callbacksMutex);
    if (std::find(callbacks.begin(), callbacks.end(), &callback) == callbacks.end())
        callbacks.push_back(&callback);
}

void VelkorSimulator::disconnect(juce::MidiInputCallback& callback)
{
    const std::lock_guard<std::recursive_mutex> lock(callbacksMutex);
    callbacks.erase(std::remove(callbacks.begin(), callbacks.end(), &callback), callbacks.end());
}

void VelkorSimulator::setFault(int programNumber, Fault newFault)
{
    if (!isProgramNumber(programNumber))
        return;
    const std::lock_guard<std::mutex> lock(slotFaultsMutex);
    slotFaults[static_cast<std::size_t>(programNumber)] = newFault;
}

void VelkorSimulator::clearSlotFaults()
{
    const std::lock_guard<std::mutex> lock(slotFaultsMutex);
    slotFaults.fill(std::nullopt);
}

VelkorSimulator::Fault VelkorSimulator::getFault(int programNumber) const
{
    if (isProgramNumber(programNumber))
    {
        const std::lock_guard<std::mutex> lock(slotFaultsMutex);
        if (const auto& own = slotFaults[static_cast<std::size_t>(programNumber)])
            return *own;
    }
    return fault;
}

void VelkorSimulator::setReplyDelay(int milliseconds)
{
    replyDelayMs = std::max(0, milliseconds);
}

void VelkorSimulator::setFloodSize(int messages)
{
    floodSize = std::max(0, messages);
}

void VelkorSimulator::inject(const juce::MidiMessage& message)
{
    schedule({{message, {}}});
}

void VelkorSimulator::injectPartialSysEx(const ByteArray& bytes)
{
    if (!bytes.empty())
        schedule({{juce::MidiMessage(), bytes}});
}

ByteArray VelkorSimulator::getProgramImage(int programNumber) const
{
    if (!isProgramNumber(programNumber))
        return {};
    const std::lock_guard<std::mutex> lock(programsMutex);
    return programs[static_cast<std::size_t>(programNumber)];
}

void VelkorSimulator::schedule(std::vector<Delivery> deliveries)
{
    if (deliveries.empty())
        return;
    const auto due = Clock::now() + std::chrono::milliseconds(replyDelayMs.load());
    {
        const std::lock_guard<std::mutex> lock(queueMutex);
        for (auto& delivery : deliveries)
            queue.emplace(due, std::move(delivery));
    }
    queueChanged.notify_all();
}

void VelkorSimulator::run()
{
    std::unique_lock<std::mutex> lock(queueMutex);
    while (!stopping)
    {
        if (queue.empty())
        {
            queueChanged.wait(lock);
            continue;
        }
        const auto due = queue.begin()->first;
        if (Clock::now() < due)
        {
            queueChanged.wait_until(lock, due);
            continue;
        }
        const Delivery delivery = std::move(queue.begin()->second);
        queue.erase(queue.begin());
        lock.unlock();
        deliver(delivery);
        lock.lock();
    }
}

void VelkorSimulator::deliver(const Delivery& delivery)
{
    const std::lock_guard<std::recursive_mutex> lock(callbacksMutex);
    const auto connected = callbacks;
    const double timestamp = juce::Time::getMillisecondCounterHiRes() * 0.001;
    for (auto* callback : connected)
    {
        // A callback may disconnect itself or another one from inside a call.
        if (std::find(callbacks.begin(), callbacks.end(), callback) == callbacks.end())
            continue;
        if (delivery.partialSysEx.empty())
        {
            juce::MidiMessage message = delivery.message;
            message.setTimeStamp(timestamp);
            callback->handleIncomingMidiMessage(nullptr, message);
        }
        else
            callback->handlePartialSysexMessage(nullptr, delivery.partialSysEx.data(),
                                                static_cast<int>(delivery.partialSysEx.size()), timestamp);
    }
}
