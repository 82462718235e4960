#include "ui/PanelPicture.h"

#include "BinaryData.h"

namespace
{
const juce::Identifier doubleKey("velkor2x");

// Kept in the 1x picture's properties: how to make its 2x picture, and the picture once made.
struct DoublePicture : juce::ReferenceCountedObject
{
    explicit DoublePicture(std::function<juce::Image()> makeIt) : make(std::move(makeIt)) {}

    juce::Image get()
    {
        if (!made)
        {
            picture = make();
            made = true;
        }
        return picture;
    }

    std::function<juce::Image()> make;
    juce::Image picture;
    bool made = false;
};

DoublePicture* doubleOf(const juce::Image& picture)
{
    const auto* properties = picture.getProperties();
    if (properties == nullptr)
        return nullptr;
    return dynamic_cast<DoublePicture*>((*properties)[doubleKey].getObject());
}

void attachDouble(const juce::Image& picture, std::function<juce::Image()> make)
{
    if (auto* properties = picture.getProperties(); properties != nullptr && !properties->contains(doubleKey))
        properties->set(doubleKey, new DoublePicture(std::move(make)));
}

juce::Image decode(const juce::String& resource)
{
    int size = 0;
    const char* data = BinaryData::getNamedResource(resource.toRawUTF8(), size);
    return data == nullptr ? juce::Image() : juce::ImageCache::getFromMemory(data, size);
}
} // namespace

juce::Image PanelPicture::load(const char* name)
{
    const juce::Image picture = decode(juce::String(name) + "_png");
    // The cache hands every caller the same picture: the first to load it attaches the 2x.
    const juce::String twice = juce::String(name) + "_2x_png";
    attachDouble(picture, [twice] { return decode(twice); });
    return picture;
}

juce::Image PanelPicture::derive(const juce::Image& source,
                                 const std::function<juce::Image(const juce::Image&)>& make)
{
    const juce::Image picture = make(source);
    attachDouble(picture,
                 [source, make]
                 {
                     auto* twice = doubleOf(source);
                     const juce::Image sourceTwice = twice == nullptr ? juce::Image() : twice->get();
                     return sourceTwice.isValid() ? make(sourceTwice) : juce::Image();
                 });
    return picture;
}

juce::Image PanelPicture::forScale(const juce::Image& picture, float scale)
{
    if (scale > 1.0f)
        if (auto* twice = doubleOf(picture))
            if (const juce::Image sharp = twice->get(); sharp.isValid())
                return sharp;
    return picture;
}

float PanelPicture::scaleOf(juce::Graphics& g)
{
    return g.getInternalContext().getPhysicalPixelScaleFactor();
}

void PanelPicture::draw(juce::Graphics& g, const juce::Image& picture, juce::Rectangle<float> area,
                        juce::RectanglePlacement placement)
{
    if (!picture.isValid())
        return;
    const juce::Image drawn = forScale(picture, scaleOf(g));
    g.drawImageTransformed(drawn, placement.getTransformToFit(drawn.getBounds().toFloat(), area));
}
