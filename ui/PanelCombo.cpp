#include "ui/PanelCombo.h"

namespace
{
class ChosenItem : public juce::AccessibilityTextValueInterface
{
public:
    explicit ChosenItem(juce::ComboBox& c) : combo(c) {}
    bool isReadOnly() const override { return true; }
    juce::String getCurrentValueAsString() const override { return combo.getText(); }
    void setValueAsString(const juce::String&) override {}

private:
    juce::ComboBox& combo;
};

class PanelComboAccessibility : public juce::AccessibilityHandler
{
public:
    explicit PanelComboAccessibility(juce::ComboBox& c)
        : juce::AccessibilityHandler(c, juce::AccessibilityRole::comboBox, actionsFor(c),
                                     {std::make_unique<ChosenItem>(c)}),
          combo(c)
    {
    }

    juce::AccessibleState getCurrentState() const override
    {
        auto state = juce::AccessibilityHandler::getCurrentState().withExpandable();
        return combo.isPopupActive() ? state.withExpanded() : state.withCollapsed();
    }

    juce::String getTitle() const override
    {
        const auto title = combo.getTitle();
        return title.isNotEmpty() ? title : combo.getText();
    }

    juce::String getHelp() const override { return combo.getTooltip(); }

private:
    static juce::AccessibilityActions actionsFor(juce::ComboBox& c)
    {
        auto open = [&c] { c.showPopup(); };
        return juce::AccessibilityActions()
            .addAction(juce::AccessibilityActionType::press, open)
            .addAction(juce::AccessibilityActionType::showMenu, open);
    }

    juce::ComboBox& combo;
};
} // namespace

std::unique_ptr<juce::AccessibilityHandler> PanelCombo::createAccessibilityHandler()
{
    return std::make_unique<PanelComboAccessibility>(*this);
}
