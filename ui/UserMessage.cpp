#include "ui/UserMessage.h"

UserMessage::Handler& UserMessage::handler()
{
    static Handler current;
    return current;
}

void UserMessage::setHandler(Handler newHandler)
{
    handler() = std::move(newHandler);
}

void UserMessage::show(const juce::String& text)
{
    if (handler())
    {
        handler()(text);
        return;
    }
    juce::AlertWindow::showMessageBoxAsync(juce::MessageBoxIconType::NoIcon, "Velkor Editor", text, "OK");
}
