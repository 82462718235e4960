#include "app/DesktopScale.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

namespace
{
std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Digits with an optional fraction, nothing else: no sign, no exponent, and no dependence on the
// locale's decimal separator, which strtod would have.
std::optional<double> decimalNumber(std::string_view text)
{
    double value = 0.0;
    double fractionUnit = 0.0;
    bool digits = false;
    for (const char c : text)
    {
        if (c == '.' && fractionUnit == 0.0)
            fractionUnit = 1.0;
        else if (c >= '0' && c <= '9')
        {
            digits = true;
            if (fractionUnit == 0.0)
                value = value * 10.0 + (c - '0');
            else
                value += (c - '0') * (fractionUnit /= 10.0);
        }
        else
            return std::nullopt;
    }
    return digits ? std::optional<double>(value) : std::nullopt;
}

#if JUCE_LINUX
// The resource database as the X server holds it. Xlib fetches it while connecting, so a connection of
// our own, closed at once, costs one connection set-up and nothing more; libX11 is already loaded by
// the framework, and the editor links nothing of X itself.
std::string resourceDatabase()
{
    juce::DynamicLibrary xlib;
    if (!xlib.open("libX11.so.6"))
        return {};
    using OpenDisplay = void* (*)(const char*);
    using ResourceManagerString = char* (*)(void*);
    using CloseDisplay = int (*)(void*);
    auto* open = (OpenDisplay)xlib.getFunction("XOpenDisplay");
    auto* resources = (ResourceManagerString)xlib.getFunction("XResourceManagerString");
    auto* close = (CloseDisplay)xlib.getFunction("XCloseDisplay");
    if (open == nullptr || resources == nullptr || close == nullptr)
        return {};
    // The display the framework opened: DISPLAY, else ":0.0".
    const char* variable = std::getenv("DISPLAY");
    void* display = open(variable != nullptr && *variable != 0 ? variable : ":0.0");
    if (display == nullptr)
        return {};
    const char* text = resources(display);
    std::string copy = text != nullptr ? text : "";
    close(display);
    return copy;
}
#endif
} // namespace

float DesktopScale::fromResources(std::string_view resources)
{
    std::optional<double> dpi;
    while (!resources.empty())
    {
        const auto end = resources.find('\n');
        const std::string_view line = resources.substr(0, end);
        resources = end == std::string_view::npos ? std::string_view() : resources.substr(end + 1);
        const auto colon = line.find(':');
        if (colon != std::string_view::npos && trimmed(line.substr(0, colon)) == "Xft.dpi")
            dpi = decimalNumber(trimmed(line.substr(colon + 1)));
    }
    if (!dpi)
        return 1.0f;
    // Clamped before rounding: a value of a thousand digits is infinite as a double.
    const double scale = std::clamp(*dpi / 96.0, 1.0, (double)largest);
    return (float)(std::round(scale * 4.0) / 4.0);
}

float DesktopScale::applyToDesktop()
{
#if JUCE_LINUX
    auto& desktop = juce::Desktop::getInstance();
    const auto* primary = desktop.getDisplays().getPrimaryDisplay();
    if (primary != nullptr && std::abs(primary->scale - 1.0) > 0.01)
        return 1.0f;
    const float scale = fromResources(resourceDatabase());
    if (scale > 1.0f)
        desktop.setGlobalScaleFactor(scale);
    return scale;
#else
    return 1.0f;
#endif
}
