#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

// The product picture with the version and two notice lines; a click on it dismisses it.
class AboutComponent : public juce::Component
{
public:
    static constexpr const char* firstNoticeLine = "Copyright 2026 Harvane Professional";
    static constexpr const char* secondNoticeLine =
        "Free software under the GNU GPL version 3, without any warranty";

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
