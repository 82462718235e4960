#include "ui/PanelAccessibility.h"

#include "model/ProgramChoices.h"
#include "ui/KeyboardAccess.h"

namespace
{
juce::Component& arpControl(ArpComponent& arp, const juce::String& key)
{
    const std::pair<const char*, juce::Component*> controls[] = {
        {"on", arp.arpOnButton.get()},           {"mode", arp.modeCombo.get()},
        {"timeDivision", arp.timeDivisionCombo.get()}, {"clock", arp.clockCombo.get()},
        {"latch", arp.latchCombo.get()},         {"swing", arp.swingCombo.get()},
        {"tempoTaps", arp.tempoTapsBox.get()},   {"tempo", arp.tempoBox.get()},
        {"octaveRange", arp.octaveBox.get()}};
    for (const auto& [name, control] : controls)
        if (key == name)
            return *control;
    throw std::out_of_range("no arpeggiator control for " + key.toStdString());
}

void describeStrip(HardwareControlsComponent& strip)
{
    strip.setTitle("Program slots");
    juce::ImageButton* sends[] = {strip.sendButton1.get(), strip.sendButton2.get(), strip.sendButton3.get(),
                                  strip.sendButton4.get()};
    juce::ImageButton* gets[] = {strip.getButton1.get(), strip.getButton2.get(), strip.getButton3.get(),
                                 strip.getButton4.get()};
    for (int slot = 0; slot < 4; ++slot)
    {
        const juce::String program = ProgramChoices::programName(slot + 1);
        sends[slot]->setTitle(program + " SEND");
        gets[slot]->setTitle(program + " GET");
    }
    strip.sendToRamButton->setTitle("SEND TO RAM");
}
} // namespace

juce::String PanelAccessibility::titleFor(const ProgramField& field)
{
    if (field.group == "PADS")
        return "Bank " + field.row.substring(0, 1) + " Pad " + field.row.substring(1) + " " + field.name;
    if (field.group == "JOYSTICK")
        return "Joystick " + field.row.replace("AXIS", "axis") + " " + field.name;
    return field.label;
}

juce::Component& PanelAccessibility::controlFor(EditorComponent& editor, const ProgramField& field)
{
    const auto& path = field.path;
    const juce::String& section = path[0];
    if (section == "channels")
        return path[1] == "pad" ? static_cast<juce::Component&>(*editor.chanSelection->padChannelBox)
                                : *editor.chanSelection->keybedChannelBox;
    if (section == "keybed")
        return path[1] == "transpose" ? *editor.keybedPanel->transposeBox : *editor.keybedPanel->octaveBox;
    if (section == "arpeggiator")
        return arpControl(*editor.arpPanel, path[1]);
    if (section == "joystick")
    {
        auto& j = *editor.joystickPanel;
        const bool x = path[1] == "x";
        if (path[2] == "type")
            return x ? *j.xAxisCombo : *j.yAxisCombo;
        if (path[2] == "firstCc")
            return x ? *j.xFirstCcBox : *j.yFirstCcBox;
        return x ? *j.xSecondCcBox : *j.ySecondCcBox;
    }
    if (section == "pads")
    {
        auto& bank = path[1] == "A" ? *editor.padBankA : *editor.padBankB;
        auto& pad = *bank.pads[path[2].getIntValue()];
        if (path[3] == "note")
            return *pad.noteValueBox;
        if (path[3] == "programChange")
            return *pad.programChangeBox;
        if (path[3] == "cc")
            return *pad.ccValueBox;
        return *pad.triggerTypeCombo;
    }
    auto& knob = *editor.knobBank->knobs[path[1].getIntValue()];
    if (path[2] == "cc")
        return *knob.ccNumberBox;
    return path[2] == "lo" ? *knob.minValueBox : *knob.maxValueBox;
}

void PanelAccessibility::describe(EditorComponent& editor)
{
    for (const auto& field : ProgramField::all())
        controlFor(editor, field).setTitle(titleFor(field));

    for (auto* bank : {editor.padBankA.get(), editor.padBankB.get()})
    {
        const juce::String bankName = bank == editor.padBankA.get() ? "Bank A" : "Bank B";
        bank->setTitle(bankName);
        for (int p = 0; p < bank->pads.size(); ++p)
        {
            auto& pad = *bank->pads[p];
            const juce::String padName = bankName + " Pad " + juce::String(p + 1);
            pad.setTitle(padName);
            pad.noteNameCombo->setTitle(pad.noteValueBox->getTitle() + " name");
            // Tab follows the pads' numbers, not the bank's two rows.
            pad.setExplicitFocusOrder(p + 1);
        }
    }
    for (int k = 0; k < editor.knobBank->knobs.size(); ++k)
        editor.knobBank->knobs[k]->setTitle("Knob " + juce::String(k + 1));

    describeStrip(*editor.hardwareControls);
    editor.joystickPanel->setTitle("Joystick");
    editor.knobBank->setTitle("Knobs");
    editor.keybedPanel->setTitle("Keybed");
    editor.arpPanel->setTitle("Arpeggiator");
    editor.chanSelection->setTitle("MIDI channels");

    KeyboardAccess::setOrder({editor.joystickPanel.get(), editor.hardwareControls.get(), editor.padBankA.get(),
                              editor.padBankB.get(), editor.knobBank.get(), editor.keybedPanel.get(),
                              editor.arpPanel.get(), editor.chanSelection.get()});
    // The arpeggiator reads as its three rows of captions do.
    auto& arp = *editor.arpPanel;
    KeyboardAccess::setOrder({arp.tempoBox.get(), arp.octaveBox.get(), arp.arpOnButton.get(),
                              arp.timeDivisionCombo.get(), arp.modeCombo.get(), arp.tempoTapsBox.get(),
                              arp.swingCombo.get(), arp.latchCombo.get(), arp.clockCombo.get()});
}
