#include "ui/PanelTypeface.h"

#include "BinaryData.h"

namespace
{
// Released with the framework's other singletons, before its leak check counts the glyphs.
struct Faces : juce::DeletedAtShutdown
{
    ~Faces() override { clearSingletonInstance(); }

    juce::Typeface::Ptr regular, bold;

    // The framework's own glyph format, not the system's font engine: the same outlines everywhere.
    static juce::Typeface::Ptr make(const char* data, int size)
    {
        juce::MemoryInputStream stream(data, static_cast<size_t>(size), false);
        return new juce::CustomTypeface(stream);
    }

    JUCE_DECLARE_SINGLETON_SINGLETHREADED_MINIMAL(Faces)
};

JUCE_IMPLEMENT_SINGLETON(Faces)
} // namespace

juce::Typeface::Ptr PanelTypeface::regular()
{
    auto& face = Faces::getInstance()->regular;
    if (face == nullptr)
        face = Faces::make(BinaryData::PanelSansRegular_face, BinaryData::PanelSansRegular_faceSize);
    return face;
}

juce::Typeface::Ptr PanelTypeface::bold()
{
    auto& face = Faces::getInstance()->bold;
    if (face == nullptr)
        face = Faces::make(BinaryData::PanelSansBold_face, BinaryData::PanelSansBold_faceSize);
    return face;
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
