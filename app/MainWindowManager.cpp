#include "app/MainWindowManager.h"

#include "midi/ProgramMessages.h"
#include "model/ProgramChoices.h"
#include "model/ProgramFile.h"
#include "model/SysExFile.h"
#include "model/fileFormatException.h"
#include "model/midiFormatException.h"
#include "ui/UserMessage.h"

#include <algorithm>
#include <mutex>

namespace
{
constexpr const char* applicationName = "Velkor Editor";
// Beyond this many dumps waiting for the message thread, a flood is dropped rather than queued.
constexpr std::size_t maxPendingDumps = 64;
} // namespace

struct MainWindowManager::DumpQueue
{
    std::mutex mutex;
    std::vector<std::optional<ProgramValues>> waiting; // an empty entry is a dump that failed to decode
    bool drainPosted = false;
    MainWindowManager* owner = nullptr; // touched only on the message thread
};

MainWindowManager::MainWindowManager() : dumps(std::make_shared<DumpQueue>())
{
    dumps->owner = this;
}

MainWindowManager::~MainWindowManager()
{
    deleteAllWindows();
    autoPopWindow.reset();
    deviceWindow.reset();
    aboutWindow.reset();
    librarianWindow.reset();
    setMidiMonitor(nullptr);
    if (midiInput != nullptr)
        midiInput->stop();
    midiInput.reset();
    dumps->owner = nullptr;
}

MainWindow* MainWindowManager::createWindow()
{
    const int n = windowCounter;
    MainWindow::Services windowServices{services.menuModel, services.commandManager, services.sender,
                                        [this](MainWindow& w) { closeWindow(w); },
                                        [this](MainWindow& w) { lastActiveWindow = &w; }};
    auto* window = windows.add(std::make_unique<MainWindow>(15 * n, 15 * n + 45, windowServices));
    ++windowCounter;
    return window;
}

