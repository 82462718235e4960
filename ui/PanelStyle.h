#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The few settings every panel repeats for its captions, lists and picture buttons.
namespace PanelStyle
{
constexpr juce::uint32 azure = 0xfff0ffff;

// The panels' caption face at a height: the compiled-in face with Helvetica's metrics.
juce::Font helvetica(float height);

// A caption label: not editable, left and vertically centred, black text while edited on a clear
// background. A label without its own text colour keeps the look's default (black).
void setUpLabel(juce::Label& label, const juce::Font& font, std::optional<juce::Colour> textColour);

// A list: text not editable, the given placement, nothing shown without a selection.
void setUpCombo(juce::ComboBox& combo, juce::Justification justification, const juce::String& noChoicesText);

// White text on a black face.
void colourCombo(juce::ComboBox& combo);

// Pictures that scale with the button, keep their proportions, and carry no overlay colour.
void setPictures(juce::ImageButton& button, const juce::Image& normal, float normalOpacity,
                 const juce::Image& over, const juce::Image& down);

// Draws a caption in the given colour and font; one that does not fit is condensed a little, and then
// shortened with an ellipsis.
void drawCaption(juce::Graphics& g, const juce::String& text, juce::Rectangle<int> area,
                 juce::Justification justification, const juce::Font& font,
                 juce::Colour colour = juce::Colour(azure));
} // namespace PanelStyle
