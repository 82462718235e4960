#pragma once

#include "model/Control.h"

#include <juce_core/juce_core.h>

#include <array>
#include <optional>

// A backup of the controller's four slots: slot-1.vkr to slot-4.vkr in one folder.
namespace SlotFolder
{
constexpr int numSlots = 4;

// slot 1..4 -> folder/slot-N.vkr
juce::File slotFile(const juce::File& folder, int slot);

// Writes four program file images (117 bytes each, with a program file's header or a dump's) as
// slot-1.vkr to slot-4.vkr, all four or none, making the folder and missing parents when needed. On
// failure nothing in the folder has changed, folders made are gone again, and reason names the file
// and why.
bool write(const juce::File& folder, const std::array<ByteArray, numSlots>& images, juce::String& reason);

// All four files, checked as the editor opens them, with a program file's header; nothing when any is
// missing, unreadable or invalid, and then reason names the file and what is wrong with it.
std::optional<std::array<ByteArray, numSlots>> read(const juce::File& folder, juce::String& reason);
} // namespace SlotFolder
