#include "visual/ImageComparison.h"

#include <cstdlib>

namespace
{
int largestChannelGap(juce::Colour a, juce::Colour b)
{
    const auto gap = [](juce::uint8 x, juce::uint8 y) { return std::abs(int(x) - int(y)); };
    return juce::jmax(gap(a.getRed(), b.getRed()), gap(a.getGreen(), b.getGreen()),
                      gap(a.getBlue(), b.getBlue()), gap(a.getAlpha(), b.getAlpha()));
}
} // namespace

ImageComparison::ImageComparison(const juce::Image& expectedImage, const juce::Image& actualImage,
                                 int channelTolerance)
    : expected(expectedImage), actual(actualImage), tolerance(channelTolerance),
      sameSize(expected.isValid() && actual.isValid() && expected.getBounds() == actual.getBounds())
{
    if (!sameSize)
        return;

    const juce::Image::BitmapData want(expected, juce::Image::BitmapData::readOnly);
    const juce::Image::BitmapData got(actual, juce::Image::BitmapData::readOnly);
    for (int y = 0; y < want.height; ++y)
        for (int x = 0; x < want.width; ++x)
        {
            const int gap = largestChannelGap(want.getPixelColour(x, y), got.getPixelColour(x, y));
            largestChannelDifference = juce::jmax(largestChannelDifference, gap);
            if (gap > tolerance)
            {
                ++differingPixels;
                differingArea = differingArea.isEmpty() ? juce::Rectangle<int>(x, y, 1, 1)
                                                        : differingArea.getUnion({x, y, 1, 1});
            }
        }
}

bool ImageComparison::differs(juce::Colour a, juce::Colour b) const
{
    return largestChannelGap(a, b) > tolerance;
}

juce::Image ImageComparison::makeDifferencePicture() const
{
    if (!actual.isValid())
        return {};

    juce::Image picture(juce::Image::ARGB, actual.getWidth(), actual.getHeight(), true);
    const juce::Image::BitmapData got(actual, juce::Image::BitmapData::readOnly);
    juce::Image::BitmapData out(picture, juce::Image::BitmapData::writeOnly);
    const bool haveExpected = expected.isValid();
    const juce::Image::BitmapData want(haveExpected ? expected : actual, juce::Image::BitmapData::readOnly);
    const juce::Colour red(0xffff0000);
    for (int y = 0; y < got.height; ++y)
        for (int x = 0; x < got.width; ++x)
        {
            const juce::Colour pixel = got.getPixelColour(x, y);
            const bool outside = !haveExpected || x >= want.width || y >= want.height;
            if (outside || differs(want.getPixelColour(x, y), pixel))
                out.setPixelColour(x, y, red);
            else
                out.setPixelColour(x, y, pixel.withMultipliedBrightness(0.35f).withAlpha(1.0f));
        }
    return picture;
}
