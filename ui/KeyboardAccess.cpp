#include "ui/KeyboardAccess.h"

namespace
{
class WindowKeys : public juce::KeyListener
{
public:
    bool keyPressed(const juce::KeyPress& key, juce::Component* window) override
    {
        auto* focused = juce::Component::getCurrentlyFocusedComponent();
        const bool focusInside = focused != nullptr && window->isParentOf(focused);

        if (key.getKeyCode() == juce::KeyPress::tabKey && !focusInside)
        {
            const auto controls = KeyboardAccess::tabOrder(*window);
            if (controls.empty())
                return false;
            const bool backwards = key.getModifiers().isShiftDown();
            (backwards ? controls.back() : controls.front())->grabKeyboardFocus();
            return true;
        }

        if (key == juce::KeyPress(juce::KeyPress::spaceKey) && focusInside)
        {
            if (auto* button = dynamic_cast<juce::Button*>(focused); button != nullptr && button->isEnabled())
            {
                button->triggerClick();
                return true;
            }
            if (auto* combo = dynamic_cast<juce::ComboBox*>(focused); combo != nullptr && combo->isEnabled())
            {
                combo->showPopup();
                return true;
            }
        }
        return false;
    }
};

WindowKeys& windowKeys()
{
    static WindowKeys keys;
    return keys;
}
} // namespace

void KeyboardAccess::attach(juce::Component& window)
{
    window.addKeyListener(&windowKeys());
}

void KeyboardAccess::setOrder(std::initializer_list<juce::Component*> controls)
{
    int order = 0;
    for (auto* control : controls)
        control->setExplicitFocusOrder(++order);
}

std::vector<juce::Component*> KeyboardAccess::tabOrder(juce::Component& window)
{
    std::vector<juce::Component*> controls;
    if (auto traverser = window.createKeyboardFocusTraverser())
        for (auto* control : traverser->getAllComponents(&window))
            if (control->isShowing())
                controls.push_back(control);
    return controls;
}
