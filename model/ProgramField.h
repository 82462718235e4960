#pragma once

#include "model/Control.h"

#include <juce_core/juce_core.h>

#include <vector>

// One value of a program as the panel names it, and where the 117-byte program image keeps it.
// The one table of every value: decoding, undo step names, the Librarian's summary and the
// command-line tool all read it, so a value is described here and nowhere else.
class ProgramField
{
public:
    enum class Kind
    {
        number,
        note,
        choice,
        toggle,
        // Two bytes: offset 18 holds bit 7, offset 19 bits 0 to 6.
        tempo
    };

    // Every value of a program once, in panel order: channels, keybed, arpeggiator, joystick, pads, knobs.
    static const std::vector<ProgramField>& all();
    // The field that keeps an image offset from 8 to 115.
    static const ProgramField& atOffset(int offset);
    // The field a musician knows by this label ("Pad A1 Note"); throws std::out_of_range for any other.
    static const ProgramField& withLabel(const juce::String& label);

    int read(const ByteArray& image) const;
    // The value must be within lowest..highest.
    void write(ByteArray& image, int value) const;

    // "UP", "36 (C2)", "ON", "120".
    juce::String describe(int value) const;
    // "1 to 16", or the choices: "UP, DOWN, ...".
    juce::String describeRange() const;
    // The bytes valid at an offset this field keeps.
    juce::Range<int> byteRange(int byteOffset) const;

    // For a choice, the value its (trimmed, case-insensitive) text names; for a toggle, "ON"/"OFF".
    // Returns false for any other text.
    bool valueFromText(const juce::String& text, int& value) const;

    // Where the panel shows it: the group heading, the row ("A1", "3", or empty) and the caption.
    juce::String group;
    juce::String row;
    juce::String name;
    // How a musician reads it on its own: "Pad A1 Note".
    juce::String label;
    // Its place in the JSON form; a number names an array element.
    juce::StringArray path;

    Kind kind = Kind::number;
    int offset = 0;
    // value = byte + delta
    int delta = 0;
    int lowest = 0;
    int highest = 127;
    // The item texts, trimmed, for values lowest to highest.
    juce::StringArray choices;
};
