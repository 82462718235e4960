#include "model/EditorController.h"

#include "midi/ProgramMessages.h"
#include "model/ProgramChoices.h"
#include "model/midiFormatException.h"
#include "ui/Announcement.h"
#include "ui/UserMessage.h"

namespace
{
int boxValue(const NumberBox& box)
{
    return static_cast<int>(box.currentValue);
}

PadComponent& padWidget(EditorComponent& editor, int bank, int pad)
{
    return *(bank == 0 ? editor.padBankA : editor.padBankB)->pads[pad];
}

juce::ComboBox& axisCombo(EditorComponent& editor, int axis)
{
    return axis == 0 ? *editor.joystickPanel->xAxisCombo : *editor.joystickPanel->yAxisCombo;
}

NumberBox& axisBox(EditorComponent& editor, int axis, int field)
{
    JoystickComponent& j = *editor.joystickPanel;
    if (axis == 0)
        return field == 0 ? *j.xFirstCcBox : *j.xSecondCcBox;
    return field == 0 ? *j.yFirstCcBox : *j.ySecondCcBox;
}

NumberBox& knobBox(EditorComponent& editor, int knob, int field)
{
    knobComponent& k = *editor.knobBank->knobs[knob];
    return field == 0 ? *k.ccNumberBox : (field == 1 ? *k.minValueBox : *k.maxValueBox);
}

// The arpeggiator combos by global id 3 to 7.
juce::ComboBox* arpCombo(EditorComponent& editor, int id)
{
    ArpComponent& a = *editor.arpPanel;
    switch (id)
    {
    case ProgramModel::arpMode:
        return a.modeCombo.get();
    case ProgramModel::arpTimeDivision:
        return a.timeDivisionCombo.get();
    case ProgramModel::arpClock:
        return a.clockCombo.get();
    case ProgramModel::arpLatch:
        return a.latchCombo.get();
    case ProgramModel::arpSwing:
        return a.swingCombo.get();
    default:
        return nullptr;
    }
}

// The number boxes of globals 0, 1 and 8 to 12.
NumberBox* globalBox(EditorComponent& editor, int id)
{
    switch (id)
    {
    case ProgramModel::padChannel:
        return editor.chanSelection->padChannelBox.get();
    case ProgramModel::keybedChannel:
        return editor.chanSelection->keybedChannelBox.get();
    case ProgramModel::arpTempoTaps:
        return editor.arpPanel->tempoTapsBox.get();
    case ProgramModel::arpTempo:
        return editor.arpPanel->tempoBox.get();
    case ProgramModel::arpOctaveRange:
        return editor.arpPanel->octaveBox.get();
    case ProgramModel::transposition:
        return editor.keybedPanel->transposeBox.get();
    case ProgramModel::keybedOctave:
        return editor.keybedPanel->octaveBox.get();
    default:
        return nullptr;
    }
}

bool isPadIndex(int bank, int pad)
{
    return bank >= 0 && bank < 2 && pad >= 0 && pad < 8;
}
} // namespace

EditorController::EditorController(EditorComponent* editorPanel, ProgramSender* programSender)
    : editor(editorPanel), model(std::make_unique<ProgramModel>()), sender(programSender)
{
    jassert(editor != nullptr);
    registerWithWidgets();
    takeModelFromWidgets();
}

EditorController::~EditorController()
{
    // A window deletes its panel first; a panel that outlives its controller must not call back into it.
    if (editor == nullptr)
        return;
    for (auto* child : editor->hardwareControls->getChildren())
        if (auto* button = dynamic_cast<juce::Button*>(child))
            button->removeListener(this);
    for (int bank = 0; bank < 2; ++bank)
        for (int p = 0; p < 8; ++p)
        {
            PadComponent& pad = padWidget(*editor, bank, p);
            pad.triggerTypeCombo->removeListener(this);
            for (NumberBox* box : {pad.ccValueBox.get(), pad.programChangeBox.get(), pad.noteValueBox.get()})
                box->removeListener(this);
        }
    for (int k = 0; k < 8; ++k)
        for (int field = 0; field < 3; ++field)
            knobBox(*editor, k, field).removeListener(this);
    for (int axis = 0; axis < 2; ++axis)
    {
        axisCombo(*editor, axis).removeListener(this);
        for (int field = 0; field < 2; ++field)
            axisBox(*editor, axis, field).removeListener(this);
    }
    for (int id = 0; id < ProgramModel::numGlobals; ++id)
    {
        if (auto* box = globalBox(*editor, id))
            box->removeListener(this);
        if (auto* combo = arpCombo(*editor, id))
            combo->removeListener(this);
    }
    editor->arpPanel->arpOnButton->removeListener(this);
}

