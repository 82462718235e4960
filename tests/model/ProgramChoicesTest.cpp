#include "model/ProgramChoices.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <gtest/gtest.h>

// The program layer names notes without the framework's MIDI module; the names must not drift from it.
TEST(ProgramChoices, NoteNamesAreTheFrameworksWithTheirOctaveForMiddleC)
{
    for (int note = -1; note <= 128; ++note)
    {
        EXPECT_EQ(ProgramChoices::padNoteName(note), juce::MidiMessage::getMidiNoteName(note, true, true, 4))
            << note;
        EXPECT_EQ(ProgramChoices::keybedNoteName(note),
                  juce::MidiMessage::getMidiNoteName(note, true, true, 3))
            << note;
    }
}
