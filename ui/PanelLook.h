#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// LookAndFeel_V3 with the editor's own face for every font and its pictures drawn sharp on scaled
// screens. Every look of ours derives from it; as the desktop default it decides the face of every
// font in the process, menus and message boxes included.
class PanelLook : public juce::LookAndFeel_V3
{
public:
    juce::Typeface::Ptr getTypefaceForFont(const juce::Font& font) override;

    void drawImageButton(juce::Graphics& g, juce::Image* image, int imageX, int imageY, int imageW,
                         int imageH, const juce::Colour& overlayColour, float imageOpacity,
                         juce::ImageButton& button) override;
};
