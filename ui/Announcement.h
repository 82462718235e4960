#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

// Results a sighted user reads in a status line or a message box, also spoken by a screen reader.
class Announcement
{
public:
    static void post(const juce::String& text);

    // Tests read what would be spoken; an empty listener leaves only the screen reader.
    using Listener = std::function<void(const juce::String& text)>;
    static void setListener(Listener listener);

private:
    static Listener& listener();
};
