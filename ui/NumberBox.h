#pragma once

#include "ui/CustomLook.h"

#include <functional>

// The one numeric entry field: digits and signs only, an inclusive range, and a report to its
// listeners whenever a value is committed (Return, leaving the field, or setValue).
class NumberBox : public juce::TextEditor, public juce::TextEditor::Listener
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void numberBoxChanged(NumberBox* box) = 0;
    };

    // The name is descriptive only; the box itself carries no component name.
    explicit NumberBox(const juce::String& name);
    ~NumberBox() override;

    // Ignores null and listeners already registered.
    void addListener(Listener* listener);
    void removeListener(Listener* listener);

    // Takes a value within the range and reports it to every listener, newest first, even when it is
    // the value already shown. A value out of range puts the committed value back on display.
    void setValue(int value);

    // The face every panel gives its boxes: white text on the black face, cyan selection, text "0".
    void applyPanelSetup();

    bool keyPressed(const juce::KeyPress& key) override;
    void focusGained(FocusChangeType cause) override;
    void focusLost(FocusChangeType cause) override;

    void textEditorReturnKeyPressed(juce::TextEditor&) override;
    void textEditorFocusLost(juce::TextEditor&) override;

    static juce::String format(double value);

    // What assistive technology reads as the value; unset, the committed number as shown.
    std::function<juce::String(int value)> describeValue;
    juce::String getValueText() const;
    // Takes text as if it had been typed and Return pressed: the same characters and the same range.
    void commitTyped(const juce::String& text);
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

    // The box being typed into, if its text is not committed yet, commits (or refuses) it exactly as
    // Return would. Whatever saves, sends or copies a program calls this first, so what is shown is
    // what goes out; a click elsewhere commits only later, when the box hears of its lost focus.
    static void commitPendingEdit();
    // Undo of typing not yet committed: the box being typed into shows its committed value again,
    // and nothing else changes. Says whether there was such typing.
    static bool revertPendingEdit();
    static bool hasPendingEdit();

    juce::Array<Listener*> listeners;
    double minValue = 0.0;
    double maxValue = 0.0;
    double currentValue = 0.0;
    CustomLook look;

private:
    void commitText();
    bool hasUncommittedText() const { return getText() != format(currentValue); }

    static juce::Component::SafePointer<NumberBox>& boxBeingTyped();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(NumberBox)
};
