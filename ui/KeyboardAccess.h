#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <initializer_list>

// Keyboard use of one window beyond what the framework gives: Tab and Shift+Tab also from a window
// that holds the focus itself (as one does when it has just opened), Space on a focused button or list
// as Return already does, F10 for the menu bar, and a ring round the focused control while the keyboard moves the focus.
// A click in the window takes the ring away, so a mouse user never sees it.
class KeyboardAccess : private juce::KeyListener, private juce::MouseListener, private juce::FocusChangeListener
{
public:
    explicit KeyboardAccess(juce::Component& window);
    ~KeyboardAccess() override;

    // Tab visits these in this order, before any sibling left out.
    static void setOrder(std::initializer_list<juce::Component*> controls);

    // The window's controls in the order Tab visits them.
    static std::vector<juce::Component*> tabOrder(juce::Component& window);

    // The ring round the focused control, while it shows; null otherwise.
    const juce::Component* getRing() const;

private:
    bool keyPressed(const juce::KeyPress& key, juce::Component* origin) override;
    void mouseDown(const juce::MouseEvent&) override;
    void globalFocusChanged(juce::Component* focused) override;
    void showRing(bool show);

    juce::Component& window;
    std::unique_ptr<juce::Component> ring;
    bool keyboardMoved = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(KeyboardAccess)
};
