#pragma once

#include "midi/DeviceManagerComponent.h"
#include "ui/KeyboardAccess.h"

// The device setup window: a small fixed window above the editors, with a native title bar whose
// close button is its only control. It is not modal.
class DeviceManagerWindow : public juce::ResizableWindow
{
public:
    // Shows the window at once, listing the ports the link reports now.
    explicit DeviceManagerWindow(MidiDeviceLink& link);
    ~DeviceManagerWindow() override;

    int getDesktopWindowStyleFlags() const override;
    void userTriedToCloseWindow() override;

    MidiDeviceLink& manager;
    DeviceManagerComponent panel;

private:
    KeyboardAccess keyboard{*this};
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(DeviceManagerWindow)
};
