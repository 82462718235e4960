#pragma once

#include <juce_graphics/juce_graphics.h>

// The one face every window draws with, compiled in: Liberation Sans (Helvetica's metrics) converted
// by scripts/render-assets into the framework's own glyph format. A caption has the same shapes and
// widths on every system, and no installed font is looked up (on Linux JUCE would otherwise open
// every font file of the machine at the first text drawn).
class PanelTypeface
{
public:
    // Bold for a bold or heavy style, regular for anything else; each read on first use.
    static juce::Typeface::Ptr forStyle(const juce::String& style);
    static juce::Typeface::Ptr regular();
    static juce::Typeface::Ptr bold();

    // The face at a height, bold when the flags say so.
    static juce::Font font(float height, int styleFlags = juce::Font::plain);
};
