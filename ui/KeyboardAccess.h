#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <initializer_list>

// Keyboard use of a window beyond what the framework gives: Tab and Shift+Tab into a window where no
// control has the focus yet (a window that has just opened holds the focus itself), and Space on a
// focused button or list, as Return already does.
class KeyboardAccess
{
public:
    static void attach(juce::Component& window);

    // Tab visits these in this order, before any sibling left out.
    static void setOrder(std::initializer_list<juce::Component*> controls);

    // The window's controls in the order Tab visits them.
    static std::vector<juce::Component*> tabOrder(juce::Component& window);
};
