#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace testsupport
{
// Delivers pending asynchronous notifications (combo changes, Return and focus-loss messages).
inline void pumpMessages(int milliseconds = 20)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil(milliseconds);
}

// Replaces the whole text as a user typing into the field would; the field's input filter applies.
// Pending notifications land first: a text editor re-applies its last set text asynchronously, and a
// user cannot type before that happens.
inline void typeInto(juce::TextEditor& editor, const juce::String& text)
{
    pumpMessages();
    editor.clear();
    editor.insertTextAtCaret(text);
}

inline void pressReturn(juce::TextEditor& editor)
{
    editor.keyPressed(juce::KeyPress(juce::KeyPress::returnKey));
    pumpMessages();
}
} // namespace testsupport
