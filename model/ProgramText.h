#pragma once

#include "model/Control.h"

#include <juce_core/juce_core.h>

// Programs printed for a musician: every value under its panel heading, or what two programs differ in.
namespace ProgramText
{
juce::String show(const ByteArray& image);

// One line a value that differs, "Pad A1 Note: 36 (C2) -> 38 (D2)"; empty when the programs are alike.
juce::StringArray diff(const ByteArray& first, const ByteArray& second);
} // namespace ProgramText
