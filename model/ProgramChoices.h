#pragma once

#include <juce_core/juce_core.h>

// The texts a musician picks from, shared by the panel's lists and the command-line tool. Item id n is
// the n-th text (from 1), as the program values count them.
namespace ProgramChoices
{
const juce::StringArray& arpModes();
const juce::StringArray& timeDivisions();
const juce::StringArray& clocks();
// "OFF " keeps its trailing space: it is the panel's item text.
const juce::StringArray& latches();
const juce::StringArray& swings();
const juce::StringArray& joystickMessageTypes();
const juce::StringArray& triggerTypes();

// Middle C is C4 for pads; the keybed counts octaves from C3.
juce::String padNoteName(int note);
juce::String keybedNoteName(int note);

// A program's place as the panel names it: "RAM" for program number 0, "PROGRAM 1" to "PROGRAM 4".
juce::String programName(int programNumber);
} // namespace ProgramChoices
