#pragma once

#include "app/MainWindow.h"
#include "midi/MidiDeviceLink.h"
#include "midi/MidiDeviceSeam.h"
#include "midi/MidiMonitor.h"

#include <atomic>
#include <mutex>
#include <optional>
#include "ui/AboutWindow.h"

namespace SysExFile
{
struct Contents;
}

// The main windows in creation order, the tool windows (at most one of each), the rules for which
// window is current and what closing one does, and the MIDI input on which program dumps arrive.
class MainWindowManager : public juce::MidiInputCallback, public MidiDeviceLink
{
public:
    struct Services
    {
        juce::MenuBarModel* menuModel = nullptr;
        juce::ApplicationCommandManager* commandManager = nullptr;
        ProgramSender* sender = nullptr;
        std::function<void()> quit;
        MidiDeviceSeam* devices = nullptr;
        // Makes a newly opened output (or none) the application's.
        std::function<void(std::unique_ptr<MidiOutputPort>)> useOutput;
    };

    MainWindowManager();
    ~MainWindowManager() override;

    void setServices(const Services& newServices) { services = newServices; }

    MainWindow* newWindow();
    // Opens a program file in a new window; reports a missing or malformed file and opens nothing.
    MainWindow* openFile(const juce::File& file);
    // Opens every program of a SysEx file in a window of its own, titled with the file and the slot and
    // tied to no file; a file with no program, or with a damaged one, is reported and opens nothing.
    juce::Array<MainWindow*> importFile(const juce::File& file);
    // Loads a program file into the current window, or a new one. A file that cannot be loaded is
    // reported, and there is still a window afterwards.
    void openFileInCurrentWindow(const juce::File& file);
    // The files named at start-up, each in a window of its own. Those that cannot be opened are
    // reported together, after the others are open; with none opened, one empty window.
    void openLaunchFiles(const juce::Array<juce::File>& files);
    MainWindow* getCurrentWindow();
    // The window a tool compares with: the active main window, else the one last active, else the
    // newest. Unlike getCurrentWindow it raises nothing, so a tool keeps the focus.
    MainWindow* getWorkingWindow() const;
    // A new window holding a program that comes from neither a file nor the defaults.
    MainWindow* newWindowWith(const ProgramValues& values);
    MainWindow* createWindow();

    // The close rule: the last window quits the application, any other is closed.
    void closeWindow(MainWindow& window);
    void deleteWindow(MainWindow& window);
    void deleteAllWindows();

    void sendToHardware(int programNumber);
    void getFromHardware(int programNumber);

    void showAbout();

    // Every message in and out goes to the monitor while one is installed; null removes it. With none,
    // the input thread pays one atomic load per message.
    void setMidiMonitor(std::shared_ptr<MidiMonitor> monitor);
    // Called by the application just before a message leaves through its output.
    void messageSending(const juce::MidiMessage& message);
    juce::String getMidiOutputName() const { return midiOutputName; }
    bool hasMidiMonitor() const { return monitored; }

    // Runs on the input device's thread: filters and decodes, then hands the values to the message
    // thread. It never waits on the message thread.
    void handleIncomingMidiMessage(juce::MidiInput* source, const juce::MidiMessage& message) override;
    void handlePartialSysexMessage(juce::MidiInput*, const juce::uint8*, int, double) override {}

    void setMidiInput(const juce::String& name);
    void setMidiOutput(const juce::String& name);
    bool hasMidiInput() const { return midiInput != nullptr; }
    juce::String getMidiInputName() const { return midiInput != nullptr ? midiInputName : juce::String(); }

    juce::StringArray getMidiInputNames() override;
    juce::StringArray getMidiOutputNames() override;
    void applyDeviceNames(juce::StringArray inputNames, juce::StringArray outputNames) override;
    void closeDeviceSetup() override;

    // On the message thread: every window, oldest first, may take the dump.
    void offerDump(const ProgramValues& values);
    void reportBadDump();

    const juce::OwnedArray<MainWindow>& getWindows() const { return windows; }
    int getWindowCounter() const { return windowCounter; }

    int windowCounter = 0;
    juce::OwnedArray<MainWindow> windows;
    std::unique_ptr<juce::Component> autoPopWindow;
    std::unique_ptr<juce::Component> deviceWindow;
    std::unique_ptr<AboutWindow> aboutWindow;
    std::unique_ptr<juce::Component> librarianWindow;
    std::unique_ptr<MidiInputPort> midiInput;
    juce::String midiInputName;
    juce::String midiOutputName;

private:
    void showWindow(MainWindow& window, const juce::String& title);
    // The program in a file, or nothing and the reason Open reports.
    static std::optional<ProgramValues> readForOpening(const juce::File& file, juce::String& fault);
    MainWindow* showFile(const juce::File& file, const ProgramValues& values);
    juce::Array<MainWindow*> openPrograms(const juce::File& file, const SysExFile::Contents& contents);

    Services services;
    // Dumps decoded on the input thread wait here for the message thread. Shared with the posted
    // callbacks, so one that lands after this manager is gone does nothing.
    struct DumpQueue;
    std::shared_ptr<DumpQueue> dumps;

    juce::Component::SafePointer<MainWindow> lastActiveWindow;

    std::atomic<bool> monitored{false};
    std::mutex monitorLock; // guards the two below, which the input thread reads
    std::shared_ptr<MidiMonitor> monitor;
    juce::String monitoredInputName;

    JUCE_DECLARE_NON_COPYABLE(MainWindowManager)
};