void EditorController::registerWithWidgets()
{
    for (auto* child : editor->hardwareControls->getChildren())
        if (auto* button = dynamic_cast<juce::Button*>(child))
            button->addListener(this);

    for (int bank = 0; bank < 2; ++bank)
        for (int p = 0; p < 8; ++p)
        {
            PadComponent& pad = padWidget(*editor, bank, p);
            pad.triggerTypeCombo->addListener(this);
            pad.ccValueBox->addListener(this);
            pad.programChangeBox->addListener(this);
            pad.noteValueBox->addListener(this);
        }

    for (int k = 0; k < 8; ++k)
        for (int field = 0; field < 3; ++field)
            knobBox(*editor, k, field).addListener(this);

    for (int axis = 0; axis < 2; ++axis)
        for (int field = 0; field < 2; ++field)
            axisBox(*editor, axis, field).addListener(this);
    axisCombo(*editor, 0).addListener(this);
    axisCombo(*editor, 1).addListener(this);

    editor->chanSelection->keybedChannelBox->addListener(this);
    editor->chanSelection->padChannelBox->addListener(this);
    editor->keybedPanel->octaveBox->addListener(this);
    editor->keybedPanel->transposeBox->addListener(this);

    ArpComponent& arp = *editor->arpPanel;
    arp.arpOnButton->addListener(this);
    arp.tempoTapsBox->addListener(this);
    arp.tempoBox->addListener(this);
    arp.octaveBox->addListener(this);
    for (auto* combo : {arp.timeDivisionCombo.get(), arp.clockCombo.get(), arp.latchCombo.get(),
                        arp.modeCombo.get(), arp.swingCombo.get()})
        combo->addListener(this);
}

// The model starts as the widgets first show it, so a value a box refuses later cannot leave the two apart.
void EditorController::takeModelFromWidgets()
{
    for (int bank = 0; bank < 2; ++bank)
        for (int p = 0; p < 8; ++p)
        {
            const PadComponent& widget = padWidget(*editor, bank, p);
            PadData& pad = model->pad(bank, p);
            pad.noteValue = boxValue(*widget.noteValueBox);
            pad.ccValue = boxValue(*widget.ccValueBox);
            pad.programChangeValue = boxValue(*widget.programChangeBox);
            pad.isToggle = widget.triggerTypeCombo->getSelectedId() == PadData::toggleId;
        }
    for (int k = 0; k < 8; ++k)
        for (int field = 0; field < 3; ++field)
            model->setKnob(k, field, boxValue(knobBox(*editor, k, field)));
    for (int axis = 0; axis < 2; ++axis)
    {
        JoystickAxisData& data = model->axis(axis);
        data.setValue(JoystickAxisData::messageTypeField, axisCombo(*editor, axis).getSelectedId());
        for (int field = 0; field < 2; ++field)
            data.setValue(field, boxValue(axisBox(*editor, axis, field)));
    }
    for (int id = 0; id < ProgramModel::numGlobals; ++id)
    {
        if (auto* box = globalBox(*editor, id))
            model->setGlobal(id, boxValue(*box));
        else if (auto* combo = arpCombo(*editor, id))
            model->setGlobal(id, combo->getSelectedId());
    }
    model->setGlobal(ProgramModel::arpOn, editor->arpPanel->arpOnButton->getToggleState() ? 1 : 0);
}

void EditorController::numberBoxChanged(NumberBox* box)
{
    takeBoxValue(box);
    recordChange();
}

void EditorController::comboBoxChanged(juce::ComboBox* combo)
{
    takeComboChoice(combo);
    recordChange();
}

