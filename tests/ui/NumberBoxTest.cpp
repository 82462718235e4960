#include "support/TestSupport.h"
#include "ui/NumberBox.h"

#include <gtest/gtest.h>

#include <functional>

using testsupport::pressReturn;
using testsupport::typeInto;

namespace
{
struct RecordingListener : NumberBox::Listener
{
    RecordingListener(std::vector<std::pair<int, int>>& sharedLog, int listenerId)
        : log(sharedLog), id(listenerId)
    {
    }
    void numberBoxChanged(NumberBox* box) override
    {
        log.emplace_back(id, static_cast<int>(box->currentValue));
        if (onChange)
            onChange();
    }
    std::vector<std::pair<int, int>>& log;
    int id;
    std::function<void()> onChange;
};

class NumberBoxTest : public ::testing::Test
{
protected:
    void makeBox(double lowest, double highest, int first)
    {
        box = std::make_unique<NumberBox>("Note Value");
        box->applyPanelSetup();
        box->minValue = lowest;
        box->maxValue = highest;
        box->setValue(first);
        box->addListener(&first_);
        box->addListener(&second_);
        log.clear();
    }

    void commit(const juce::String& typed)
    {
        typeInto(*box, typed);
        pressReturn(*box);
    }

    std::vector<std::pair<int, int>> log;
    RecordingListener first_{log, 1}, second_{log, 2};
    std::unique_ptr<NumberBox> box;
};
} // namespace

TEST_F(NumberBoxTest, ReturnCommitsOnlyValuesInRange)
{
    makeBox(1, 16, 1);
    commit("17");
    EXPECT_EQ(box->getText(), "1");
    EXPECT_EQ(box->currentValue, 1.0);
    EXPECT_TRUE(log.empty());

    commit("16");
    EXPECT_EQ(box->getText(), "16");
    EXPECT_EQ(box->currentValue, 16.0);
    EXPECT_EQ(log, (std::vector<std::pair<int, int>>{{2, 16}, {1, 16}}))
        << "each listener once, newest first";

    log.clear();
    commit("0");
    EXPECT_EQ(box->getText(), "16");
    EXPECT_TRUE(log.empty());
}

TEST_F(NumberBoxTest, CommittedTextIsReadAsALeadingNumber)
{
    makeBox(0, 127, 64);
    const std::pair<const char*, const char*> cases[] = {
        {"007", "7"}, {"+5", "5"}, {"12-3", "12"}, {"-", "0"}, {"+", "0"}, {"--4", "0"}, {"127", "127"}};
    for (const auto& [typed, shown] : cases)
    {
        box->setValue(64);
        commit(typed);
        EXPECT_EQ(box->getText(), shown) << typed;
        EXPECT_EQ(box->getText(), NumberBox::format(box->currentValue)) << typed;
    }
}

TEST_F(NumberBoxTest, NumbersBeyondThirtyTwoBitsAreRefusedNotWrapped)
{
    makeBox(-2147483648.0, 2147483647.0, 5);
    commit("999999999999");
    EXPECT_EQ(box->getText(), "5");
    EXPECT_TRUE(log.empty());
    commit("4294967301"); // wraps to 5 if cast through 32 bits
    EXPECT_TRUE(log.empty());
    commit("2147483647");
    EXPECT_EQ(box->currentValue, 2147483647.0);
    commit("-2147483649");
    EXPECT_EQ(box->currentValue, 2147483647.0);
    EXPECT_EQ(box->getText(), "2147483647");
}

TEST_F(NumberBoxTest, EmptyTextRestoresTheValueWithoutAReport)
{
    makeBox(-12, 12, -7);
    typeInto(*box, "");
    box->setHighlightedRegion({0, 0});
    box->textEditorFocusLost(*box);
    EXPECT_EQ(box->getText(), "-7");
    EXPECT_TRUE(log.empty());

    commit("");
    EXPECT_EQ(box->getText(), "-7");
    EXPECT_TRUE(log.empty());
}

TEST_F(NumberBoxTest, LeavingTheFieldCommitsAndPutsTheCaretAtTheStart)
{
    makeBox(0, 127, 0);
    typeInto(*box, "100");
    box->textEditorFocusLost(*box);
    EXPECT_EQ(box->currentValue, 100.0);
    EXPECT_EQ(log.size(), 2u);
    EXPECT_TRUE(box->getHighlightedRegion().isEmpty());
    EXPECT_EQ(box->getCaretPosition(), 0);
}

