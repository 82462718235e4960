#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// On Windows the framework hands a window's pending repaints to the system only when the display
// reports a vertical blank. Where none is reported (a virtual machine, a remote session, Wine without
// a graphics card) every edit would stay off the screen; this hands them over thirty times a second.
class RepaintPump : private juce::Timer
{
public:
    RepaintPump();
    ~RepaintPump() override;

private:
    void timerCallback() override;
};
