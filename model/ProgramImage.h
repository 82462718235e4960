#pragma once

#include "model/Control.h"

#include <juce_core/juce_core.h>

#include <optional>

// Programs as the command-line tool holds them: the 117 bytes of a program file, indexed by offset.
namespace ProgramImage
{
// The program image of a file, or nothing and the one reason the editor would refuse the file. The
// editor's rule is kept: the header and the final byte are not looked at. The count of bad value bytes
// goes to badBytes when given.
std::optional<ByteArray> readFile(const juce::File& file, juce::String& problem, int* badBytes = nullptr);

// Empty when every value byte is valid; otherwise the first bad one: offset, byte, parameter, range.
// The count of bad bytes goes to badBytes when given.
juce::String findProblem(const ByteArray& image, int* badBytes = nullptr);

// The header and final byte a program file carries (command 0x64, program number 0).
ByteArray normalised(ByteArray image);
// From the 115 data bytes of a program message.
ByteArray fromData(const ByteArray& data);
// The 115 data bytes, header normalised, ready for a message or a file.
ByteArray toData(const ByteArray& image);

ByteArray makeDefault();
} // namespace ProgramImage
