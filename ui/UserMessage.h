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
    // Shows the text unless a box with the same text is still up: a burst of one fault makes one box.
    static void showUnlessShowing(const juce::String& text);
    // The box of that text has been closed (called by the box itself; tests call it for their handler).
    static void dismissed(const juce::String& text);

    // Asks a yes-or-no question in a box with the two button texts; the answer comes later, on the
    // message thread.
    using Answer = std::function<void(bool yes)>;
    static void confirm(const juce::String& text, const juce::String& yesText, const juce::String& noText,
                        Answer answer);

    // An empty handler restores the message box.
    static void setHandler(Handler handler);
    // Tests answer questions through this; an empty one restores the box.
    using Questioner = std::function<bool(const juce::String& text)>;
    static void setQuestioner(Questioner questioner);

private:
    // To the handler, or in a box; closed runs when the box is closed.
    static void present(const juce::String& text, std::function<void()> closed);
    static Handler& handler();
    static Questioner& questioner();
    static juce::StringArray& showing();
};
