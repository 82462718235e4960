#include "ui/PanelButton.h"

namespace
{
class SwitchValue : public juce::AccessibilityTextValueInterface
{
public:
    explicit SwitchValue(juce::Button& b) : button(b) {}
    bool isReadOnly() const override { return true; }
    juce::String getCurrentValueAsString() const override { return button.getToggleState() ? "On" : "Off"; }
    void setValueAsString(const juce::String&) override {}

private:
    juce::Button& button;
};

class PanelButtonAccessibility : public juce::AccessibilityHandler
{
public:
    explicit PanelButtonAccessibility(juce::Button& b)
        : juce::AccessibilityHandler(b, b.isToggleable() ? juce::AccessibilityRole::toggleButton
                                                         : juce::AccessibilityRole::button,
                                     actionsFor(b), interfacesFor(b)),
          button(b)
    {
    }

    juce::AccessibleState getCurrentState() const override
    {
        auto state = juce::AccessibilityHandler::getCurrentState();
        if (!button.isToggleable())
            return state;
        state = state.withCheckable();
        return button.getToggleState() ? state.withChecked() : state;
    }

    juce::String getHelp() const override { return button.getTooltip(); }

private:
    static juce::AccessibilityActions actionsFor(juce::Button& b)
    {
        auto click = [&b] { b.triggerClick(); };
        auto actions = juce::AccessibilityActions().addAction(juce::AccessibilityActionType::press, click);
        if (b.isToggleable())
            actions.addAction(juce::AccessibilityActionType::toggle, click);
        return actions;
    }

    static Interfaces interfacesFor(juce::Button& b)
    {
        if (b.isToggleable())
            return {std::make_unique<SwitchValue>(b)};
        return {};
    }

    juce::Button& button;
};
} // namespace

std::unique_ptr<juce::AccessibilityHandler> PanelButton::createAccessibilityHandler()
{
    return std::make_unique<PanelButtonAccessibility>(*this);
}
