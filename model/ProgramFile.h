#pragma once

#include "model/ProgramSysEx.h"

#include <juce_core/juce_core.h>

// Program files (".vkr"): exactly the 117-byte program image, command 0x64 and program number 0.
namespace ProgramFile
{
constexpr int fileSize = ProgramSysEx::messageSize;
constexpr const char* extension = ".vkr";
constexpr const char* wildcard = "*.vkr";

// 0xF0, the 115 data bytes, 0xF7.
ByteArray makeImage(const ByteArray& data);

// Replaces the file's whole content with the image of the data, or leaves it untouched and returns false.
bool write(const juce::File& file, const ByteArray& data);
} // namespace ProgramFile

// The 108 values of a program file; throws fileFormatException for anything that is not one.
// The header and the final byte are not looked at, so a dump captured from the controller loads too.
ProgramValues readProgramFile(const juce::File& file);
