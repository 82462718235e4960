#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#if !defined(_WIN32)
#include <dlfcn.h>
#endif

namespace
{
// One JUCE GUI initialisation for the whole test process: widgets and the message loop need it.
class JuceEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { juce = std::make_unique<juce::ScopedJuceInitialiser_GUI>(); }
    void TearDown() override { juce.reset(); }

private:
    std::unique_ptr<juce::ScopedJuceInitialiser_GUI> juce;
};
} // namespace

int main(int argc, char** argv)
{
    // JUCE unloads libX11 at shutdown, and the leak checker then reports what libX11 still held for
    // windows this process put up. Keeping the library loaded leaves real leaks visible.
#if !defined(_WIN32)
    dlopen("libX11.so.6", RTLD_NOW | RTLD_NODELETE);
#endif
    // Run as the application does: only then does JUCE install its X error handlers (and Xlib's
    // threading), and an X error about a window that just went away is not fatal.
    juce::JUCEApplicationBase::createInstance = []
    { return static_cast<juce::JUCEApplicationBase*>(nullptr); };
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new JuceEnvironment);
    return RUN_ALL_TESTS();
}
