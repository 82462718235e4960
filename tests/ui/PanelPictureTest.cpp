#include "BinaryData.h"
#include "support/TestSupport.h"
#include "ui/PanelPicture.h"

#include <gtest/gtest.h>

namespace
{
// The picture drawn into its own logical rectangle on a canvas of that rectangle at a scale.
juce::Image drawnAt(const juce::Image& picture, float scale)
{
    const auto logical = picture.getBounds().toFloat();
    juce::Image canvas(juce::Image::ARGB, juce::roundToInt(logical.getWidth() * scale),
                       juce::roundToInt(logical.getHeight() * scale), true);
    juce::Graphics g(canvas);
    g.addTransform(juce::AffineTransform::scale(scale));
    EXPECT_FLOAT_EQ(PanelPicture::scaleOf(g), scale);
    PanelPicture::draw(g, picture, logical);
    return canvas;
}

int differingPixels(const juce::Image& a, const juce::Image& b)
{
    int differing = 0;
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            differing += a.getPixelAt(x, y) != b.getPixelAt(x, y) ? 1 : 0;
    return differing;
}
} // namespace

TEST(PanelPicture, EveryPictureHasATwiceAsLargeTwin)
{
    int pictures = 0;
    for (int i = 0; i < BinaryData::namedResourceListSize; ++i)
    {
        const juce::String name(BinaryData::namedResourceList[i]);
        if (!name.endsWith("_png") || name.endsWith("_2x_png"))
            continue;
        SCOPED_TRACE(name.toStdString());
        ++pictures;
        const juce::Image once = PanelPicture::load(name.dropLastCharacters(4).toRawUTF8());
        const juce::Image twice = PanelPicture::forScale(once, 2.0f);
        ASSERT_TRUE(once.isValid());
        EXPECT_EQ(twice.getBounds(), once.getBounds() * 2);
    }
    EXPECT_EQ(pictures, 42);
    EXPECT_FALSE(PanelPicture::load("No_Such_Picture").isValid());
}

// A logical pixel covering more than one screen pixel takes the 2x picture, into the same rectangle.
TEST(PanelPicture, ScalesAboveOneDrawTheTwiceAsLargePicture)
{
    const juce::Image knob = PanelPicture::load("VelkorEditor_Knob");
    const juce::Image knobTwice = PanelPicture::forScale(knob, 2.0f);
    const struct
    {
        float scale;
        const juce::Image& expected;
    } cases[] = {{1.0f, knob}, {1.25f, knobTwice}, {1.5f, knobTwice}, {2.0f, knobTwice}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.scale);
        EXPECT_EQ(PanelPicture::forScale(knob, c.scale).getBounds(), c.expected.getBounds());
        const juce::Image drawn = drawnAt(knob, c.scale);
        // Where a picture maps pixel for pixel, it is copied exactly.
        if (drawn.getBounds() == c.expected.getBounds())
        {
            EXPECT_EQ(differingPixels(drawn, c.expected), 0);
        }
        // The corner pixels of the drawn rectangle are covered, nothing beyond.
        EXPECT_EQ(drawn.getPixelAt(drawn.getWidth() - 1, drawn.getHeight() / 2).getAlpha(),
                  c.expected.getPixelAt(c.expected.getWidth() - 1, c.expected.getHeight() / 2).getAlpha());
    }
}

// The pad banks' outlines are stretched once; their 2x twins are stretched the same way, from the 2x file.
TEST(PanelPicture, ADerivedPictureDerivesItsTwinFromTheTwin)
{
    const auto taller = [](const juce::Image& source)
    {
        juce::Image result(juce::Image::ARGB, source.getWidth(), source.getHeight() * 260 / 257, true);
        juce::Graphics g(result);
        g.drawImage(source, result.getBounds().toFloat());
        return result;
    };
    const juce::Image outline =
        PanelPicture::derive(PanelPicture::load("ColoredPadBankStroke_BankA"), taller);
    EXPECT_EQ(outline.getBounds(), juce::Rectangle<int>(503, 260));
    EXPECT_EQ(PanelPicture::forScale(outline, 1.5f).getBounds(), juce::Rectangle<int>(1006, 520));
    EXPECT_EQ(PanelPicture::forScale(outline, 1.0f).getBounds(), outline.getBounds());
}
