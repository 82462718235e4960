#include "support/TestSupport.h"
#include "ui/KeybedComponent.h"

#include <gtest/gtest.h>

using testsupport::pressReturn;
using testsupport::typeInto;

TEST(KeybedComponent, LowKeyIsNamedFromOctaveAndTranspose)
{
    KeybedComponent keybed;
    EXPECT_EQ(keybed.lowKeyLabel->getText(), "C3");

    const std::tuple<int, int, const char*> cases[] = {
        {0, 1, "C#3"}, {-1, -12, "C1"}, {4, 12, "C8"}, {-4, -12, "C-2"}, {1, -1, "B3"}};
    for (const auto& [octave, transpose, name] : cases)
    {
        keybed.octaveBox->setValue(octave);
        keybed.transposeBox->setValue(transpose);
        EXPECT_EQ(keybed.lowKeyLabel->getText(), name) << octave << " " << transpose;
    }

    typeInto(*keybed.octaveBox, "-2");
    pressReturn(*keybed.octaveBox);
    EXPECT_EQ(keybed.lowKeyLabel->getText(), "B0") << "either box alone updates the label";

    for (const char* refused : {"5", "-5"})
    {
        typeInto(*keybed.octaveBox, refused);
        pressReturn(*keybed.octaveBox);
        EXPECT_EQ(keybed.octaveBox->getText(), "-2");
        EXPECT_EQ(keybed.lowKeyLabel->getText(), "B0");
    }
}

TEST(KeybedComponent, LayoutAndPicture)
{
    KeybedComponent keybed;
    const std::pair<juce::Component*, juce::Rectangle<int>> layout[] = {
        {&keybed, {0, 0, 420, 98}},
        {keybed.transposeBox.get(), {146, 78, 48, 15}},
        {keybed.octaveBox.get(), {290, 78, 48, 15}},
        {keybed.lowKeyLabel.get(), {0, 48, 35, 24}}};
    for (const auto& [child, bounds] : layout)
        EXPECT_EQ(child->getBounds(), bounds) << child->getName();

    const auto image = keybed.createComponentSnapshot(keybed.getLocalBounds());
    EXPECT_GT(image.getPixelAt(45, 70).getBrightness(), 0.8f) << "a white key";
    EXPECT_EQ(image.getPixelAt(419, 40).getAlpha(), 0) << "the picture is 419 wide";
}
