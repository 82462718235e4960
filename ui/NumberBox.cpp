#include "ui/NumberBox.h"

#include <cmath>
#include <limits>

namespace
{
// An optional sign, then digits (and a fraction); reading stops at the first character that does not fit.
double readLeadingNumber(const juce::String& text)
{
    auto p = text.getCharPointer();
    double sign = 1.0;
    if (*p == '-' || *p == '+')
    {
        sign = *p == '-' ? -1.0 : 1.0;
        ++p;
    }
    double value = 0.0;
    while (*p >= '0' && *p <= '9')
        value = value * 10.0 + static_cast<double>(*p++ - '0');
    if (*p == '.')
    {
        double scale = 0.1;
        for (++p; *p >= '0' && *p <= '9'; ++p, scale /= 10.0)
            value += scale * static_cast<double>(*p - '0');
    }
    return sign * value;
}

const juce::String allowedCharacters = "0123456789-+";

// The framework's own text access for reading and caret moves, plus a value that commits like Return.
class NumberBoxAccessibility : public juce::AccessibilityHandler
{
public:
    explicit NumberBoxAccessibility(NumberBox& b)
        : juce::AccessibilityHandler(b, juce::AccessibilityRole::editableText, {},
                                     {std::make_unique<Value>(b), std::make_unique<Text>(b), nullptr, nullptr}),
          box(b)
    {
    }

    juce::String getHelp() const override { return box.getTooltip(); }

private:
    struct Value : juce::AccessibilityTextValueInterface
    {
        explicit Value(NumberBox& b) : box(b) {}
        bool isReadOnly() const override { return box.isReadOnly(); }
        juce::String getCurrentValueAsString() const override { return box.getValueText(); }
        void setValueAsString(const juce::String& text) override { box.commitTyped(text); }
        NumberBox& box;
    };

    struct Text : juce::AccessibilityTextInterface
    {
        explicit Text(NumberBox& b) : box(b) {}
        bool isDisplayingProtectedText() const override { return false; }
        bool isReadOnly() const override { return box.isReadOnly(); }
        int getTotalNumCharacters() const override { return box.getText().length(); }
        juce::Range<int> getSelection() const override { return box.getHighlightedRegion(); }
        void setSelection(juce::Range<int> range) override { box.setHighlightedRegion(range); }
        juce::String getText(juce::Range<int> range) const override { return box.getTextInRange(range); }
        void setText(const juce::String& text) override { box.commitTyped(text); }
        int getTextInsertionOffset() const override { return box.getCaretPosition(); }
        juce::RectangleList<int> getTextBounds(juce::Range<int> range) const override
        {
            juce::RectangleList<int> global;
            for (const auto& r : box.getTextBounds(range))
                global.add(box.localAreaToGlobal(r));
            return global;
        }
        int getOffsetAtPoint(juce::Point<int> point) const override
        {
            return box.getTextIndexAt(box.getLocalPoint(nullptr, point));
        }
        NumberBox& box;
    };

    NumberBox& box;
};
} // namespace

NumberBox::NumberBox(const juce::String&) : juce::TextEditor(juce::String(), 0)
{
    setInputRestrictions(-1, allowedCharacters);
    setMultiLine(false);
    setScrollbarsShown(false);
    setReadOnly(false);
    setCaretVisible(false);
    setLookAndFeel(&look);
    juce::TextEditor::addListener(this);
}

NumberBox::~NumberBox()
{
    // The text editor must let go of the look before the look is destroyed.
    setLookAndFeel(nullptr);
}

void NumberBox::addListener(Listener* listener)
{
    if (listener != nullptr)
        listeners.addIfNotAlreadyThere(listener);
}

void NumberBox::removeListener(Listener* listener)
{
    listeners.removeAllInstancesOf(listener);
}

juce::String NumberBox::format(double value)
{
    return juce::String(static_cast<juce::int64>(value));
}

