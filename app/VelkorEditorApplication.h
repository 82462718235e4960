#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class VelkorEditorApplication : public juce::JUCEApplication
{
public:
    static constexpr const char* applicationName = "Velkor Editor";
    static constexpr const char* applicationVersion = "1.0.5";

    const juce::String getApplicationName() override { return applicationName; }
    const juce::String getApplicationVersion() override { return applicationVersion; }
    bool moreThanOneInstanceAllowed() override { return true; }

    void initialise(const juce::String& commandLine) override;
    void shutdown() override;
    void systemRequestedQuit() override { quit(); }

private:
    std::unique_ptr<juce::DocumentWindow> window;
};
