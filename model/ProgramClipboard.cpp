#include "model/ProgramClipboard.h"

void ProgramClipboard::copy(const EditorController& source)
{
    hasContent = true;
    copyFrom(*source.copyProgramModel());
}

void ProgramClipboard::paste(int kind, EditorController& target) const
{
    if (!hasContent)
        return;
    static const char* const names[] = {"Paste Pad Bank A", "Paste Pad Bank B", "Paste Pad Bank A & B",
                                        "Paste Joystick",   "Paste Knobs",      "Paste Keyboard",
                                        "Paste Program"};
    if (kind < padBankA || kind > all)
        return;
    target.beginAction(names[kind]);
    pasteKind(kind, target);
    target.endAction();
}

void ProgramClipboard::pasteKind(int kind, EditorController& target) const
{
    switch (kind)
    {
    case padBankA:
        pasteBank(0, target);
        break;
    case padBankB:
        pasteBank(1, target);
        break;
    case padBanksAB:
        pasteBank(0, target);
        pasteBank(1, target);
        break;
    case joystick:
        pasteAxes(target);
        break;
    case knobs:
        pasteKnobs(target);
        break;
    case keyboard:
        pasteGlobals(ProgramModel::arpOn, ProgramModel::keybedOctave, target);
        break;
    case all:
        pasteGlobals(ProgramModel::padChannel, ProgramModel::keybedChannel, target);
        pasteKnobs(target);
        pasteBank(0, target);
        pasteBank(1, target);
        pasteAxes(target);
        pasteGlobals(ProgramModel::arpOn, ProgramModel::keybedOctave, target);
        break;
    default:
        break;
    }
}

void ProgramClipboard::pasteBank(int bank, EditorController& target) const
{
    for (int p = 0; p < numPadsPerBank; ++p)
    {
        const PadData& source = pad(bank, p);
        for (const int field :
             {PadData::ccField, PadData::noteField, PadData::programChangeField, PadData::triggerTypeField})
            target.setPadValue(bank, p, field, source.getValue(field));
    }
}

void ProgramClipboard::pasteKnobs(EditorController& target) const
{
    for (int k = 0; k < numKnobs; ++k)
        for (int field = 0; field < 3; ++field)
            target.setKnobValue(k, field, getKnob(k, field));
}

void ProgramClipboard::pasteAxes(EditorController& target) const
{
    for (int a = 0; a < numAxes; ++a)
        for (const int field : {JoystickAxisData::messageTypeField, JoystickAxisData::firstCcField,
                                JoystickAxisData::secondCcField})
            target.setJoystickValue(a, field, axis(a).getValue(field));
}

void ProgramClipboard::pasteGlobals(int firstId, int lastId, EditorController& target) const
{
    for (int id = firstId; id <= lastId; ++id)
        target.setGlobalValue(id, getGlobal(id));
}
