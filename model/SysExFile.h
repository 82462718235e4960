#pragma once

#include "model/ProgramSysEx.h"
#include "model/SlotFolder.h"

#include <juce_core/juce_core.h>

#include <array>
#include <optional>
#include <vector>

// .syx files: MIDI System Exclusive messages one after another, as SysEx librarians and `amidi -s`
// keep them. A program file (.vkr) is a .syx of one write message for program 0; a bank holds the
// four slots as write messages addressed to them, so that any SysEx tool can send it back.
namespace SysExFile
{
constexpr const char* extension = ".syx";
constexpr const char* wildcard = "*.syx";
// A bank of five program messages, with room for whatever else a capture holds between them.
constexpr juce::int64 maximumSize = 64 * 1024;

// One Velkor program message found in a file.
struct Program
{
    int messageNumber = 0;     // among the file's SysEx messages, from 1
    juce::int64 offset = 0;    // of its 0xF0 in the file
    int command = 0;           // ProgramSysEx::programWriteCommand or programDumpCommand
    int programNumber = 0;     // 0 RAM, 1 to 4 a slot
    ByteArray data;            // the 115 data bytes, command 0x64 and program number 0: a program file's
    ProgramValues values;      // the 108 decoded values
};

struct Contents
{
    std::vector<Program> programs; // in file order
    int skippedMessages = 0;       // SysEx messages of other devices or kinds (a program request, say)
    int skippedBytes = 0;          // bytes outside any SysEx message (other MIDI)
};

// Every program message of the bytes, or nothing and the problem when there is none, or when a
// message that is a Velkor program message by its header is damaged (wrong length, a value out of
// range, no end byte, a program number above 4): "message 3 at offset 234: ..." names the message,
// the offset of its 0xF0 and the fault. Never a partial result.
std::optional<Contents> parse(const ByteArray& bytes, juce::String& problem);

// The same for a file: also refused when it cannot be read, is no regular file, or holds more than
// maximumSize bytes (nothing beyond that is read).
std::optional<Contents> read(const juce::File& file, juce::String& problem);

// How a bank's programs fill the controller's slots: each of slots 1 to 4 exactly once and nothing for
// RAM, since a backup has no place for RAM and two programs for one slot leave no way to choose. The
// first fault in file order is the one reported; callers word it.
struct Bank
{
    enum class Fault
    {
        none,
        notASlot,     // culprit is a program for RAM
        repeatedSlot, // culprit is for the slot of earlier
        missingSlots  // missing lists the slots without a program, lowest first
    };
    Fault fault = Fault::none;
    std::array<Program, SlotFolder::numSlots> slots; // by slot, when there is no fault
    Program culprit;
    Program earlier;
    std::vector<int> missing;
};
Bank bankOf(const Contents& contents);

// A bank file's messages: the program images (as a window keeps them) written to slots 1 to 4.
std::vector<ByteArray> bankMessages(const std::array<ByteArray, SlotFolder::numSlots>& images);

// The 117-byte write message of 115 program data bytes (a window's image) for program 0 to 4.
ByteArray writeMessage(const ByteArray& data, int programNumber);

// Replaces the file's content with the messages one after another, as the careful writer of program
// files does (written beside it, checked, renamed over it; nothing else is touched on failure).
bool write(const juce::File& file, const std::vector<ByteArray>& messages, juce::String& reason);
} // namespace SysExFile
