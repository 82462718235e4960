#include "app/MainWindowManager.h"

#include "model/ProgramFile.h"
#include "model/fileFormatException.h"
#include "ui/UserMessage.h"

namespace
{
constexpr const char* applicationName = "Velkor Editor";
}

MainWindowManager::~MainWindowManager()
{
    deleteAllWindows();
    autoPopWindow.reset();
    deviceWindow.reset();
    aboutWindow.reset();
}

MainWindow* MainWindowManager::createWindow()
{
    const int n = windowCounter;
    MainWindow::Services windowServices{services.menuModel, services.commandManager, services.sender,
                                        [this](MainWindow& w)
                                        {
                                            closeWindow(w);
                                        }};
    auto* window = windows.add(std::make_unique<MainWindow>(15 * n, 15 * n + 45, windowServices));
    ++windowCounter;
    return window;
}

void MainWindowManager::showWindow(MainWindow& window, const juce::String& title)
{
    window.setName(juce::String(applicationName) + " - " + title);
    window.addToDesktop();
    window.setVisible(true);
}

MainWindow* MainWindowManager::newWindow()
{
    MainWindow* window = createWindow();
    const juce::String title = "Untitled" + juce::String(windowCounter);
    window->getController().resetToDefaults();
    showWindow(*window, title);
    return window;
}

MainWindow* MainWindowManager::openFile(const juce::File& file)
{
    if (!file.existsAsFile())
    {
        UserMessage::show("File does not exist");
        return nullptr;
    }
    ProgramValues values;
    try
    {
        values = readProgramFile(file);
    }
    catch (const fileFormatException& e)
    {
        UserMessage::show(e.what());
        return nullptr;
    }
    MainWindow* window = createWindow();
    window->getController().applyProgramValues(values, false);
    window->setFilePath(file.getFullPathName());
    showWindow(*window, file.getFileName());
    return window;
}

void MainWindowManager::openFileInCurrentWindow(const juce::File& file)
{
    if (windows.isEmpty())
    {
        if (openFile(file) == nullptr)
            newWindow();
        return;
    }
    if (!file.existsAsFile())
    {
        UserMessage::show("File does not exist");
        return;
    }
    ProgramValues values;
    try
    {
        values = readProgramFile(file);
    }
    catch (const fileFormatException& e)
    {
        UserMessage::show(e.what());
        return;
    }
    if (MainWindow* window = getCurrentWindow())
    {
        window->getController().applyProgramValues(values, false);
        window->setName(juce::String(applicationName) + " - " + file.getFileName());
        window->setFilePath(file.getFullPathName());
    }
}

MainWindow* MainWindowManager::getCurrentWindow()
{
    for (auto* window : windows)
        if (window->isActiveWindow())
            return window;
    if (windows.isEmpty())
        return nullptr;
    MainWindow* newest = windows.getLast();
    newest->toFront(true);
    return newest;
}

void MainWindowManager::closeWindow(MainWindow& window)
{
    if (windows.size() == 1)
    {
        if (services.quit)
            services.quit();
        return;
    }
    deleteWindow(window);
}

void MainWindowManager::deleteWindow(MainWindow& window)
{
    windows.removeObject(&window, true);
}

void MainWindowManager::deleteAllWindows()
{
    windows.clear(true);
}

void MainWindowManager::sendToHardware(int programNumber)
{
    if (MainWindow* window = getCurrentWindow())
        window->getController().sendProgram(programNumber);
}

void MainWindowManager::getFromHardware(int programNumber)
{
    if (MainWindow* window = getCurrentWindow())
        window->getController().requestProgram(programNumber);
}

void MainWindowManager::showAbout()
{
    if (aboutWindow == nullptr)
        aboutWindow = std::make_unique<AboutWindow>([this] { aboutWindow.reset(); });
}
