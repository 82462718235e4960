#include "model/ProgramChoices.h"

#include "model/ProgramSysEx.h"

namespace ProgramChoices
{
namespace
{
// Sharps, and the octave counted so that middle C (note 60) is C<middleCOctave>.
juce::String noteName(int note, int middleCOctave)
{
    static const char* const names[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    if (note < 0 || note > 127)
        return {};
    return juce::String(names[note % 12]) + juce::String(note / 12 + middleCOctave - 5);
}
} // namespace

const juce::StringArray& arpModes()
{
    static const juce::StringArray items{"UP", "DOWN", "EXCLUSIVE", "INCLUSIVE", "ORDER", "RANDOM"};
    return items;
}

const juce::StringArray& timeDivisions()
{
    static const juce::StringArray items{"1/4", "1/4T", "1/8", "1/8T", "1/16", "1/16T", "1/32", "1/32T"};
    return items;
}

const juce::StringArray& clocks()
{
    static const juce::StringArray items{"Internal", "External"};
    return items;
}

const juce::StringArray& latches()
{
    static const juce::StringArray items{"OFF ", "ON"};
    return items;
}

const juce::StringArray& swings()
{
    static const juce::StringArray items{"50%", "55%", "57%", "59%", "61%", "64%"};
    return items;
}

const juce::StringArray& joystickMessageTypes()
{
    static const juce::StringArray items{"Pitchbend", "CC 1", "CC 2"};
    return items;
}

const juce::StringArray& triggerTypes()
{
    static const juce::StringArray items{"Momentary", "Toggle"};
    return items;
}

juce::String padNoteName(int note)
{
    return noteName(note, 4);
}

juce::String keybedNoteName(int note)
{
    return noteName(note, 3);
}
juce::String programName(int programNumber)
{
    return programNumber == ProgramSysEx::ramProgramNumber ? juce::String("RAM")
                                                           : "PROGRAM " + juce::String(programNumber);
}
} // namespace ProgramChoices
