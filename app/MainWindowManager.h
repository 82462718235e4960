#pragma once

#include "app/MainWindow.h"
#include "ui/AboutWindow.h"

// The main windows in creation order, the tool windows (at most one of each), and the rules for
// which window is current and what closing one does.
class MainWindowManager
{
public:
    struct Services
    {
        juce::MenuBarModel* menuModel = nullptr;
        juce::ApplicationCommandManager* commandManager = nullptr;
        ProgramSender* sender = nullptr;
        std::function<void()> quit;
    };

    MainWindowManager() = default;
    ~MainWindowManager();

    void setServices(const Services& newServices) { services = newServices; }

    MainWindow* newWindow();
    // Opens a program file in a new window; reports a missing or malformed file and opens nothing.
    MainWindow* openFile(const juce::File& file);
    // Loads a program file into the current window, or a new one. A file that cannot be loaded is
    // reported, and there is still a window afterwards.
    void openFileInCurrentWindow(const juce::File& file);
    MainWindow* getCurrentWindow();
    MainWindow* createWindow();

    // The close rule: the last window quits the application, any other is closed.
    void closeWindow(MainWindow& window);
    void deleteWindow(MainWindow& window);
    void deleteAllWindows();

    void sendToHardware(int programNumber);
    void getFromHardware(int programNumber);

    void showAbout();

    const juce::OwnedArray<MainWindow>& getWindows() const { return windows; }
    int getWindowCounter() const { return windowCounter; }

    int windowCounter = 0;
    juce::OwnedArray<MainWindow> windows;
    std::unique_ptr<juce::Component> autoPopWindow;
    std::unique_ptr<juce::Component> deviceWindow;
    std::unique_ptr<AboutWindow> aboutWindow;

private:
    void showWindow(MainWindow& window, const juce::String& title);

    Services services;

    JUCE_DECLARE_NON_COPYABLE(MainWindowManager)
};
