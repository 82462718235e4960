#pragma once

#include "tools/AutoPolulateToolComponent.h"

#include <functional>
#include <vector>

class EditorController;
class MainWindow;

// Turns a click on an apply button into bulk pad and knob writes. The settings are read from the
// panel at each click, and every value goes through the target editor's setters, so its widgets
// refuse what is out of range, one pad or knob at a time.
class AutoPopToolController : public juce::Button::Listener,
                              public juce::ComboBox::Listener,
                              public NumberBox::Listener
{
public:
    // currentWindow names the window to follow once the target has been closed; without it, or when
    // it returns none, nothing is written.
    AutoPopToolController(AutoPolulateToolComponent& panel, MainWindow* targetWindow,
                          std::function<MainWindow*()> currentWindow = {});
    ~AutoPopToolController() override;

    void buttonClicked(juce::Button* button) override;
    void buttonStateChanged(juce::Button*) override {}
    void comboBoxChanged(juce::ComboBox*) override {}
    void numberBoxChanged(NumberBox*) override {}

    // Scale kinds: 0 chromatic up, 1 chromatic down, 2 to 10 the seven-note scales. The list's item
    // ids are not in kind order; an unknown id is taken as Locrian.
    static int scaleKindFromId(int id);
    // Step i of the scale of kind k that starts at note n, unclamped.
    static int scaleNote(int n, int i, int k);

    MainWindow* getTargetWindow() const;

private:
    // A value the target refuses because it would pass an end of the range; index counts bank B's
    // pads from 8.
    struct Left
    {
        bool knob = false;
        int field = 0;
        int end = 0;
        int index = 0;
    };

    // Passes value on to the target, noting it when it is out of range.
    void setPad(int bank, int pad, int field, int value, int unmasked);
    void setKnob(int knob, int field, int value);
    // "3 pads left as they were: A6, A7, A8 (note would pass 127)"; empty when all were written.
    juce::String describeLeft() const;

    EditorController* findTarget();
    void applyToPads(bool bankA, bool bankB);
    void populatePadNotes(int bank, int n, int k);
    void populatePadRun(int step, int first, int bank, int field);
    void populateKnobs(int what);

    AutoPolulateToolComponent& panel;
    juce::Component::SafePointer<MainWindow> targetWindow;
    std::function<MainWindow*()> currentWindow;
    // What the current apply left as it was.
    std::vector<Left> left;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(AutoPopToolController)
};
