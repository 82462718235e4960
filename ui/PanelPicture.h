#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The panels' pictures, compiled in at 1x and at 2x. Layout, sizes and hit tests use the 1x picture;
// drawing takes the 2x one wherever a logical pixel covers more than one pixel of the screen (125 %
// and up), into the same logical rectangle. A 2x picture is decoded only when first drawn, and lives
// as long as its 1x picture is held.
class PanelPicture
{
public:
    // The 1x picture of a resource, by the name of its PNG without extension ("Send_Normal"); shared
    // through the framework's image cache, and invalid for an unknown name.
    static juce::Image load(const char* name);

    // A 1x picture made from another one (stretched, say), with its 2x made the same way from the
    // other's 2x when first needed.
    static juce::Image derive(const juce::Image& source,
                              const std::function<juce::Image(const juce::Image&)>& make);

    // The picture to draw at a scale: the 2x one above 1 where there is one, else the picture itself.
    static juce::Image forScale(const juce::Image& picture, float scale);

    // How many device pixels a logical pixel of this context covers.
    static float scaleOf(juce::Graphics& g);

    // Draws the picture into a logical rectangle (stretched, unless placed otherwise), at the context's
    // opacity.
    static void draw(juce::Graphics& g, const juce::Image& picture, juce::Rectangle<float> area,
                     juce::RectanglePlacement placement = juce::RectanglePlacement::stretchToFit);
};
