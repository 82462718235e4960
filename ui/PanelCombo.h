#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// A list that assistive technology reads by its title ("Bank A Pad 1 Trigger") with the chosen item as
// its value. The framework's own list gives its chosen item as the title too, so sixteen trigger lists
// would all be called "Momentary".
class PanelCombo : public juce::ComboBox
{
public:
    explicit PanelCombo(const juce::String& name) : juce::ComboBox(name) {}

    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;
};
