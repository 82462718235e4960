#pragma once

#include "tools/AutoPopToolController.h"
#include "tools/AutoPolulateToolComponent.h"
#include "ui/KeyboardAccess.h"

#include <functional>
#include <memory>

// The Auto Populate dialog: its panel and the controller acting on it. Escape only hides it, so the
// settings stay for the next time; the close button asks the owner to delete it.
class AutoPopToolWindow : public juce::DialogWindow
{
public:
    // target may be null. currentWindow is followed once the target has closed. onClose is called from
    // the message loop after the close button, and should delete this window.
    AutoPopToolWindow(MainWindow* target, std::function<MainWindow*()> currentWindow,
                      std::function<void()> onClose);
    ~AutoPopToolWindow() override;

    void closeButtonPressed() override;

    AutoPolulateToolComponent& getPanel() { return *panel; }
    AutoPopToolController& getController() { return *controller; }

private:
    std::unique_ptr<AutoPolulateToolComponent> panel;
    std::unique_ptr<AutoPopToolController> controller;
    std::function<void()> closed;
    KeyboardAccess keyboard{*this};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(AutoPopToolWindow)
};
