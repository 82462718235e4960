#pragma once

#include "model/ProgramSysEx.h"

#include <juce_core/juce_core.h>

#include <optional>

// Program files (".vkr"): exactly the 117-byte program image, command 0x64 and program number 0.
namespace ProgramFile
{
constexpr int fileSize = ProgramSysEx::messageSize;
constexpr const char* extension = ".vkr";
constexpr const char* wildcard = "*.vkr";

// 0xF0, the 115 data bytes, 0xF7.
ByteArray makeImage(const ByteArray& data);

// Replaces the file's whole content with the image of the data, or leaves it untouched and returns false
// with the reason. Only a regular file is replaced, and it keeps its mode; a symbolic link is written
// through to the file it names; a file nobody may write is refused. Nothing is left beside it.
bool write(const juce::File& file, const ByteArray& data, juce::String* reason = nullptr);

// The file a write to this path replaces (symbolic links followed), and in problem why it cannot be
// replaced, if so: a loop of links, not a regular file, read-only. A file not there yet can be made.
juce::File replaceableTarget(const juce::File& file, juce::String& problem);

// The 117 bytes of a program file, or nothing and the reason: no such file, a folder, not a regular
// file, the wrong size, unreadable. Opens first and checks the opened file, so a FIFO or a device
// put in the file's place never blocks the reader.
std::optional<ByteArray> readImage(const juce::File& file, juce::String& problem);
} // namespace ProgramFile

// The 108 values of a program file; throws fileFormatException for anything that is not one.
// The header and the final byte are not looked at, so a dump captured from the controller loads too.
ProgramValues readProgramFile(const juce::File& file);
