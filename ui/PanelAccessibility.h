#pragma once

#include "model/ProgramField.h"
#include "ui/EditorComponent.h"

// What a screen reader and the Tab key find on the editor panel. Every control that shows a program
// value is titled from the program table, so the panel, the undo steps and velkor-tool use the same
// words; the groups carry the panel's captions, and Tab reads joystick, program strip, bank A,
// bank B, knobs, keybed, arpeggiator and channels.
class PanelAccessibility
{
public:
    static void describe(EditorComponent& editor);

    // The control that shows this value of the program.
    static juce::Component& controlFor(EditorComponent& editor, const ProgramField& field);
    // "Bank A Pad 1 Note", "Knob 3 HI", "Joystick X axis message type".
    static juce::String titleFor(const ProgramField& field);
};
