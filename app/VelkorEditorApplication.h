#pragma once

#include "app/MainMenuModel.h"
#include "app/MainWindowManager.h"
#include "app/RepaintPump.h"
#include "model/ProgramClipboard.h"
#include "ui/PanelLook.h"

#include <juce_audio_devices/juce_audio_devices.h>

// The framework's application class is already a command target: this object is the only one.
class VelkorEditorApplication : public juce::JUCEApplication, public ProgramSender
{
public:
    static constexpr const char* applicationName = "Velkor Editor";
    static constexpr const char* applicationVersion = "1.0.5";

    VelkorEditorApplication();
    ~VelkorEditorApplication() override;

    const juce::String getApplicationName() override { return applicationName; }
    const juce::String getApplicationVersion() override { return applicationVersion; }
    bool moreThanOneInstanceAllowed() override { return true; }
    // Reads the program's own argument array: the joined command line loses tabs, newlines and quotes.
    void initialise(const juce::String& commandLine) override;
    // Arguments starting with "-" are ignored (all of them when the first does), except "--simulator"
    // anywhere; each other one names a file to open.
    void initialiseWithArguments(juce::StringArray arguments);
    void shutdown() override;
    void anotherInstanceStarted(const juce::String& commandLine) override;
    void systemRequestedQuit() override;
    void suspended() override {}
    void resumed() override {}

    juce::ApplicationCommandTarget* getNextCommandTarget() override { return nullptr; }
    void getAllCommands(juce::Array<juce::CommandID>& commands) override;
    void getCommandInfo(juce::CommandID commandID, juce::ApplicationCommandInfo& result) override;
    bool perform(const InvocationInfo& info) override;

    bool sendToController(const juce::MidiMessage& message) override;
    void showDeviceSetup() override;
    juce::String getMidiInputName() override { return windowManager.getMidiInputName(); }

    void openProgram();
    void saveProgram();
    void saveProgramAs();
    // Undo and Redo are active only when the current window has a step to take, and say which.
    void describeUndoStep(juce::CommandID id, juce::ApplicationCommandInfo& info);
    // Undo (or Redo) in the window's program; a number still being typed is taken back first.
    static void undoOrRedo(juce::CommandID id, MainWindow* window);
    // The main window that a tool window (Auto Populate, Librarian) writes into and compares with.
    MainWindow* windowOfTool(const juce::Component* tool);
    void openUserGuide();
    void showAutoPopulate();
    // One Librarian at most: Escape only hides it, so the same one comes back with its rows and log.
    void showLibrarian();
    void copyProgram();
    void paste(int kind);
    bool allWindowsMinimised() const;

    // The write behind Save and Save As: reports a failure, and on success makes the file the window's.
    bool saveWindowTo(MainWindow& window, const juce::File& file);
    // What Save As does with the name chosen: ".vkr" added when it has no extension, and a question
    // before replacing a file the chooser did not ask about.
    void saveChosenFile(juce::Component::SafePointer<MainWindow> window, const juce::File& chosen);

    // Import SysEx: every program of the file chosen opens in a window of its own.
    void importSysEx();
    // Export SysEx: the current window's program as a SysEx file of one write message, as a program
    // file holds it.
    void exportSysEx();
    // What Export SysEx does with the name chosen: as Save As, with ".syx".
    void exportChosenFile(juce::Component::SafePointer<MainWindow> window, const juce::File& chosen);
    // The write behind Export SysEx: reports a failure as a save does; the window keeps its file.
    bool exportWindowTo(MainWindow& window, const juce::File& file);

    static juce::File userGuideFile();

    MainWindowManager& getWindowManager() { return windowManager; }
    juce::ApplicationCommandManager* getCommandManager() { return commandManager.get(); }
    MainMenuModel* getMenuModel() { return menuModel.get(); }
    ProgramClipboard* getClipboard() { return clipboard.get(); }
    juce::String getLastFilePath() const { return lastFilePath; }

    // What a quit request does; the framework's quit by default. Tests replace it.
    std::function<void()> quitAction;

    // The option that adds the simulated controller to the device lists.
    static constexpr const char* simulatorOption = "--simulator";
    // The devices the editor uses; before initialise, tests may put their own in place.
    void setDevices(std::unique_ptr<MidiDeviceSeam> newDevices) { devices = std::move(newDevices); }
    MidiDeviceSeam* getDevices() { return devices.get(); }
    bool hasMidiOutput() const { return midiOutput != nullptr; }

private:
    // Open and Import SysEx: an open dialog, then the file chosen read into windows.
    void chooseFileToRead(const juce::String& title, const juce::String& wildcard,
                          std::function<void(const juce::File&)> read);
    // Save As and Export SysEx: typing committed, then a save dialog for the current window.
    void chooseFileToWrite(
        const juce::String& title, const char* wildcard,
        std::function<void(juce::Component::SafePointer<MainWindow>, const juce::File&)> chosen);
    // The name chosen in a save dialog, with the extension added when it has none, and a question
    // before replacing a file the chooser did not ask about; then the write into the window asked from.
    void writeChosenFile(juce::Component::SafePointer<MainWindow> target, const juce::File& chosen,
                         const char* extension,
                         bool (VelkorEditorApplication::*writeTo)(MainWindow&, const juce::File&));

    // The desktop default whenever no editor is open, so every text has the editor's face; outlives
    // the windows.
    PanelLook look;
    std::unique_ptr<MainMenuModel> menuModel;
    juce::String lastFilePath;
    // Outlives the window manager, whose input port it opened.
    std::unique_ptr<MidiDeviceSeam> devices;
    // The Undo and Redo keys of the tool windows; outlives them too.
    std::unique_ptr<juce::KeyListener> toolUndoKeys;
    MainWindowManager windowManager;
    std::unique_ptr<juce::ApplicationCommandManager> commandManager;
    std::unique_ptr<ProgramClipboard> clipboard;
    std::unique_ptr<MidiOutputPort> midiOutput;
    std::unique_ptr<juce::FileChooser> chooser;
    std::unique_ptr<RepaintPump> repaintPump; // Windows only
};