TEST_F(NumberBoxTest, OnlyDigitsAndSignsCanBeEntered)
{
    makeBox(0, 127, 0);
    typeInto(*box, "1a2.b3 ");
    EXPECT_EQ(box->getText(), "123");
    EXPECT_EQ(box->currentValue, 0.0) << "typing alone commits nothing";
}

TEST_F(NumberBoxTest, SetValueReportsUnchangedValuesAndRefusesOutOfRange)
{
    makeBox(0, 127, 42);
    box->setValue(42);
    EXPECT_EQ(log.size(), 2u) << "an unchanged value is still reported";

    log.clear();
    typeInto(*box, "99");
    box->setValue(128);
    EXPECT_EQ(box->currentValue, 42.0);
    EXPECT_EQ(box->getText(), "42") << "the committed value is shown again";
    EXPECT_TRUE(log.empty());
    box->setValue(-1);
    EXPECT_TRUE(log.empty());
}

TEST_F(NumberBoxTest, ListenersAreKeptOnceEach)
{
    makeBox(0, 127, 0);
    box->addListener(&first_);
    box->addListener(nullptr);
    box->setValue(3);
    EXPECT_EQ(log, (std::vector<std::pair<int, int>>{{2, 3}, {1, 3}}));
}

TEST_F(NumberBoxTest, AListenerListThatShrinksDuringAReportIsNotOverrun)
{
    makeBox(0, 127, 0);
    RecordingListener third{log, 3};
    box->addListener(&third);
    // The newest listener drops itself and the one below it; only the oldest is still called.
    third.onChange = [&]
    {
        box->removeListener(&third);
        box->removeListener(&second_);
    };
    box->setValue(9);
    EXPECT_EQ(log, (std::vector<std::pair<int, int>>{{3, 9}, {1, 9}}));

    log.clear();
    box->setValue(10);
    EXPECT_EQ(log, (std::vector<std::pair<int, int>>{{1, 10}}));
}

TEST(CustomLook, EntryFacesAreBlackRoundedShapesWithoutArrowOrOutline)
{
    CustomLook look;
    juce::ComboBox combo;
    combo.setLookAndFeel(&look);
    combo.addItem("Toggle", 2);
    combo.setBounds(0, 0, 100, 20);
    combo.setColour(juce::ComboBox::backgroundColourId, juce::Colours::red);

    juce::Image closed(juce::Image::ARGB, 100, 20, true);
    {
        juce::Graphics g(closed);
        look.drawComboBox(g, 100, 20, false, 80, 0, 20, 20, combo);
    }
    juce::Image pressed(juce::Image::ARGB, 100, 20, true);
    {
        juce::Graphics g(pressed);
        look.drawComboBox(g, 100, 20, true, 80, 0, 20, 20, combo);
    }
    EXPECT_EQ(closed.getPixelAt(50, 10), juce::Colour(0xff000000));
    EXPECT_EQ(closed.getPixelAt(90, 10), juce::Colour(0xff000000)) << "no arrow where the button sits";
    EXPECT_EQ(closed.getPixelAt(0, 0).getAlpha(), 0) << "rounded corners stay clear";
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(closed.getPixelAt(x, y), pressed.getPixelAt(x, y));

    juce::TextEditor editor;
    editor.setLookAndFeel(&look);
    juce::Image field(juce::Image::ARGB, 60, 16, true);
    {
        juce::Graphics g(field);
        look.fillTextEditorBackground(g, 60, 16, editor);
        g.setColour(juce::Colours::white);
        look.drawTextEditorOutline(g, 60, 16, editor);
    }
    EXPECT_EQ(field.getPixelAt(30, 8), juce::Colour(0xff000000));
    EXPECT_EQ(field.getPixelAt(30, 0), juce::Colour(0xff000000)) << "no outline along the edge";
    combo.setLookAndFeel(nullptr);
    editor.setLookAndFeel(nullptr);
}

TEST_F(NumberBoxTest, OnlyTheBoxBeingTypedIntoHasACaret)
{
    // A caret keeps a blink timer running once placed: a window's worth of boxes would keep a hundred.
    makeBox(0, 127, 5);
    box->setValue(6);
    EXPECT_FALSE(box->isCaretVisible());
    box->focusGained(juce::Component::focusChangedDirectly);
    EXPECT_TRUE(box->isCaretVisible());
    typeInto(*box, "12");
    pressReturn(*box);
    EXPECT_EQ(box->currentValue, 12.0);
    box->focusLost(juce::Component::focusChangedDirectly);
    EXPECT_FALSE(box->isCaretVisible());
}
