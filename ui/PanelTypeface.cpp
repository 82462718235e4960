#include "ui/PanelTypeface.h"

#include "BinaryData.h"

namespace
{
// Released with the framework's other singletons, before its leak check counts the glyphs.
struct Faces : juce::DeletedAtShutdown
{
    ~Faces() override { clearSingletonInstance(); }

    juce::Typeface::Ptr regular =
        make(BinaryData::LiberationSansRegular_ttf, BinaryData::LiberationSansRegular_ttfSize);
    juce::Typeface::Ptr bold =
        make(BinaryData::LiberationSansBold_ttf, BinaryData::LiberationSansBold_ttfSize);

    static juce::Typeface::Ptr make(const char* data, int size)
    {
        return juce::Typeface::createSystemTypefaceFor(data, static_cast<size_t>(size));
    }

    JUCE_DECLARE_SINGLETON_SINGLETHREADED_MINIMAL(Faces)
};

JUCE_IMPLEMENT_SINGLETON(Faces)
} // namespace

juce::Typeface::Ptr PanelTypeface::regular()
{
    return Faces::getInstance()->regular;
}

juce::Typeface::Ptr PanelTypeface::bold()
{
    return Faces::getInstance()->bold;
}

juce::Typeface::Ptr PanelTypeface::forStyle(const juce::String& style)
{
    return style.containsIgnoreCase("bold") || style.containsIgnoreCase("heavy") ||
                   style.containsIgnoreCase("black")
               ? bold()
               : regular();
}

juce::Font PanelTypeface::font(float height, int styleFlags)
{
    juce::Font face((styleFlags & juce::Font::bold) != 0 ? bold() : regular());
    face.setHeight(height);
    return face;
}

void PanelTypeface::skipSystemFontScan()
{
#if JUCE_LINUX || JUCE_BSD
    // JUCE reads its font folders from this variable before fonts.conf; a folder that does not exist
    // gives it nothing to open.
    if (juce::SystemStats::getEnvironmentVariable("JUCE_FONT_PATH", {}).isEmpty())
        setenv("JUCE_FONT_PATH", "/nonexistent/velkor-editor-uses-its-own-face", 1);
#endif
}
