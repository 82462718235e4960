#include "midi/DeviceManagerWindow.h"

DeviceManagerWindow::DeviceManagerWindow(MidiDeviceLink& link)
    : juce::ResizableWindow(juce::String(), true), manager(link), panel(link)
{
    setUsingNativeTitleBar(true);
    setResizable(false, false);
    setContentNonOwned(&panel, true);
    centreWithSize(panel.getWidth(), panel.getHeight());
    panel.setDeviceLists(manager.getMidiInputNames(), manager.getMidiOutputNames());
    setAlwaysOnTop(true);
    setVisible(true);
}

DeviceManagerWindow::~DeviceManagerWindow()
{
    clearContentComponent();
}

int DeviceManagerWindow::getDesktopWindowStyleFlags() const
{
    return juce::ComponentPeer::windowHasTitleBar | juce::ComponentPeer::windowHasCloseButton;
}

void DeviceManagerWindow::userTriedToCloseWindow()
{
    // The link deletes this window later, once the title bar's callback has returned.
    manager.closeDeviceSetup();
}
