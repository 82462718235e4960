#include "support/TestSupport.h"
#include "midi/DeviceManagerComponent.h"

#include <gtest/gtest.h>

namespace
{
using Names = std::pair<juce::StringArray, juce::StringArray>;

struct FakeLink : MidiDeviceLink
{
    juce::StringArray getMidiInputNames() override { return {}; }
    juce::StringArray getMidiOutputNames() override { return {}; }
    void applyDeviceNames(juce::StringArray inputNames, juce::StringArray outputNames) override
    {
        applied.push_back({inputNames, outputNames});
        events.add("apply");
    }
    void closeDeviceSetup() override { events.add("close"); }

    std::vector<Names> applied;
    juce::StringArray events;
};

class DeviceManagerComponentTest : public ::testing::Test
{
protected:
    void SetUp() override { panel.setDeviceLists({"Keys A", "Pads B", "Desk C"}, {"Synth X", "Drums Y"}); }

    void click(juce::Button& button)
    {
        button.triggerClick();
        testsupport::pumpMessages();
    }

    FakeLink link;
    DeviceManagerComponent panel{link};
};

bool anyPixel(const juce::Image& image, juce::Rectangle<int> area, std::function<bool(juce::Colour)> test)
{
    for (int x = area.getX(); x < area.getRight(); ++x)
        for (int y = area.getY(); y < area.getBottom(); ++y)
            if (test(image.getPixelAt(x, y)))
                return true;
    return false;
}

// The topmost inked row over the given columns of a painted row.
int inkTop(const juce::Image& row, int fromX, int toX)
{
    for (int y = 0; y < row.getHeight(); ++y)
        if (anyPixel(row, {fromX, y, toX - fromX, 1}, [](juce::Colour c) { return c.getAlpha() > 128; }))
            return y;
    return row.getHeight();
}

int inkRight(const juce::Image& row)
{
    for (int x = row.getWidth() - 1; x >= 0; --x)
        if (anyPixel(row, {x, 0, 1, row.getHeight()}, [](juce::Colour c) { return c.getAlpha() > 128; }))
            return x;
    return -1;
}
} // namespace

TEST_F(DeviceManagerComponentTest, ChildrenNamesTextsAndGeometry)
{
    const std::tuple<juce::Component*, const char*, juce::Rectangle<int>> children[] = {
        {panel.inputList.get(), "input Devices", {16, 91, 326, 120}},
        {panel.outputList.get(), "output Devices", {16, 251, 326, 126}},
        {panel.okButton.get(), "OK Button", {24, 390, 80, 24}},
        {panel.applyButton.get(), "Apply Button", {112, 390, 80, 24}},
        {panel.cancelButton.get(), "Cacnel Button", {200, 390, 80, 24}}};
    EXPECT_EQ(panel.getBounds(), juce::Rectangle<int>(0, 0, 360, 425));
    for (const auto& [child, name, bounds] : children)
    {
        EXPECT_EQ(child->getName(), name);
        EXPECT_EQ(child->getBounds(), bounds) << name;
        EXPECT_TRUE(child->isVisible() && child->getParentComponent() == &panel) << name;
    }
    EXPECT_EQ(panel.okButton->getButtonText(), "OK");
    EXPECT_EQ(panel.applyButton->getButtonText(), "APPLY");
    EXPECT_EQ(panel.cancelButton->getButtonText(), "CANCEL");
    EXPECT_EQ(&panel.inputList->getLookAndFeel(), &panel.look);

    panel.inputList->selectRow(0);
    panel.inputList->selectRow(1);
    EXPECT_EQ(panel.inputList->getNumSelectedRows(), 1) << "one row at a time";
}

TEST_F(DeviceManagerComponentTest, ApplyHandsOnTheSelectedNamesAndKeepsEarlierOnes)
{
    panel.inputList->selectRow(0);
    panel.outputList->selectRow(1);
    click(*panel.applyButton);
    panel.inputList->selectRow(2);
    panel.outputList->deselectAllRows();
    click(*panel.applyButton);

    EXPECT_EQ(link.applied,
              std::vector<Names>({{{"Keys A"}, {"Drums Y"}}, {{"Keys A", "Desk C"}, {"Drums Y"}}}))
        << "an unselected list adds nothing; earlier choices are handed on again, first";
    EXPECT_EQ(link.events, juce::StringArray({"apply", "apply"})) << "APPLY leaves the window open";
}

TEST_F(DeviceManagerComponentTest, OkAppliesThenClosesAndCancelOnlyCloses)
{
    panel.outputList->selectRow(0);
    click(*panel.cancelButton);
    click(*panel.okButton);
    EXPECT_EQ(link.events, juce::StringArray({"close", "apply", "close"}));
    EXPECT_EQ(link.applied, std::vector<Names>({{{}, {"Synth X"}}}));

    panel.setDeviceLists({}, {});
    panel.applySelection();
    EXPECT_EQ(link.applied.back(), Names({}, {"Synth X"})) << "the lists are replaced; no rows add nothing";
}

TEST(DeviceManagerComponent, RowsShowTheNameAndCutALongOneWithAnEllipsis)
{
    DeviceManagerComponent::DeviceListModel model;
    model.deviceNames = {juce::String::repeatedString("H", 80), "HH"};
    const auto paintRow = [&model](int row, bool selected)
    {
        juce::Image image(juce::Image::ARGB, 200, 22, true);
        juce::Graphics g(image);
        model.paintListBoxItem(row, g, 200, 22, selected);
        return image;
    };

    const auto longRow = paintRow(0, false);
    const int right = inkRight(longRow);
    const int textTop = inkTop(longRow, 0, 200);
    ASSERT_GT(right, 100);
    EXPECT_GT(inkTop(longRow, right - 3, right + 1), textTop + (22 - textTop) / 3) << "dots at the end";

    const auto shortRow = paintRow(1, false);
    EXPECT_EQ(inkTop(shortRow, inkRight(shortRow) - 1, inkRight(shortRow) + 1), textTop) << "ends in an H";
    EXPECT_EQ(inkTop(shortRow, 0, 5), 22) << "the name starts 5 pixels in";
    EXPECT_TRUE(
        anyPixel(shortRow, {0, 0, 40, 22}, [](juce::Colour c) { return c == juce::Colour(0xfff5f5f5); }));
    EXPECT_EQ(shortRow.getPixelAt(1, 1).getAlpha(), 0);
    EXPECT_EQ(paintRow(1, true).getPixelAt(1, 1), juce::Colour(0xff555555));
    EXPECT_EQ(inkRight(paintRow(7, false)), -1) << "rows past the names stay empty";
}

TEST(DeviceManagerComponent, PaintsPicturesAndCaptionsBehindClearLists)
{
    FakeLink link;
    DeviceManagerComponent panel(link);
    const auto image = panel.createComponentSnapshot(panel.getLocalBounds());
    EXPECT_GT(image.getPixelAt(5, 5).getBrightness(), 0.9f);
    EXPECT_LT(image.getPixelAt(180, 150).getBrightness(), 0.3f) << "the input list's dark panel";
    EXPECT_LT(image.getPixelAt(180, 320).getBrightness(), 0.3f) << "the output list's dark panel";
    const auto grey = [](juce::Colour c) { return c == juce::Colour(0xff808080); };
    EXPECT_TRUE(anyPixel(image, {31, 59, 88, 24}, grey)) << "Input";
    EXPECT_TRUE(anyPixel(image, {31, 225, 104, 17}, grey)) << "Output";
}
