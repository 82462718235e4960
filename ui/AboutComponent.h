#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

// The product picture with the version and two notice lines; a click on it dismisses it.
class AboutComponent : public juce::Component
{
public:
    // UTF-8. Each must fit its box in the widest face the default sans-serif may be.
    static constexpr const char* firstNoticeLine = "\xc2\xa9 2026 Harvane Professional";
    static constexpr const char* secondNoticeLine = "Free software under the GNU GPL v3, with no warranty";
    static constexpr int firstNoticeWidth = 200;
    static constexpr int secondNoticeWidth = 395;
    static juce::Font noticeFont() { return juce::Font(15.0f, juce::Font::plain); }

    AboutComponent();
    ~AboutComponent() override;

    void paint(juce::Graphics& g) override;
    void resized() override;
    void mouseUp(const juce::MouseEvent&) override;

    std::unique_ptr<juce::Label> versionLabel;
    juce::Image aboutImage;
    std::function<void()> onDismiss;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(AboutComponent)
};
