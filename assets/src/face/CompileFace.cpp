// Converts a TrueType face into the framework's own glyph format (outlines, advances and kerning of the
// characters the editor can show), so that every system draws the same shapes: on Windows the
// framework would take hinted outlines from GDI, on Linux unhinted ones from FreeType.
// Usage: velkor_compile_face FONT.ttf NAME OUT.face
#include <juce_graphics/juce_graphics.h>

#include <cstdio>

namespace
{
// Latin, Greek and Cyrillic letters, the punctuation and signs a name, a path or a message may hold.
constexpr juce::juce_wchar ranges[][2] = {{0x20, 0x7e},     {0xa0, 0x17f},    {0x192, 0x192},   {0x218, 0x21b},
                                    {0x2c6, 0x2c7},   {0x2d8, 0x2dd},   {0x370, 0x3ff},   {0x400, 0x45f},
                                    {0x490, 0x491},   {0x2010, 0x2027}, {0x2030, 0x203a}, {0x2044, 0x2044},
                                    {0x20ac, 0x20ac}, {0x2116, 0x2116}, {0x2122, 0x2122}, {0x2190, 0x2195},
                                    {0x2212, 0x2212}, {0x2215, 0x2215}, {0x221e, 0x221e}, {0x2264, 0x2265}};

float advance(juce::Typeface& face, const juce::String& text)
{
    juce::Array<int> glyphs;
    juce::Array<float> offsets;
    face.getGlyphPositions(text, glyphs, offsets);
    return offsets.isEmpty() ? 0.0f : offsets.getLast();
}
} // namespace

int main(int argc, char* argv[])
{
    if (argc != 4)
    {
        std::fputs("usage: velkor_compile_face FONT.ttf NAME OUT.face\n", stderr);
        return 2;
    }
    juce::ScopedJuceInitialiser_GUI framework;
    juce::MemoryBlock ttf;
    if (!juce::File(juce::CharPointer_UTF8(argv[1])).loadFileAsData(ttf))
    {
        std::fprintf(stderr, "velkor_compile_face: cannot read %s\n", argv[1]);
        return 1;
    }
    auto source = juce::Typeface::createSystemTypefaceFor(ttf.getData(), ttf.getSize());
    if (source == nullptr || source->getAscent() <= 0.0f)
    {
        std::fprintf(stderr, "velkor_compile_face: %s is not a face\n", argv[1]);
        return 1;
    }

    juce::CustomTypeface face;
    face.setCharacteristics(juce::CharPointer_UTF8(argv[2]), source->getStyle(), source->getAscent(), L' ');
    juce::Array<juce::juce_wchar> characters;
    for (const auto& [first, last] : ranges)
        for (juce::juce_wchar c = first; c <= last; ++c)
        {
            juce::Array<int> glyphs;
            juce::Array<float> offsets;
            const juce::String text = juce::String::charToString(c);
            source->getGlyphPositions(text, glyphs, offsets);
            juce::Path outline;
            if (glyphs.size() != 1 || offsets.size() != 2 || !source->getOutlineForGlyph(glyphs[0], outline))
                continue; // not in the face
            face.addGlyph(c, outline, offsets[1]);
            characters.add(c);
        }
    int pairs = 0;
    for (const auto first : characters)
        for (const auto second : characters)
        {
            const juce::String one = juce::String::charToString(first);
            const float extra = advance(*source, one + juce::String::charToString(second)) - advance(*source, one) -
                                advance(*source, juce::String::charToString(second));
            if (std::abs(extra) > 1.0e-6f)
            {
                face.addKerningPair(first, second, extra);
                ++pairs;
            }
        }

    const juce::File out{juce::String(juce::CharPointer_UTF8(argv[3]))};
    out.deleteFile();
    juce::FileOutputStream stream(out);
    if (!stream.openedOk() || !face.writeToStream(stream))
    {
        std::fprintf(stderr, "velkor_compile_face: cannot write %s\n", argv[3]);
        return 1;
    }
    stream.flush();
    std::printf("%s: %d characters, %d kerning pairs\n", argv[3], characters.size(), pairs);
    return stream.getStatus().wasOk() ? 0 : 1;
}
