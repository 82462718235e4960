#include "model/ProgramSysEx.h"

#include "model/ProgramField.h"
#include "model/midiFormatException.h"

#include <array>

#include <stdexcept>

namespace
{
// The program table, read once into what decoding needs per image offset: the bytes valid there,
// and what turns a byte into its value.
struct OffsetRules
{
    std::array<juce::Range<int>, ProgramSysEx::messageSize> validBytes{};
    std::array<int, ProgramSysEx::messageSize> delta{};
};

const OffsetRules& offsetRules()
{
    static const OffsetRules rules = []
    {
        OffsetRules r;
        for (int offset = ProgramSysEx::firstValueOffset; offset <= ProgramSysEx::lastValueOffset; ++offset)
        {
            const ProgramField& field = ProgramField::atOffset(offset);
            r.validBytes[static_cast<std::size_t>(offset)] = field.byteRange(offset);
            // Each tempo byte stays as it is: the tempo is split over values 10 and 11.
            r.delta[static_cast<std::size_t>(offset)] =
                field.kind == ProgramField::Kind::tempo ? 0 : field.delta;
        }
        return r;
    }();
    return rules;
}
} // namespace

namespace ProgramSysEx
{
void writeHeader(std::uint8_t* data, std::uint8_t command, int programNumber)
{
    const std::uint8_t header[headerSize] = {
        manufacturerId, deviceId, productId, command, 0x00, 0x6d, static_cast<std::uint8_t>(programNumber)};
    std::copy(std::begin(header), std::end(header), data);
}

std::optional<ProgramValues> decodeValueBytes(const std::uint8_t* valueBytes)
{
    ProgramValues values;
    values.reserve(valueCount);
    for (int offset = firstValueOffset; offset <= lastValueOffset; ++offset)
    {
        const std::uint8_t byte = valueBytes[offset - firstValueOffset];
        if (!offsetRules().validBytes[static_cast<std::size_t>(offset)].contains(byte))
            return std::nullopt;
        values.push_back(byte);
    }
    adjustDecodedValues(values);
    return values;
}

namespace
{
void checkProgramNumber(int programNumber)
{
    // Any other number would address nothing on the controller, or corrupt the message.
    if (programNumber < ramProgramNumber || programNumber > highestProgramNumber)
        throw std::out_of_range("program number");
}
} // namespace

ByteArray writeData(const ByteArray& data, int programNumber)
{
    checkProgramNumber(programNumber);
    if (data.size() != static_cast<std::size_t>(dataSize))
        throw std::invalid_argument("program image size");
    ByteArray message = data;
    message[programNumberDataIndex] = static_cast<std::uint8_t>(programNumber);
    return message;
}

ByteArray requestData(int programNumber)
{
    checkProgramNumber(programNumber);
    return {manufacturerId,
            deviceId,
            productId,
            programRequestCommand,
            0x00,
            0x01,
            static_cast<std::uint8_t>(programNumber)};
}
} // namespace ProgramSysEx

int valueKind(int offset)
{
    static constexpr int headerKinds[] = {0, 1, 13, 2, 3, 4, 5, 6, 7, 8, 10, 9, 11, 15, 14, 14, 15, 14, 14};
    if (offset >= 8 && offset <= 26)
        return headerKinds[offset - 8];
    if (offset >= 27 && offset <= 90)
        return 16 + (offset - 27) % 4;
    if (offset >= 91 && offset <= 114)
    {
        static constexpr int knobKinds[] = {20, 21, 22};
        return knobKinds[(offset - 27) % 3];
    }
    if (offset == 115)
        return 12;
    throw std::out_of_range("offset has no program value");
}

bool isValidValue(std::uint8_t byte, int kind)
{
    int highest = -1;
    int lowest = 0;
    switch (kind)
    {
    case 0:
    case 1:
        highest = 15;
        break;
    case 2:
    case 5:
    case 6:
    case 10:
    case 19:
        highest = 1;
        break;
    case 3:
    case 7:
        highest = 5;
        break;
    case 4:
        highest = 7;
        break;
    case 8:
        lowest = 2;
        highest = 4;
        break;
    case 11:
        highest = 3;
        break;
    case 12:
        highest = 24;
        break;
    case 13:
        highest = 8;
        break;
    case 15:
        highest = 2;
        break;
    case 9:
    case 14:
    case 16:
    case 17:
    case 18:
    case 20:
    case 21:
    case 22:
        highest = 127;
        break;
    default:
        return false;
    }
    return byte >= lowest && byte <= highest;
}

int getSysExCommandData(const std::uint8_t* data, int size)
{
    if (data == nullptr || size <= 6)
        return 0;
    if (data[0] != ProgramSysEx::manufacturerId || data[2] != ProgramSysEx::productId)
        return 0;
    return data[3];
}

ProgramValues decodeProgramSysExData(const std::uint8_t* data, int size)
{
    if (data == nullptr || size != ProgramSysEx::dataSize)
        throw midiFormatException();
    // Data index = offset - 1, so the first value byte is at data index 7.
    auto values = ProgramSysEx::decodeValueBytes(data + ProgramSysEx::firstValueOffset - 1);
    if (!values)
        throw midiFormatException();
    return std::move(*values);
}

void adjustDecodedValues(ProgramValues& values)
{
    // Past the end a value reads as 0 and a write appends, so a short array never overruns.
    const auto add = [&values](std::size_t index, int delta)
    {
        if (index < values.size())
            values[index] += delta;
        else
            values.push_back(delta);
    };
    const OffsetRules& rules = offsetRules();
    for (std::size_t index = 0; index < static_cast<std::size_t>(ProgramSysEx::valueCount); ++index)
        if (const int delta = rules.delta[index + ProgramSysEx::firstValueOffset]; delta != 0)
            add(index, delta);
}
