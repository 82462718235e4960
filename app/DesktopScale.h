#pragma once

#include <string_view>

// The scale of an X desktop that announces it only through Xft.dpi, as KDE, Xfce and most X desktops
// do for 125 to 200 %. The framework reads GNOME's whole-number scale itself but never Xft.dpi, so
// on those desktops every window would stay at 1x.
class DesktopScale
{
public:
    // Beyond this the panel no longer fits on any screen sold today.
    static constexpr float largest = 4.0f;

    // The scale the X resource database asks for, given as `xrdb -query` prints it: Xft.dpi / 96 to
    // the nearest quarter, between 1 and largest. Only a resource named exactly "Xft.dpi" counts (the
    // last one, as the database keeps it); loose bindings such as "*dpi" are left to the programs they
    // were written for. A value that is not a plain decimal number, a missing Xft.dpi and anything at
    // or below 96 give 1: the panel is never drawn smaller than designed.
    static float fromResources(std::string_view resources);

    // Once at start-up, before the first window. Where the framework found no scale of its own (none,
    // or 1) and Xft.dpi asks for more, scales every window and dialog by it; a scale the framework
    // did find is kept, so nothing is scaled twice. Does nothing off X11, where the system scales.
    // Returns the scale set, 1 when none was.
    static float applyToDesktop();
};
