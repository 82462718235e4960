#pragma once

#include "ui/PanelLook.h"

// The flat black face of entry fields and combo boxes: a rounded rectangle, no outline, no arrow, and
// no change on hover, focus or press. Everything else is drawn as the panel look draws it.
class CustomLook : public PanelLook
{
public:
    void fillTextEditorBackground(juce::Graphics& g, int width, int height,
                                  juce::TextEditor& editor) override;
    void drawTextEditorOutline(juce::Graphics& g, int width, int height, juce::TextEditor& editor) override;
    void drawComboBox(juce::Graphics& g, int width, int height, bool isButtonDown, int buttonX, int buttonY,
                      int buttonW, int buttonH, juce::ComboBox& box) override;

private:
    static void fillFace(juce::Graphics& g, int width, int height);
};
