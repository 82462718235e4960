#pragma once

#include "model/Control.h"

#include <optional>

// The 108 decoded values of a program image, in value index order, in exchange form; the tempo stays
// split into value 10 (bit 7) and value 11 (bits 0 to 6).
using ProgramValues = std::vector<std::int32_t>;

namespace ProgramSysEx
{
// Offsets count bytes of the whole message (0xF0 at 0); data indexes count from the byte after 0xF0.
constexpr int messageSize = 117;
constexpr int dataSize = 115;
constexpr int headerSize = 7;
constexpr int valueCount = 108;
constexpr int firstValueOffset = 8;
constexpr int lastValueOffset = 115;
constexpr int requestSize = 9;

constexpr std::uint8_t manufacturerId = 0x47;
constexpr std::uint8_t deviceId = 0x00;
constexpr std::uint8_t productId = 0x26;
constexpr std::uint8_t programWriteCommand = 0x64;
constexpr std::uint8_t programRequestCommand = 0x66;
constexpr std::uint8_t programDumpCommand = 0x67;
constexpr int programNumberDataIndex = 6;
constexpr int ramProgramNumber = 0;
constexpr int highestProgramNumber = 4;

// Writes data indexes 0 to 6 of a program message.
void writeHeader(std::uint8_t* data, std::uint8_t command, int programNumber);

// Validates and adjusts the 108 value bytes of an image (offsets 8 to 115); empty if any byte is invalid.
std::optional<ProgramValues> decodeValueBytes(const std::uint8_t* valueBytes);

// The 115 data bytes of a program write (without F0 and F7) with the program number (0 RAM, 1 to 4 a
// slot) put in; throws std::out_of_range or std::invalid_argument for a bad number or image size.
ByteArray writeData(const ByteArray& data, int programNumber);

// The 7 data bytes of the request for program 0 (RAM) or 1 to 4.
ByteArray requestData(int programNumber);
} // namespace ProgramSysEx

// The numbered validation kinds of the image layout. Decoding reads the program table (ProgramField),
// which a test holds equal to these at every offset and byte.
// The validation kind of an image offset 8 to 115; any other offset throws std::out_of_range.
int valueKind(int offset);
bool isValidValue(std::uint8_t byte, int kind);

// The command byte of a program message of ours (data without F0 and F7), or 0 for anything else.
int getSysExCommandData(const std::uint8_t* data, int size);

// Throws midiFormatException unless the data holds exactly 115 bytes with valid values.
ProgramValues decodeProgramSysExData(const std::uint8_t* data, int size);

// Image bytes to exchange form, in place.
void adjustDecodedValues(ProgramValues& values);
