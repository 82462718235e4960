#include "app/VelkorEditorApplication.h"

#include "ui/EditorComponent.h"

namespace
{
class StartWindow : public juce::DocumentWindow
{
public:
    StartWindow()
        : DocumentWindow(juce::String(VelkorEditorApplication::applicationName) + " - Untitled1",
                         juce::Colour(0xff999999), minimiseButton | closeButton)
    {
        setUsingNativeTitleBar(true);
        setResizable(false, false);
        setContentOwned(new EditorComponent(), false);
        setTopLeftPosition(0, 45);
        setSize(1200, 750);
    }

    void closeButtonPressed() override { juce::JUCEApplication::getInstance()->systemRequestedQuit(); }
};
} // namespace

void VelkorEditorApplication::initialise(const juce::String&)
{
    window = std::make_unique<StartWindow>();
    window->setVisible(true);
}

void VelkorEditorApplication::shutdown()
{
    window.reset();
}
