// The least a JUCE application with the editor's windows costs: empty 1200 x 750 windows with a native
// title bar, placed as the editor places its own, and Ctrl+N for another. Start-up time and memory of
// the editor are read against this. With --menu-bar each window also has a menu bar of six empty
// menus: the first text the framework measures makes it read every installed font, and this shows
// what that costs on its own.
#include <juce_gui_basics/juce_gui_basics.h>

namespace
{
struct EmptyMenus : juce::MenuBarModel
{
    juce::StringArray getMenuBarNames() override
    {
        return {"File", "Edit", "Tools", "Options", "Window", "Help"};
    }
    juce::PopupMenu getMenuForIndex(int, const juce::String&) override { return {}; }
    void menuItemSelected(int, int) override {}
};

class FloorWindow : public juce::DocumentWindow
{
public:
    FloorWindow(int index, juce::MenuBarModel* menus, std::function<void()> newWindow,
                std::function<void(FloorWindow&)> close)
        : juce::DocumentWindow("Velkor Floor - " + juce::String(index + 1), juce::Colour(0xff999999),
                               minimiseButton | closeButton, false),
          openAnother(std::move(newWindow)), closeMe(std::move(close))
    {
        setMenuBar(menus);
        setUsingNativeTitleBar(true);
        setResizable(false, false);
        auto* content = new juce::Component();
        content->setSize(1200, 750);
        setContentOwned(content, false);
        setBounds(15 * index, 15 * index + 45, 1200, 750);
        addToDesktop();
        setVisible(true);
    }

    bool keyPressed(const juce::KeyPress& key) override
    {
        if (key == juce::KeyPress('n', juce::ModifierKeys::commandModifier, 0))
        {
            openAnother();
            return true;
        }
        return juce::DocumentWindow::keyPressed(key);
    }

    ~FloorWindow() override { setMenuBar(nullptr); }

    void closeButtonPressed() override { closeMe(*this); }

private:
    std::function<void()> openAnother;
    std::function<void(FloorWindow&)> closeMe;
};

class FloorApplication : public juce::JUCEApplication
{
public:
    const juce::String getApplicationName() override { return "Velkor Floor"; }
    const juce::String getApplicationVersion() override { return "1.0"; }
    bool moreThanOneInstanceAllowed() override { return true; }

    void initialise(const juce::String& commandLine) override
    {
        if (commandLine.contains("--menu-bar"))
            menus = std::make_unique<EmptyMenus>();
        openWindow();
    }
    void shutdown() override
    {
        windows.clear();
        menus.reset();
    }

private:
    void openWindow()
    {
        windows.add(std::make_unique<FloorWindow>(
            counter++, menus.get(), [this] { openWindow(); },
            [this](FloorWindow& w)
            {
                if (windows.size() == 1)
                    quit();
                else
                    windows.removeObject(&w);
            }));
    }

    std::unique_ptr<EmptyMenus> menus;
    juce::OwnedArray<FloorWindow> windows;
    int counter = 0;
};
} // namespace

START_JUCE_APPLICATION(FloorApplication)
