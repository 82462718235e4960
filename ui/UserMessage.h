#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

// Every message the user is shown goes through here: a box titled "Velkor Editor" with one OK button.
// Tests put a handler in its place to read the messages instead of blocking on a box.
class UserMessage
{
public:
    using Handler = std::function<void(const juce::String& text)>;

    static void show(const juce::String& text);

    // An empty handler restores the message box.
    static void setHandler(Handler handler);

private:
    static Handler& handler();
};
