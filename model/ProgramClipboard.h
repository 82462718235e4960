#pragma once

#include "model/EditorController.h"

// The application's copy buffer: a whole program, pasted into a window in parts or whole.
class ProgramClipboard : public ProgramModel
{
public:
    enum PasteKind
    {
        padBankA = 0,
        padBankB = 1,
        padBanksAB = 2,
        joystick = 3,
        knobs = 4,
        keyboard = 5,
        all = 6
    };

    void copy(const EditorController& source);

    // Writes through the target's setters; does nothing until something has been copied.
    void paste(int kind, EditorController& target) const;

    bool hasContent = false;

private:
    void pasteKind(int kind, EditorController& target) const;
    void pasteBank(int bank, EditorController& target) const;
    void pasteKnobs(EditorController& target) const;
    void pasteAxes(EditorController& target) const;
    void pasteGlobals(int firstId, int lastId, EditorController& target) const;
};
