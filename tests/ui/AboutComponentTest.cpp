#include "ui/AboutComponent.h"

#include <gtest/gtest.h>

// The default sans-serif is whatever the system picks; these are the faces it may be, widest included.
TEST(AboutComponent, NoticeLinesFitTheirBoxesInEveryLikelyFace)
{
    const juce::StringArray installed = juce::Font::findAllTypefaceNames();
    std::vector<juce::Font> faces{AboutComponent::noticeFont()};
    for (const char* family : {"DejaVu Sans", "Liberation Sans", "Nimbus Sans", "Helvetica", "Arial",
                               "Verdana", "Tahoma", "Segoe UI"})
        if (installed.contains(family, true))
            faces.emplace_back(family, AboutComponent::noticeFont().getHeight(), juce::Font::plain);
#if !JUCE_WINDOWS
    ASSERT_GE(faces.size(), 2u) << "no known sans-serif face is installed";
#endif

    for (const auto& face : faces)
    {
        SCOPED_TRACE(face.getTypefaceName().toStdString());
        EXPECT_LE(face.getStringWidthFloat(juce::String::fromUTF8(AboutComponent::firstNoticeLine)),
                  float(AboutComponent::firstNoticeWidth));
        EXPECT_LE(face.getStringWidthFloat(juce::String::fromUTF8(AboutComponent::secondNoticeLine)),
                  float(AboutComponent::secondNoticeWidth));
    }
}
