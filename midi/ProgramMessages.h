#pragma once

#include "model/ProgramSysEx.h"

#include <juce_audio_basics/juce_audio_basics.h>

// A program image as the MIDI messages that carry it to and from the controller.
namespace ProgramSysEx
{
// Program write: the 115 data bytes with the program number (0 RAM, 1 to 4 a slot) put in, wrapped in F0..F7.
juce::MidiMessage programWriteMessage(const ByteArray& data, int programNumber);

// The 9-byte request for program 0 (RAM) or 1 to 4.
juce::MidiMessage programRequestMessage(int programNumber);
} // namespace ProgramSysEx

// The command byte of a program message of ours, or 0 for anything else.
int getSysExCommand(const juce::MidiMessage& message);

// Throws midiFormatException unless the message holds exactly 115 data bytes with valid values.
ProgramValues decodeProgramSysEx(const juce::MidiMessage& message);
