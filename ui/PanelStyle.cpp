#include "ui/PanelStyle.h"

#include "ui/PanelTypeface.h"

namespace PanelStyle
{
juce::Font helvetica(float height)
{
    return PanelTypeface::font(height);
}

void setUpLabel(juce::Label& label, const juce::Font& font, std::optional<juce::Colour> textColour)
{
    label.setFont(font);
    label.setJustificationType(juce::Justification::centredLeft);
    label.setEditable(false, false, false);
    if (textColour)
        label.setColour(juce::Label::textColourId, *textColour);
    label.setColour(juce::TextEditor::textColourId, juce::Colour(0xff000000));
    label.setColour(juce::TextEditor::backgroundColourId, juce::Colour(0x00000000));
}

void setUpCombo(juce::ComboBox& combo, juce::Justification justification, const juce::String& noChoicesText)
{
    combo.setEditableText(false);
    combo.setJustificationType(justification);
    combo.setTextWhenNothingSelected(juce::String());
    combo.setTextWhenNoChoicesAvailable(noChoicesText);
}

void colourCombo(juce::ComboBox& combo)
{
    combo.setColour(juce::ComboBox::backgroundColourId, juce::Colour(0xff000000));
    combo.setColour(juce::ComboBox::textColourId, juce::Colour(0xffffffff));
}

void setPictures(juce::ImageButton& button, const juce::Image& normal, float normalOpacity,
                 const juce::Image& over, const juce::Image& down)
{
    const juce::Colour clear(0x00000000);
    button.setImages(false, true, true, normal, normalOpacity, clear, over, 1.0f, clear, down, 1.0f, clear,
                     0.0f);
}

void drawCaption(juce::Graphics& g, const juce::String& text, juce::Rectangle<int> area,
                 juce::Justification justification, const juce::Font& font, juce::Colour colour)
{
    // Font widths differ between desktops: a caption a little too wide is condensed slightly before it
    // would lose letters to the ellipsis.
    juce::Font fitted(font);
    const float width = fitted.getStringWidthFloat(text);
    if (width > static_cast<float>(area.getWidth()) && width > 0.0f)
        fitted.setHorizontalScale(juce::jmax(0.85f, static_cast<float>(area.getWidth()) / width));
    g.setColour(colour);
    g.setFont(fitted);
    g.drawText(text, area, justification, true);
}
} // namespace PanelStyle