void MainWindowManager::showWindow(MainWindow& window, const juce::String& title)
{
    window.setName(juce::String(applicationName) + " - " + title);
    // The program a window starts with is where its undo history begins.
    window.getController().startHistory();
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

std::optional<ProgramValues> MainWindowManager::readForOpening(const juce::File& file, juce::String& fault)
{
    if (!file.existsAsFile())
    {
        fault = "File does not exist";
        return std::nullopt;
    }
    try
    {
        return readProgramFile(file);
    }
    catch (const fileFormatException& e)
    {
        fault = e.what();
        return std::nullopt;
    }
}

MainWindow* MainWindowManager::showFile(const juce::File& file, const ProgramValues& values)
{
    MainWindow* window = createWindow();
    window->getController().applyProgramValues(values, false);
    window->setFilePath(file.getFullPathName());
    showWindow(*window, file.getFileName());
    return window;
}

MainWindow* MainWindowManager::openFile(const juce::File& file)
{
    juce::String fault;
    const auto values = readForOpening(file, fault);
    if (!values)
    {
        UserMessage::show(fault);
        return nullptr;
    }
    return showFile(file, *values);
}

juce::Array<MainWindow*> MainWindowManager::importFile(const juce::File& file)
{
    juce::String problem;
    const auto contents = SysExFile::read(file, problem);
    if (!contents)
    {
        UserMessage::show("Error Importing file\n" + file.getFullPathName() + "\n" + problem);
        return {};
    }
    // A capture may hold hundreds of programs: more windows than a bank fills are asked about first.
    const auto count = contents->programs.size();
    if (count > static_cast<std::size_t>(ProgramSysEx::highestProgramNumber + 1))
    {
        UserMessage::confirm("\"" + file.getFileName() + "\" holds " + juce::String(count) +
                                 " programs.\n\nDo you want to open a window for each?",
                             "Open", "Cancel",
                             [queue = dumps, file, contents](bool open)
                             {
                                 if (open && queue->owner != nullptr)
                                     queue->owner->openPrograms(file, *contents);
                             });
        return {};
    }
    return openPrograms(file, *contents);
}

juce::Array<MainWindow*> MainWindowManager::openPrograms(const juce::File& file,
                                                         const SysExFile::Contents& contents)
{
    juce::Array<MainWindow*> opened;
    for (const auto& program : contents.programs)
    {
        const int number = program.programNumber;
        juce::String slot = ProgramChoices::programName(number);
        // Two messages for one slot are told apart by their place in the file.
        if (std::count_if(contents.programs.begin(), contents.programs.end(),
                          [number](const SysExFile::Program& p) { return p.programNumber == number; }) > 1)
            slot << " (message " << program.messageNumber << ")";
        MainWindow* window = createWindow();
        window->getController().applyProgramValues(program.values, false);
        // The window does not take the file: its Save must never put one program over a bank.
        showWindow(*window, file.getFileName() + " - " + slot);
        opened.add(window);
    }
    return opened;
}

void MainWindowManager::openFileInCurrentWindow(const juce::File& file)
{
    if (windows.isEmpty())
    {
        if (openFile(file) == nullptr)
            newWindow();
        return;
    }
    juce::String fault;
    const auto values = readForOpening(file, fault);
    if (!values)
    {
        UserMessage::show(fault);
        return;
    }
    if (MainWindow* window = getCurrentWindow())
    {
        window->getController().applyProgramValues(*values, false);
        window->setName(juce::String(applicationName) + " - " + file.getFileName());
        window->setFilePath(file.getFullPathName());
    }
}

void MainWindowManager::openLaunchFiles(const juce::Array<juce::File>& files)
{
    juce::StringArray faults;
    for (const auto& file : files)
    {
        juce::String fault;
        if (const auto values = readForOpening(file, fault))
            showFile(file, *values);
        else
            faults.add(files.size() == 1 ? fault : file.getFullPathName() + ": " + fault);
    }
    if (windows.isEmpty())
        newWindow();
    // Shown last, so that no window opened meanwhile covers it.
    if (faults.size() > 1)
        UserMessage::show(juce::String(faults.size()) + " files could not be opened:\n\n" +
                          faults.joinIntoString("\n"));
    else if (!faults.isEmpty())
        UserMessage::show(faults[0]);
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

MainWindow* MainWindowManager::getWorkingWindow() const
{
    for (auto* window : windows)
        if (window->isActiveWindow())
            return window;
    if (lastActiveWindow != nullptr && windows.contains(lastActiveWindow.getComponent()))
        return lastActiveWindow.getComponent();
    return windows.getLast();
}

MainWindow* MainWindowManager::newWindowWith(const ProgramValues& values)
{
    MainWindow* window = createWindow();
    window->getController().applyProgramValues(values, false);
    showWindow(*window, "Untitled" + juce::String(windowCounter));
    return window;
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

void MainWindowManager::setMidiMonitor(std::shared_ptr<MidiMonitor> newMonitor)
{
    const std::lock_guard<std::mutex> lock(monitorLock);
    monitor = std::move(newMonitor);
    monitoredInputName = midiInputName;
    monitored = monitor != nullptr;
}

void MainWindowManager::messageSending(const juce::MidiMessage& message)
{
    if (!monitored.load(std::memory_order_relaxed))
        return;
    std::shared_ptr<MidiMonitor> current;
    {
        const std::lock_guard<std::mutex> lock(monitorLock);
        current = monitor;
    }
    if (current != nullptr)
        current->messageSending(midiOutputName, message);
}

void MainWindowManager::handleIncomingMidiMessage(juce::MidiInput*, const juce::MidiMessage& message)
{
    if (monitored.load(std::memory_order_relaxed))
    {
        std::shared_ptr<MidiMonitor> current;
        juce::String port;
        {
            const std::lock_guard<std::mutex> lock(monitorLock);
            current = monitor;
            port = monitoredInputName;
        }
        if (current != nullptr)
            current->messageReceived(port, message);
    }

    if (!message.isSysEx() || message.getSysExDataSize() != ProgramSysEx::dataSize ||
        getSysExCommand(message) != ProgramSysEx::programDumpCommand)
        return;

    std::optional<ProgramValues> values;
    try
    {
        values = decodeProgramSysEx(message);
    }
    catch (const midiFormatException&)
    {
    }

    // One posted callback drains everything that arrived meanwhile, so a flood cannot starve the
    // message loop, and the queue is bounded.
    const std::lock_guard<std::mutex> lock(dumps->mutex);
    if (dumps->waiting.size() >= maxPendingDumps)
        return;
    dumps->waiting.push_back(std::move(values));
    if (dumps->drainPosted)
        return;
    dumps->drainPosted = true;
    juce::MessageManager::callAsync(
        [queue = dumps]
        {
            std::vector<std::optional<ProgramValues>> arrived;
            {
                const std::lock_guard<std::mutex> drainLock(queue->mutex);
                arrived.swap(queue->waiting);
                queue->drainPosted = false;
            }
            for (const auto& dump : arrived)
            {
                if (queue->owner == nullptr)
                    return;
                if (dump)
                    queue->owner->offerDump(*dump);
                else
                    queue->owner->reportBadDump();
            }
        });
}

void MainWindowManager::offerDump(const ProgramValues& values)
{
    for (int i = 0; i < windows.size(); ++i)
        windows[i]->getController().applyProgramValues(values, true);
}

void MainWindowManager::reportBadDump()
{
    for (auto* window : windows)
        if (window->getController().isAwaitingReply())
        {
            UserMessage::showUnlessShowing(midiFormatException().what());
            return;
        }
}

void MainWindowManager::setMidiInput(const juce::String& name)
{
    if (services.devices == nullptr)
        return;
    const juce::StringArray names = services.devices->getInputNames();
    for (int index = 0; index < names.size(); ++index)
    {
        if (names[index] != name)
            continue;
        if (midiInput != nullptr)
            midiInput->stop();
        midiInput.reset();
        midiInput = services.devices->openInput(index, name, this);
        if (midiInput == nullptr)
        {
            UserMessage::show("Unable to open the MIDI input \"" + name + "\"");
            continue;
        }
        midiInput->start();
        midiInputName = name;
        const std::lock_guard<std::mutex> lock(monitorLock);
        monitoredInputName = name;
    }
}

void MainWindowManager::setMidiOutput(const juce::String& name)
{
    if (services.devices == nullptr)
        return;
    const juce::StringArray names = services.devices->getOutputNames();
    for (int index = 0; index < names.size(); ++index)
    {
        if (names[index] != name)
            continue;
        auto output = services.devices->openOutput(index, name);
        midiOutputName = output != nullptr ? name : juce::String();
        if (output == nullptr)
            UserMessage::show("Unable to open the MIDI output \"" + name + "\"");
        if (services.useOutput)
            services.useOutput(std::move(output));
    }
}

juce::StringArray MainWindowManager::getMidiInputNames()
{
    return services.devices != nullptr ? services.devices->getInputNames() : juce::StringArray();
}

juce::StringArray MainWindowManager::getMidiOutputNames()
{
    return services.devices != nullptr ? services.devices->getOutputNames() : juce::StringArray();
}

void MainWindowManager::applyDeviceNames(juce::StringArray inputNames, juce::StringArray outputNames)
{
    for (const auto& name : inputNames)
        setMidiInput(name);
    for (const auto& name : outputNames)
        setMidiOutput(name);
}

void MainWindowManager::closeDeviceSetup()
{
    // Called from the window's own buttons: delete it once their callbacks have returned.
    juce::MessageManager::callAsync(
        [queue = dumps]
        {
            if (queue->owner != nullptr)
                queue->owner->deviceWindow.reset();
        });
}
