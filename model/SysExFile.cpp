#include "model/SysExFile.h"

#include "model/ProgramFile.h"
#include "model/ProgramImage.h"

#include <algorithm>

namespace SysExFile
{
namespace
{
constexpr std::uint8_t sysExStart = 0xf0;
constexpr std::uint8_t sysExEnd = 0xf7;

bool isRealTime(std::uint8_t byte)
{
    return byte >= 0xf8;
}

// By its header a program write or dump of ours, whatever its length and device id.
bool isProgramMessage(const ByteArray& data)
{
    return data.size() > 3 && data[0] == ProgramSysEx::manufacturerId && data[2] == ProgramSysEx::productId &&
           (data[3] == ProgramSysEx::programWriteCommand || data[3] == ProgramSysEx::programDumpCommand);
}

// The fault of a complete program message (data without F0 and F7), or empty when it is sound.
juce::String faultOf(const ByteArray& data)
{
    const auto size = static_cast<int>(data.size()) + 2;
    if (size != ProgramSysEx::messageSize)
        return "a program message of " + juce::String(size) + " bytes; one holds " +
               juce::String(ProgramSysEx::messageSize);
    const int number = data[ProgramSysEx::programNumberDataIndex];
    if (number < ProgramSysEx::ramProgramNumber || number > ProgramSysEx::highestProgramNumber)
        return "program number " + juce::String(number) + "; 0 to 4 are programs";
    // Named as a program file's bad byte is: the value, its range and the field.
    ByteArray image(data.size() + 2, 0xf7);
    image.front() = 0xf0;
    std::copy(data.begin(), data.end(), image.begin() + 1);
    const juce::String problem = ProgramImage::findProblem(image);
    return problem.isEmpty() ? juce::String() : "the message's " + problem;
}
} // namespace

std::optional<Contents> parse(const ByteArray& bytes, juce::String& problem)
{
    if (bytes.empty())
    {
        problem = "is empty";
        return std::nullopt;
    }
    Contents contents;
    int messageNumber = 0;
    std::size_t at = 0;
    while (at < bytes.size())
    {
        if (bytes[at] != sysExStart)
        {
            ++contents.skippedBytes;
            ++at;
            continue;
        }
        const auto offset = static_cast<juce::int64>(at);
        ++messageNumber;
        ByteArray data;
        bool ended = false;
        for (++at; at < bytes.size(); ++at)
        {
            const std::uint8_t byte = bytes[at];
            if (byte == sysExEnd)
            {
                ended = true;
                ++at;
                break;
            }
            // Real-time messages may come between the bytes of a SysEx message; any other status
            // byte ends it unfinished, and is read again as what follows.
            if (isRealTime(byte))
                ++contents.skippedBytes;
            else if (byte >= 0x80)
                break;
            else
                data.push_back(byte);
        }
        const auto fail = [&](const juce::String& fault)
        {
            problem = "message " + juce::String(messageNumber) + " at offset " + juce::String(offset) + ": " +
                      fault;
            return std::nullopt;
        };
        if (!isProgramMessage(data))
        {
            ++contents.skippedMessages;
            continue;
        }
        if (!ended)
            return fail("no end byte (0xF7)");
        if (const juce::String fault = faultOf(data); fault.isNotEmpty())
            return fail(fault);

        Program program;
        program.messageNumber = messageNumber;
        program.offset = offset;
        program.command = data[3];
        program.programNumber = data[ProgramSysEx::programNumberDataIndex];
        program.values = decodeProgramSysExData(data.data(), static_cast<int>(data.size()));
        ProgramSysEx::writeHeader(data.data(), ProgramSysEx::programWriteCommand,
                                  ProgramSysEx::ramProgramNumber);
        program.data = std::move(data);
        contents.programs.push_back(std::move(program));
    }
    if (contents.programs.empty())
    {
        problem = "holds no Velkor program";
        return std::nullopt;
    }
    return contents;
}

std::optional<Contents> read(const juce::File& file, juce::String& problem)
{
    juce::int64 size = 0;
    const auto bytes = ProgramFile::readStart(file, maximumSize, "a SysEx file", size, problem);
    if (!bytes)
        return std::nullopt;
    if (size > maximumSize || static_cast<juce::int64>(bytes->size()) > maximumSize)
    {
        problem = "is larger than " + juce::String(maximumSize / 1024) + " KiB; a bank of five programs is " +
                  juce::String(5 * ProgramSysEx::messageSize) + " bytes";
        return std::nullopt;
    }
    return parse(*bytes, problem);
}

ByteArray writeMessage(const ByteArray& data, int programNumber)
{
    ByteArray message = ProgramSysEx::writeData(data, programNumber);
    // A dump's data make a write too.
    ProgramSysEx::writeHeader(message.data(), ProgramSysEx::programWriteCommand, programNumber);
    message.insert(message.begin(), sysExStart);
    message.push_back(sysExEnd);
    return message;
}

bool write(const juce::File& file, const std::vector<ByteArray>& messages, juce::String& reason)
{
    ByteArray bytes;
    for (const auto& message : messages)
        bytes.insert(bytes.end(), message.begin(), message.end());
    return ProgramFile::writeBytes(file, bytes, &reason);
}
Bank bankOf(const Contents& contents)
{
    Bank bank;
    for (const auto& program : contents.programs)
    {
        if (program.programNumber < 1 || program.programNumber > SlotFolder::numSlots)
        {
            bank.fault = Bank::Fault::notASlot;
            bank.culprit = program;
            return bank;
        }
        auto& slot = bank.slots[static_cast<std::size_t>(program.programNumber - 1)];
        if (slot.messageNumber > 0)
        {
            bank.fault = Bank::Fault::repeatedSlot;
            bank.culprit = program;
            bank.earlier = slot;
            return bank;
        }
        slot = program;
    }
    for (int slot = 1; slot <= SlotFolder::numSlots; ++slot)
        if (bank.slots[static_cast<std::size_t>(slot - 1)].messageNumber == 0)
            bank.missing.push_back(slot);
    if (!bank.missing.empty())
        bank.fault = Bank::Fault::missingSlots;
    return bank;
}

std::vector<ByteArray> bankMessages(const std::array<ByteArray, SlotFolder::numSlots>& images)
{
    std::vector<ByteArray> messages(images.size());
    for (std::size_t i = 0; i < images.size(); ++i)
        messages[i] = writeMessage(ProgramImage::toData(images[i]), static_cast<int>(i) + 1);
    return messages;
}
} // namespace SysExFile
