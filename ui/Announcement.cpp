#include "ui/Announcement.h"

void Announcement::post(const juce::String& text)
{
    if (text.isEmpty())
        return;
    // A program can arrive on the MIDI input's thread; the screen reader is spoken to from the message thread.
    if (!juce::MessageManager::existsAndIsCurrentThread())
    {
        juce::MessageManager::callAsync([text] { post(text); });
        return;
    }
    if (listener())
        listener()(text);
    juce::AccessibilityHandler::postAnnouncement(text, juce::AccessibilityHandler::AnnouncementPriority::medium);
}

void Announcement::setListener(Listener newListener)
{
    listener() = std::move(newListener);
}

Announcement::Listener& Announcement::listener()
{
    static Listener instance;
    return instance;
}
