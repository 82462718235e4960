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
// with the reason, the system's own words included ("could not be written: No space left on device").
// Only a regular file is replaced, and it keeps its mode; a symbolic link is written through to the file
// it names; a file nobody may write is refused. Nothing is left beside it.
bool write(const juce::File& file, const ByteArray& data, juce::String* reason = nullptr);

// The same for any bytes: the careful writer behind every file the editor and the tool write.
bool writeBytes(const juce::File& file, const ByteArray& bytes, juce::String* reason = nullptr);

// The system's text for the call that just failed: "Permission denied".
juce::String systemError();

// Makes the file, which must not exist yet, holding exactly the bytes, read back and on the disk, with
// the mode and owner of like where that is a file (Unix). On failure the file is gone and reason holds
// the system's text.
bool createSynced(const juce::File& file, const ByteArray& bytes, const juce::File& like,
                  juce::String& reason);

// Renames from over to in one step, on the disk when it returns true unless the caller syncs the folder
// itself; reason as above.
bool moveOver(const juce::File& from, const juce::File& to, juce::String& reason, bool sync = true);

// Puts the folder's list of names on the disk, so that a rename in it outlives a power cut (Unix).
void syncFolder(const juce::File& folder);

// The file a write to this path replaces (symbolic links followed), and in problem why it cannot be
// replaced, if so: a loop of links, not a regular file, read-only. A file not there yet can be made.
juce::File replaceableTarget(const juce::File& file, juce::String& problem);

// The 117 bytes of a program file, or nothing and the reason: no such file, a folder, not a regular
// file, the wrong size, unreadable. Opens first and checks the opened file, so a FIFO or a device
// put in the file's place never blocks the reader.
std::optional<ByteArray> readImage(const juce::File& file, juce::String& problem);

// The start of a regular file, at most limit + 1 bytes, so that a longer file shows; size is its length
// as the system gives it, and nothing is read when that is above the limit. Nothing and the problem as
// readImage words it ("is a folder, not " + what). Opens first, like readImage, and never blocks.
std::optional<ByteArray> readStart(const juce::File& file, juce::int64 limit, const juce::String& what,
                                   juce::int64& size, juce::String& problem);
} // namespace ProgramFile

// The 108 values of a program file; throws fileFormatException for anything that is not one.
// The header and the final byte are not looked at, so a dump captured from the controller loads too.
ProgramValues readProgramFile(const juce::File& file);