void NumberBox::setValue(int value)
{
    const double x = value;
    if (x < minValue || x > maxValue)
    {
        setText(format(currentValue), false);
        return;
    }
    currentValue = x;
    // Listeners hear of it below, at once. The framework's text-change broadcast, which nothing here
    // listens to, would post two messages per box: a program load into many windows paid for them all.
    setText(format(x), false);
    if (auto* handler = getAccessibilityHandler())
        handler->notifyAccessibilityEvent(juce::AccessibilityEvent::valueChanged);

    // Newest first; the index is clamped before each call so a list that shrinks meanwhile is not overrun.
    for (int i = listeners.size() - 1; i >= 0; --i)
    {
        i = juce::jmin(i, listeners.size() - 1);
        if (i < 0)
            break;
        listeners.getUnchecked(i)->numberBoxChanged(this);
    }
}

void NumberBox::commitText()
{
    const juce::String text = getText();
    if (text.isEmpty())
    {
        setText(format(currentValue), true);
        return;
    }
    const double number = std::trunc(readLeadingNumber(text));
    // Beyond 32 bits a number is refused like any other out-of-range value, never wrapped.
    if (number < static_cast<double>(std::numeric_limits<int>::min()) ||
        number > static_cast<double>(std::numeric_limits<int>::max()))
    {
        setText(format(currentValue), true);
        return;
    }
    setValue(static_cast<int>(number));
}

juce::String NumberBox::getValueText() const
{
    const int value = static_cast<int>(currentValue);
    return describeValue ? describeValue(value) : format(currentValue);
}

void NumberBox::commitTyped(const juce::String& text)
{
    setText(text.retainCharacters(allowedCharacters), false);
    commitText();
}

std::unique_ptr<juce::AccessibilityHandler> NumberBox::createAccessibilityHandler()
{
    return std::make_unique<NumberBoxAccessibility>(*this);
}

juce::Component::SafePointer<NumberBox>& NumberBox::boxBeingTyped()
{
    static juce::Component::SafePointer<NumberBox> box;
    return box;
}

void NumberBox::commitPendingEdit()
{
    if (NumberBox* box = boxBeingTyped(); box != nullptr && box->hasUncommittedText())
        box->commitText();
}

bool NumberBox::hasPendingEdit()
{
    NumberBox* box = boxBeingTyped();
    return box != nullptr && box->hasUncommittedText();
}

bool NumberBox::revertPendingEdit()
{
    if (!hasPendingEdit())
        return false;
    NumberBox* box = boxBeingTyped();
    box->setText(format(box->currentValue), false);
    box->moveCaretToEnd();
    return true;
}

// Undo and redo belong to the window's program, not to the few digits in the box.
bool NumberBox::keyPressed(const juce::KeyPress& key)
{
    const auto command = juce::ModifierKeys::commandModifier;
    if (key == juce::KeyPress('z', command, 0) ||
        key == juce::KeyPress('z', command | juce::ModifierKeys::shiftModifier, 0) ||
        key == juce::KeyPress('y', command, 0))
        return false;
    return juce::TextEditor::keyPressed(key);
}

void NumberBox::textEditorReturnKeyPressed(juce::TextEditor&)
{
    commitText();
}

void NumberBox::textEditorFocusLost(juce::TextEditor&)
{
    commitText();
    setHighlightedRegion(juce::Range<int>(0, 0));
}

// A placed caret blinks on a timer of its own whether or not its box has focus; only the box being
// typed into has one, so the hundred boxes of each window do not keep a hundred timers running.
void NumberBox::focusGained(FocusChangeType cause)
{
    boxBeingTyped() = this;
    setCaretVisible(true);
    juce::TextEditor::focusGained(cause);
}

void NumberBox::focusLost(FocusChangeType cause)
{
    juce::TextEditor::focusLost(cause);
    setCaretVisible(false);
}

void NumberBox::applyPanelSetup()
{
    setMultiLine(false);
    setReturnKeyStartsNewLine(false);
    setReadOnly(false);
    setScrollbarsShown(false);
    setCaretVisible(hasKeyboardFocus(false));
    setPopupMenuEnabled(true);
    setColour(juce::TextEditor::textColourId, juce::Colour(0xffffffff));
    setColour(juce::TextEditor::backgroundColourId, juce::Colour(0x00000000));
    setColour(juce::TextEditor::highlightColourId, juce::Colour(0x5f00ffff));
    setColour(juce::TextEditor::outlineColourId, juce::Colour(0xffbf6a6a));
    setColour(juce::CaretComponent::caretColourId, juce::Colour(0xfffffcfc));
    setText("0");
}
