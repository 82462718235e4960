#pragma once

#include <juce_graphics/juce_graphics.h>

// The one face every window draws with, compiled in (Liberation Sans, Helvetica's metrics), so that a
// caption has the same shape and width on every system and no installed font is looked up.
class PanelTypeface
{
public:
    // Bold for a bold or heavy style, regular for anything else; read from memory on first use.
    static juce::Typeface::Ptr forStyle(const juce::String& style);
    static juce::Typeface::Ptr regular();
    static juce::Typeface::Ptr bold();

    // The face at a height, bold when the flags say so.
    static juce::Font font(float height, int styleFlags = juce::Font::plain);

    // On Linux JUCE opens every font file of the machine the first time any face is made, even one
    // from memory; with every face ours, that scan only costs start-up time. Called before the first
    // face is made; leaves a font path the user set alone.
    static void skipSystemFontScan();
};