void EditorController::takeBoxValue(NumberBox* box)
{
    const int value = boxValue(*box);
    for (int bank = 0; bank < 2; ++bank)
    {
        PadBankComponent& panel = *(bank == 0 ? editor->padBankA : editor->padBankB);
        if (!panel.isParentOf(box))
            continue;
        for (int p = 0; p < 8; ++p)
        {
            const PadComponent& widget = *panel.pads[p];
            PadData& pad = model->pad(bank, p);
            if (box == widget.noteValueBox.get())
                pad.noteValue = value;
            else if (box == widget.ccValueBox.get())
                pad.ccValue = value;
            else if (box == widget.programChangeBox.get())
                pad.programChangeValue = value;
        }
        return;
    }
    if (editor->knobBank->isParentOf(box))
    {
        for (int k = 0; k < 8; ++k)
            for (int field = 0; field < 3; ++field)
                if (box == &knobBox(*editor, k, field))
                    model->setKnob(k, field, value);
        return;
    }
    for (juce::Component* panel : std::initializer_list<juce::Component*>{
             editor->chanSelection.get(), editor->keybedPanel.get(), editor->arpPanel.get()})
    {
        if (!panel->isParentOf(box))
            continue;
        for (int id = 0; id < ProgramModel::numGlobals; ++id)
            if (box == globalBox(*editor, id))
                model->setGlobal(id, value);
        return;
    }
    if (editor->joystickPanel->isParentOf(box))
        for (int axis = 0; axis < 2; ++axis)
            for (int field = 0; field < 2; ++field)
                if (box == &axisBox(*editor, axis, field))
                    model->axis(axis).setValue(field, value);
}

void EditorController::takeComboChoice(juce::ComboBox* combo)
{
    const int id = combo->getSelectedId();
    // No selection (an id without an item) leaves the value as it was rather than storing an invalid 0.
    if (id == 0)
        return;
    for (int bank = 0; bank < 2; ++bank)
    {
        PadBankComponent& panel = *(bank == 0 ? editor->padBankA : editor->padBankB);
        if (!panel.isParentOf(combo))
            continue;
        for (int p = 0; p < 8; ++p)
            if (combo == panel.pads[p]->triggerTypeCombo.get())
                model->pad(bank, p).isToggle = id == PadData::toggleId;
        return;
    }
    if (editor->joystickPanel->isParentOf(combo))
    {
        for (int axis = 0; axis < 2; ++axis)
            if (combo == &axisCombo(*editor, axis))
                model->axis(axis).setValue(JoystickAxisData::messageTypeField, id);
        return;
    }
    if (editor->arpPanel->isParentOf(combo))
        for (int global = ProgramModel::arpMode; global <= ProgramModel::arpSwing; ++global)
            if (combo == arpCombo(*editor, global))
                model->setGlobal(global, id);
}

void EditorController::buttonClicked(juce::Button* button)
{
    if (editor->arpPanel->isParentOf(button))
    {
        const bool on = !button->getToggleState();
        button->setToggleState(on, juce::dontSendNotification);
        model->setGlobal(ProgramModel::arpOn, on ? 1 : 0);
        recordChange();
    }
    HardwareControlsComponent& strip = *editor->hardwareControls;
    if (!strip.isParentOf(button))
        return;
    const juce::Button* sends[] = {strip.sendButton1.get(), strip.sendButton2.get(), strip.sendButton3.get(),
                                   strip.sendButton4.get()};
    const juce::Button* gets[] = {strip.getButton1.get(), strip.getButton2.get(), strip.getButton3.get(),
                                  strip.getButton4.get()};
    for (int n = 1; n <= 4; ++n)
    {
        if (button == sends[n - 1])
            sendProgram(n);
        else if (button == gets[n - 1])
            requestProgram(n);
    }
    if (button == strip.sendToRamButton.get())
        sendProgram(ProgramSysEx::ramProgramNumber);
}

void EditorController::setPadValue(int bank, int pad, int field, int value)
{
    const juce::MessageManagerLock lock;
    if (!isPadIndex(bank, pad))
        return;
    PadComponent& widget = padWidget(*editor, bank, pad);
    switch (field)
    {
    case PadData::noteField:
        widget.noteValueBox->setValue(value);
        break;
    case PadData::ccField:
        widget.ccValueBox->setValue(value);
        break;
    case PadData::programChangeField:
        widget.programChangeBox->setValue(value);
        break;
    case PadData::triggerTypeField:
        widget.triggerTypeCombo->setSelectedId(value, juce::sendNotificationAsync);
        break;
    default:
        break;
    }
}

void EditorController::setKnobValue(int knob, int field, int value)
{
    const juce::MessageManagerLock lock;
    if (knob >= 0 && knob < 8 && field >= 0 && field < 3)
        knobBox(*editor, knob, field).setValue(value);
}

