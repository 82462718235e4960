#include "ui/UserMessage.h"

#include "ui/Announcement.h"

UserMessage::Handler& UserMessage::handler()
{
    static Handler current;
    return current;
}

void UserMessage::setHandler(Handler newHandler)
{
    // Boxes shown to the previous handler are gone with it.
    showing().clear();
    handler() = std::move(newHandler);
}

UserMessage::Questioner& UserMessage::questioner()
{
    static Questioner current;
    return current;
}

juce::StringArray& UserMessage::showing()
{
    static juce::StringArray texts;
    return texts;
}

void UserMessage::setQuestioner(Questioner newQuestioner)
{
    questioner() = std::move(newQuestioner);
}

void UserMessage::showUnlessShowing(const juce::String& text)
{
    if (showing().contains(text))
        return;
    showing().add(text);
    present(text, [text] { dismissed(text); });
}

void UserMessage::dismissed(const juce::String& text)
{
    showing().removeString(text);
}

void UserMessage::confirm(const juce::String& text, const juce::String& yesText, const juce::String& noText,
                          Answer answer)
{
    Announcement::post(text);
    if (questioner())
    {
        const bool yes = questioner()(text);
        juce::MessageManager::callAsync([answer = std::move(answer), yes] { answer(yes); });
        return;
    }
    juce::AlertWindow::showOkCancelBox(
        juce::MessageBoxIconType::QuestionIcon, "Velkor Editor", text, yesText, noText, nullptr,
        juce::ModalCallbackFunction::create([answer = std::move(answer)](int result)
                                            { answer(result != 0); }));
}

void UserMessage::show(const juce::String& text)
{
    present(text, nullptr);
}

void UserMessage::present(const juce::String& text, std::function<void()> closed)
{
    Announcement::post(text);
    if (handler())
    {
        handler()(text);
        return;
    }
    juce::AlertWindow::showMessageBoxAsync(juce::MessageBoxIconType::NoIcon, "Velkor Editor", text, "OK",
                                           nullptr,
                                           juce::ModalCallbackFunction::create(
                                               [closed = std::move(closed)](int)
                                               {
                                                   if (closed)
                                                       closed();
                                               }));
}
