#include "model/ProgramChoices.h"

#include <juce_audio_basics/juce_audio_basics.h>

namespace ProgramChoices
{
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
    return juce::MidiMessage::getMidiNoteName(note, true, true, 4);
}

juce::String keybedNoteName(int note)
{
    return juce::MidiMessage::getMidiNoteName(note, true, true, 3);
}
} // namespace ProgramChoices