void EditorController::setJoystickValue(int axis, int field, int value)
{
    const juce::MessageManagerLock lock;
    if (axis < 0 || axis > 1)
        return;
    if (field == JoystickAxisData::messageTypeField)
        axisCombo(*editor, axis).setSelectedId(value, juce::sendNotificationAsync);
    else if (field == JoystickAxisData::firstCcField || field == JoystickAxisData::secondCcField)
        axisBox(*editor, axis, field).setValue(value);
}

void EditorController::setGlobalValue(int id, int value)
{
    const juce::MessageManagerLock lock;
    if (id == ProgramModel::arpOn)
    {
        editor->arpPanel->arpOnButton->setToggleState(value != 0, juce::dontSendNotification);
        model->setGlobal(ProgramModel::arpOn, value);
    }
    else if (auto* combo = arpCombo(*editor, id))
        combo->setSelectedId(value, juce::sendNotificationAsync);
    else if (auto* box = globalBox(*editor, id))
        box->setValue(value);
}

void EditorController::applyProgramValues(const ProgramValues& values, bool fromHardware)
{
    if (values.size() != static_cast<std::size_t>(ProgramSysEx::valueCount))
        throw midiFormatException();
    if (fromHardware && !awaitingReply)
        return;
    awaitingReply = false;
    stopTimer();
    beginAction(fromHardware ? "Get From Hardware" : "Open File");
    writeValues(values);
    endAction();
    if (fromHardware)
        Announcement::post(ProgramChoices::programName(unansweredProgram) + " received from the controller.");
}

void EditorController::writeValues(const ProgramValues& values)
{
    const auto v = [&values](int index) { return values[static_cast<std::size_t>(index)]; };
    const int globalOrder[] = {0, 1, 12, 2, 3, 4, 5, 6, 7, 8};
    for (int i = 0; i < 10; ++i)
        setGlobalValue(globalOrder[i], v(i));
    setGlobalValue(ProgramModel::arpTempo, v(10) * 128 + v(11));
    setGlobalValue(ProgramModel::arpOctaveRange, v(12));

    for (int axis = 0; axis < 2; ++axis)
    {
        setJoystickValue(axis, 2, v(13 + 3 * axis));
        setJoystickValue(axis, 0, v(14 + 3 * axis));
        setJoystickValue(axis, 1, v(15 + 3 * axis));
    }
    for (int bank = 0; bank < 2; ++bank)
        for (int p = 0; p < 8; ++p)
        {
            const int b = 19 + 32 * bank + 4 * p;
            setPadValue(bank, p, 0, v(b));
            setPadValue(bank, p, 2, v(b + 1));
            setPadValue(bank, p, 1, v(b + 2));
            setPadValue(bank, p, 3, v(b + 3));
        }
    for (int k = 0; k < 8; ++k)
        for (int field = 0; field < 3; ++field)
            setKnobValue(k, field, v(83 + 3 * k + field));
    setGlobalValue(ProgramModel::transposition, v(107));
}

void EditorController::resetToDefaults()
{
    beginAction("Defaults");
    setGlobalValue(0, 1);
    setGlobalValue(1, 1);
    setGlobalValue(12, 0);
    setGlobalValue(2, 0);
    for (int id = 3; id <= 7; ++id)
        setGlobalValue(id, 1);
    setGlobalValue(8, 3);
    setGlobalValue(9, 128);
    setGlobalValue(10, 1);
    setJoystickValue(0, 2, 1);
    setJoystickValue(0, 0, 0);
    setJoystickValue(0, 1, 0);
    setJoystickValue(1, 2, 2);
    setJoystickValue(1, 0, 1);
    setJoystickValue(1, 1, 1);
    for (int bank = 0; bank < 2; ++bank)
        for (int k = 0; k < 8; ++k)
        {
            setPadValue(bank, k, 0, (bank == 0 ? 44 : 32) + k);
            setPadValue(bank, k, 2, 8 * bank + k);
            setPadValue(bank, k, 1, 8 * bank + k + 1);
            setPadValue(bank, k, 3, PadData::toggleId);
        }
    for (int k = 0; k < 8; ++k)
    {
        setKnobValue(k, 0, k + 1);
        setKnobValue(k, 1, 0);
        setKnobValue(k, 2, 127);
    }
    setGlobalValue(11, 0);
    endAction();
}

ByteArray EditorController::getProgramImage() const
{
    return model->toSysExData();
}

