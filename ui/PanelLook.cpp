#include "ui/PanelLook.h"

#include "ui/PanelPicture.h"
#include "ui/PanelTypeface.h"

juce::Typeface::Ptr PanelLook::getTypefaceForFont(const juce::Font& font)
{
    return PanelTypeface::forStyle(font.getTypefaceStyle());
}

void PanelLook::drawImageButton(juce::Graphics& g, juce::Image* image, int imageX, int imageY, int imageW,
                                int imageH, const juce::Colour& overlayColour, float imageOpacity,
                                juce::ImageButton& button)
{
    // Our buttons carry no overlay; one that does is drawn as the framework draws it.
    if (image == nullptr || !overlayColour.isTransparent())
    {
        LookAndFeel_V3::drawImageButton(g, image, imageX, imageY, imageW, imageH, overlayColour, imageOpacity,
                                        button);
        return;
    }
    g.setOpacity(button.isEnabled() ? imageOpacity : imageOpacity * 0.3f);
    PanelPicture::draw(g, *image, juce::Rectangle<int>(imageX, imageY, imageW, imageH).toFloat());
}
