#include "ui/CustomLook.h"

void CustomLook::fillFace(juce::Graphics& g, int width, int height)
{
    g.setColour(juce::Colour(0xff000000));
    g.fillRoundedRectangle(0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height), 10.0f);
}

void CustomLook::fillTextEditorBackground(juce::Graphics& g, int width, int height, juce::TextEditor&)
{
    fillFace(g, width, height);
}

void CustomLook::drawTextEditorOutline(juce::Graphics&, int, int, juce::TextEditor&)
{
}

void CustomLook::drawComboBox(juce::Graphics& g, int width, int height, bool, int, int, int, int,
                              juce::ComboBox&)
{
    fillFace(g, width, height);
}
