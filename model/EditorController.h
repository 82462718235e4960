#pragma once

#include "model/ProgramHistory.h"
#include "model/ProgramModel.h"
#include "model/ProgramSender.h"
#include "model/ProgramSysEx.h"
#include "ui/EditorComponent.h"

// Ties one window's panel to its program. The widgets are the only way in: setters write widgets, and
// the widgets' notifications write the model, so the two never drift apart.
class EditorController : public juce::Button::Listener,
                         public juce::ComboBox::Listener,
                         public NumberBox::Listener,
                         private juce::Timer
{
public:
    EditorController(EditorComponent* editor, ProgramSender* sender = nullptr);
    ~EditorController() override;

    void buttonClicked(juce::Button* button) override;
    void buttonStateChanged(juce::Button*) override {}
    void comboBoxChanged(juce::ComboBox* combo) override;
    void numberBoxChanged(NumberBox* box) override;

    // Parameter numbering: bank 0 A, 1 B; pad fields 0 note, 1 CC, 2 program change, 3 trigger type id;
    // knob fields 0 CC number, 1 minimum, 2 maximum; axis 0 X, 1 Y, fields 0 first CC, 1 second CC,
    // 2 message type id; global ids 0 to 12.
    void setPadValue(int bank, int pad, int field, int value);
    void setKnobValue(int knob, int field, int value);
    void setJoystickValue(int axis, int field, int value);
    void setGlobalValue(int id, int value);

    // Loads 108 decoded values; throws midiFormatException for any other count. A reply from the
    // hardware is taken only while a request is outstanding.
    void applyProgramValues(const ProgramValues& values, bool fromHardware);
    void resetToDefaults();

    ByteArray getProgramImage() const;
    std::unique_ptr<ProgramModel> copyProgramModel() const;
    const ProgramModel& getModel() const { return *model; }

    void sendProgram(int number);
    // A request that went out and has no answer after the delay is reported once; the window goes on
    // waiting all the same.
    void requestProgram(int number);
    bool isAwaitingReply() const { return awaitingReply; }
    static constexpr int defaultNoAnswerDelayMs = 3000;

    // Undo and redo. A committed box, a combo choice or the arpeggiator switch is one step by itself;
    // whatever writes many values at once (a load, a paste, an Auto Populate apply) goes between
    // beginAction and endAction and is one step of that name. Nothing is recorded before
    // startHistory, which the window calls once its first program is in place.
    void startHistory();
    void beginAction(const juce::String& name);
    void endAction();
    // Typing not yet committed, in whichever box has it, is the first thing Undo takes back; the
    // steps to redo stay.
    bool canUndo() const { return NumberBox::hasPendingEdit() || history.canUndo(); }
    bool canRedo() const { return history.canRedo(); }
    juce::String getUndoName() const { return NumberBox::hasPendingEdit() ? "Typing" : history.undoName(); }
    juce::String getRedoName() const { return history.redoName(); }
    void undo();
    void redo();
    void setNoAnswerDelay(int milliseconds) { noAnswerDelayMs = milliseconds; }

private:
    void registerWithWidgets();
    void takeModelFromWidgets();
    // Says whether the message went out; without an output, Device Setup opens instead.
    bool send(const juce::MidiMessage& message);
    void timerCallback() override;
    void takeBoxValue(NumberBox* box);
    void takeComboChoice(juce::ComboBox* combo);
    void writeValues(const ProgramValues& values);
    ProgramValues currentValues() const;
    // Records the program as a step when it differs from the last one and no action is under way.
    void recordChange();
    // Delivers the combo notifications still queued, so the model holds what the widgets show.
    void deliverPendingComboChanges();
    void restore(const ProgramValues& values);

    juce::Component::SafePointer<EditorComponent> editor;
    std::unique_ptr<ProgramModel> model;
    bool awaitingReply = false;
    ProgramSender* sender;
    int noAnswerDelayMs = defaultNoAnswerDelayMs;
    int unansweredProgram = 0;
    ProgramHistory history;
    juce::String actionName;
    int actionDepth = 0;
    bool restoring = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(EditorController)
};