std::unique_ptr<ProgramModel> EditorController::copyProgramModel() const
{
    return std::make_unique<ProgramModel>(*model);
}

void EditorController::sendProgram(int number)
{
    NumberBox::commitPendingEdit();
    if (send(ProgramSysEx::programWriteMessage(model->toSysExData(), number)))
        Announcement::post("Program sent to " + ProgramChoices::programName(number) + ".");
}

void EditorController::requestProgram(int number)
{
    const juce::MidiMessage request = ProgramSysEx::programRequestMessage(number);
    awaitingReply = true;
    unansweredProgram = number;
    if (sender == nullptr)
        return;
    if (!sender->sendToController(request))
    {
        sender->showDeviceSetup();
        return;
    }
    startTimer(noAnswerDelayMs);
}

void EditorController::timerCallback()
{
    stopTimer();
    if (!awaitingReply || sender == nullptr)
        return;
    const juce::String program = unansweredProgram == ProgramSysEx::ramProgramNumber
                                     ? "RAM"
                                     : "Program: " + juce::String(unansweredProgram);
    const juce::String seconds =
        juce::String(noAnswerDelayMs / 1000.0, 1).trimCharactersAtEnd("0").trimCharactersAtEnd(".");
    const juce::String input = sender->getMidiInputName();
    if (input.isEmpty())
        UserMessage::show("The controller's answer to the request for " + program +
                          " cannot arrive: no MIDI input is chosen.\n\nChoose the controller's input in "
                          "Options > Device Setup. This window still takes the program if it arrives later.");
    else
        UserMessage::show("No answer from the controller for " + program + " within " + seconds +
                          " seconds on the MIDI input \"" + input +
                          "\".\n\nCheck that the controller is connected and that its ports are chosen in "
                          "Options > Device Setup. This window still takes the program if it arrives later.");
}

bool EditorController::send(const juce::MidiMessage& message)
{
    if (sender == nullptr)
        return false;
    if (sender->sendToController(message))
        return true;
    sender->showDeviceSetup();
    return false;
}

ProgramValues EditorController::currentValues() const
{
    const ByteArray image = model->toSysExData();
    return decodeProgramSysExData(image.data(), static_cast<int>(image.size()));
}

void EditorController::deliverPendingComboChanges()
{
    // A combo's notification is queued on a private base of the framework's ComboBox; a load's queued
    // notifications are delivered here so that the load, not the queue, decides what one step is.
    std::vector<juce::ComboBox*> combos{&axisCombo(*editor, 0), &axisCombo(*editor, 1)};
    for (int bank = 0; bank < 2; ++bank)
        for (int p = 0; p < 8; ++p)
            combos.push_back(padWidget(*editor, bank, p).triggerTypeCombo.get());
    for (int id = 0; id < ProgramModel::numGlobals; ++id)
        if (auto* combo = arpCombo(*editor, id))
            combos.push_back(combo);
    for (auto* combo : combos)
        ((juce::AsyncUpdater*)combo)->handleUpdateNowIfNeeded();
}

void EditorController::startHistory()
{
    deliverPendingComboChanges();
    history.reset(currentValues());
}

void EditorController::recordChange()
{
    if (restoring || actionDepth > 0 || !history.isStarted())
        return;
    ProgramValues now = currentValues();
    if (now == history.current())
        return;
    const juce::String name =
        actionName.isNotEmpty() ? actionName : ProgramHistory::describeChange(history.current(), now);
    history.record(std::move(now), name);
}

void EditorController::beginAction(const juce::String& name)
{
    if (actionDepth == 0)
    {
        // Whatever came before is a step of its own.
        deliverPendingComboChanges();
        recordChange();
        actionName = name;
    }
    ++actionDepth;
}

void EditorController::endAction()
{
    if (actionDepth == 0)
        return;
    if (actionDepth == 1)
        deliverPendingComboChanges();
    if (--actionDepth > 0)
        return;
    recordChange();
    actionName = {};
}

void EditorController::restore(const ProgramValues& values)
{
    restoring = true;
    writeValues(values);
    deliverPendingComboChanges();
    restoring = false;
}

void EditorController::undo()
{
    if (NumberBox::revertPendingEdit())
        return;
    deliverPendingComboChanges();
    if (history.canUndo())
        restore(history.undo());
}

void EditorController::redo()
{
    NumberBox::commitPendingEdit();
    deliverPendingComboChanges();
    if (history.canRedo())
        restore(history.redo());
}
