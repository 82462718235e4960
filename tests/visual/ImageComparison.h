#pragma once

#include <juce_graphics/juce_graphics.h>

// Two renderings of one panel, pixel by pixel. A pixel differs when one of its channels (alpha
// included) is off by more than the tolerance: renders on one machine match exactly, and the tolerance
// only absorbs anti-aliasing noise.
class ImageComparison
{
public:
    ImageComparison(const juce::Image& expected, const juce::Image& actual, int channelTolerance);

    bool sizesMatch() const { return sameSize; }
    // Both are 0 when the sizes differ: nothing is compared then.
    int getDifferingPixels() const { return differingPixels; }
    int getLargestChannelDifference() const { return largestChannelDifference; }
    juce::Rectangle<int> getDifferingArea() const { return differingArea; }

    // The actual picture dimmed, with every differing pixel in pure red; where the sizes differ, the
    // pixels outside the expected picture count as differing.
    juce::Image makeDifferencePicture() const;

private:
    bool differs(juce::Colour a, juce::Colour b) const;

    juce::Image expected, actual;
    int tolerance;
    bool sameSize;
    int differingPixels = 0;
    int largestChannelDifference = 0;
    juce::Rectangle<int> differingArea;
};
