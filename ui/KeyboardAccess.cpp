#include "ui/KeyboardAccess.h"

namespace
{
class Ring : public juce::Component
{
public:
    Ring()
    {
        setInterceptsMouseClicks(false, false);
        setAlwaysOnTop(true);
        setAccessible(false);
    }

    void paint(juce::Graphics& g) override
    {
        g.setColour(juce::Colour(0xff00e5ff));
        g.drawRoundedRectangle(getLocalBounds().toFloat().reduced(1.0f), 3.0f, 2.0f);
    }
};

constexpr int ringMargin = 3;
} // namespace

KeyboardAccess::KeyboardAccess(juce::Component& windowToServe) : window(windowToServe)
{
    window.addKeyListener(this);
    window.addMouseListener(this, true);
    juce::Desktop::getInstance().addFocusChangeListener(this);
}

KeyboardAccess::~KeyboardAccess()
{
    juce::Desktop::getInstance().removeFocusChangeListener(this);
    window.removeMouseListener(this);
    window.removeKeyListener(this);
    if (ring != nullptr)
        if (auto* parent = ring->getParentComponent())
            parent->removeChildComponent(ring.get());
}

bool KeyboardAccess::keyPressed(const juce::KeyPress& key, juce::Component*)
{
    auto* focused = juce::Component::getCurrentlyFocusedComponent();
    const bool focusInside = focused != nullptr && window.isParentOf(focused);

    if (key.getKeyCode() == juce::KeyPress::tabKey)
    {
        const bool backwards = key.getModifiers().isShiftDown();
        keyboardMoved = true;
        if (focusInside)
        {
            focused->moveKeyboardFocusToSibling(!backwards);
            return true;
        }
        const auto controls = tabOrder(window);
        if (controls.empty())
            return false;
        (backwards ? controls.back() : controls.front())->grabKeyboardFocus();
        return true;
    }

    // F10 opens the menu bar, as on both systems' own windows; the arrow keys then go through it.
    if (key == juce::KeyPress(juce::KeyPress::F10Key))
        if (auto* document = dynamic_cast<juce::DocumentWindow*>(&window))
            if (auto* bar = dynamic_cast<juce::MenuBarComponent*>(document->getMenuBarComponent()))
            {
                bar->showMenu(0);
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

void KeyboardAccess::mouseDown(const juce::MouseEvent&)
{
    keyboardMoved = false;
    showRing(false);
}

void KeyboardAccess::globalFocusChanged(juce::Component*)
{
    showRing(keyboardMoved);
}

void KeyboardAccess::showRing(bool show)
{
    auto* focused = juce::Component::getCurrentlyFocusedComponent();
    auto* resizable = dynamic_cast<juce::ResizableWindow*>(&window);
    auto* content = resizable != nullptr ? resizable->getContentComponent() : &window;
    if (!show || focused == nullptr || content == nullptr || !content->isParentOf(focused))
    {
        if (ring != nullptr)
            ring->setVisible(false);
        return;
    }
    if (ring == nullptr)
        ring = std::make_unique<Ring>();
    if (ring->getParentComponent() != content)
        content->addChildComponent(*ring);
    ring->setBounds(content->getLocalArea(focused->getParentComponent(), focused->getBounds())
                        .expanded(ringMargin));
    ring->setVisible(true);
    ring->toFront(false);
}

const juce::Component* KeyboardAccess::getRing() const
{
    return ring != nullptr && ring->isVisible() ? ring.get() : nullptr;
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
