#include "app/VelkorEditorApplication.h"

#include "app/CommandIds.h"
#include "app/DesktopScale.h"
#include "midi/DeviceManagerWindow.h"
#include "midi/JuceMidiDevices.h"
#include "midi/SimulatorMidiDevices.h"
#include "model/ProgramFile.h"
#include "model/SysExFile.h"
#include "tools/AutoPopToolWindow.h"
#include "tools/LibrarianWindow.h"
#include "ui/UserMessage.h"

namespace
{
struct CommandEntry
{
    juce::CommandID id;
    const char* name;
    int key;
    bool shift;
};

// Commands in the order the command manager lists them; key 0 means no default key.
constexpr CommandEntry commandTable[] = {
    {CommandIds::newWindow, "New Window", 'n', false},
    {CommandIds::open, "Open", 'o', false},
    {CommandIds::closeWindow, "Close Window", 'w', false},
    {CommandIds::save, "Save", 's', false},
    {CommandIds::saveAs, "Save As", 0, false},
    {CommandIds::sendProgram1, "Program: 1", 0, false},
    {CommandIds::sendProgram1 + 1, "Program: 2", 0, false},
    {CommandIds::sendProgram1 + 2, "Program: 3", 0, false},
    {CommandIds::sendProgram1 + 3, "Program: 4", 0, false},
    {CommandIds::sendRam, "RAM", 0, false},
    {CommandIds::getProgram1, "Program: 1", 0, false},
    {CommandIds::getProgram1 + 1, "Program: 2", 0, false},
    {CommandIds::getProgram1 + 2, "Program: 3", 0, false},
    {CommandIds::getProgram1 + 3, "Program: 4", 0, false},
    {CommandIds::getRam, "RAM", 0, false},
    {CommandIds::about, "About", 0, false},
    {CommandIds::pasteAll, "All", 'v', true},
    {CommandIds::pastePadBankA, "Pad Bank A", 0, false},
    {CommandIds::pastePadBankB, "Pad Bank B", 0, false},
    {CommandIds::pastePadBanksAB, "Pad Bank A & B", 0, false},
    {CommandIds::pasteKnobs, "Knobs", 0, false},
    {CommandIds::pasteKeyboard, "Keyboard", 0, false},
    {CommandIds::pasteJoystick, "Joystick", 0, false},
    {CommandIds::copyProgram, "Copy Program", 'c', true},
    {CommandIds::autoPopulate, "Auto Populate", 0, false},
    {CommandIds::deviceSetup, "Device Setup", 0, false},
    {CommandIds::minimise, "Minimize", 'm', false},
    {CommandIds::bringAllToFront, "Bring All to Front", 0, false},
    {CommandIds::quit, "Quit", 'q', false},
    {CommandIds::openUserGuide, "Open Userguide", 'h', false},
    {CommandIds::undo, "Undo", 'z', false},
    {CommandIds::redo, "Redo", 'z', true},
    {CommandIds::librarian, "Librarian", 0, false},
    {CommandIds::importSysEx, "Import SysEx...", 0, false},
    {CommandIds::exportSysEx, "Export SysEx...", 0, false},
};

bool isHardwareCommand(juce::CommandID id)
{
    return (id >= CommandIds::sendProgram1 && id <= CommandIds::sendRam) ||
           (id >= CommandIds::getProgram1 && id <= CommandIds::getRam);
}

// Slots 1 to 4 are the first four ids of a group; the fifth is RAM, program number 0.
int programNumberOf(juce::CommandID id, juce::CommandID first)
{
    return id - first < 4 ? id - first + 1 : 0;
}

// Undo and Redo pressed in a tool window act on the main window the tool writes into. Only these two:
// the other commands' keys name the current main window, which a tool is not.
class ToolUndoKeys : public juce::KeyListener
{
public:
    explicit ToolUndoKeys(VelkorEditorApplication& application) : app(application) {}

    bool keyPressed(const juce::KeyPress& key, juce::Component* tool) override
    {
        auto* commands = app.getCommandManager();
        const juce::CommandID id =
            commands != nullptr ? commands->getKeyMappings()->findCommandForKeyPress(key) : 0;
        if (id != CommandIds::undo && id != CommandIds::redo)
            return false;
        VelkorEditorApplication::undoOrRedo(id, app.windowOfTool(tool));
        return true;
    }

private:
    VelkorEditorApplication& app;
};
} // namespace

VelkorEditorApplication::VelkorEditorApplication() : toolUndoKeys(std::make_unique<ToolUndoKeys>(*this))
{
    quitAction = [this] { quit(); };
}

VelkorEditorApplication::~VelkorEditorApplication() = default;

void VelkorEditorApplication::initialise(const juce::String&)
{
    // Here rather than in initialiseWithArguments: tests keep the scale of the display they run on.
    DesktopScale::applyToDesktop();
    initialiseWithArguments(getCommandLineParameterArray());
}

void VelkorEditorApplication::initialiseWithArguments(juce::StringArray arguments)
{
    juce::Desktop::getInstance().setDefaultLookAndFeel(&look);
    EditorComponent::setLookWithoutEditors(&look);
    commandManager = std::make_unique<juce::ApplicationCommandManager>();
    commandManager->registerAllCommandsForTarget(this);
    menuModel = std::make_unique<MainMenuModel>(commandManager.get());
    clipboard = std::make_unique<ProgramClipboard>();
    lastFilePath = "~";
#if JUCE_WINDOWS
    repaintPump = std::make_unique<RepaintPump>();
#endif

    const bool simulated = arguments.contains(simulatorOption);
    arguments.removeString(simulatorOption);
    if (devices == nullptr)
    {
        devices = std::make_unique<JuceMidiDevices>();
        if (simulated)
            devices = std::make_unique<SimulatorMidiDevices>(std::move(devices));
    }

    windowManager.setServices(
        {menuModel.get(), commandManager.get(), this, [this] { systemRequestedQuit(); }, devices.get(),
         [this](std::unique_ptr<MidiOutputPort> output) { midiOutput = std::move(output); }});

    const juce::File folder = juce::File::getCurrentWorkingDirectory();
    if (arguments.isEmpty() || arguments[0].isEmpty() || arguments[0].startsWith("-"))
    {
        windowManager.newWindow();
        return;
    }
    juce::Array<juce::File> files;
    for (const auto& argument : arguments)
        if (argument.isNotEmpty() && !argument.startsWith("-"))
            files.add(folder.getChildFile(argument));
    windowManager.openLaunchFiles(files);
}

void VelkorEditorApplication::shutdown()
{
    windowManager.deleteAllWindows();
    menuModel.reset();
    EditorComponent::setLookWithoutEditors(nullptr);
    if (&juce::Desktop::getInstance().getDefaultLookAndFeel() == &look)
        juce::Desktop::getInstance().setDefaultLookAndFeel(nullptr);
}

void VelkorEditorApplication::anotherInstanceStarted(const juce::String& commandLine)
{
    const juce::File file = juce::File::getCurrentWorkingDirectory().getChildFile(commandLine.unquoted());
    windowManager.openFileInCurrentWindow(file);
}

void VelkorEditorApplication::systemRequestedQuit()
{
    NumberBox::commitPendingEdit();
    if (quitAction)
        quitAction();
}

void VelkorEditorApplication::getAllCommands(juce::Array<juce::CommandID>& commands)
{
    for (const auto& entry : commandTable)
        commands.add(entry.id);
}

void VelkorEditorApplication::getCommandInfo(juce::CommandID commandID, juce::ApplicationCommandInfo& result)
{
    for (const auto& entry : commandTable)
    {
        if (entry.id != commandID)
            continue;
        result.setInfo(entry.name, juce::String(), "General", 0);
        if (entry.key != 0)
            result.addDefaultKeypress(entry.key, juce::ModifierKeys::commandModifier |
                                                     (entry.shift ? juce::ModifierKeys::shiftModifier : 0));
        if (isHardwareCommand(commandID))
            result.setActive(!allWindowsMinimised());
        if (commandID == CommandIds::undo || commandID == CommandIds::redo)
            describeUndoStep(commandID, result);
        return;
    }
}

bool VelkorEditorApplication::perform(const InvocationInfo& info)
{
    const juce::CommandID id = info.commandID;
    if (id >= CommandIds::sendProgram1 && id <= CommandIds::sendRam)
        windowManager.sendToHardware(programNumberOf(id, CommandIds::sendProgram1));
    else if (id >= CommandIds::getProgram1 && id <= CommandIds::getRam)
        windowManager.getFromHardware(programNumberOf(id, CommandIds::getProgram1));
    else if (id >= CommandIds::pasteAll && id <= CommandIds::pasteJoystick)
    {
        const int kinds[] = {ProgramClipboard::all,      ProgramClipboard::padBankA,
                             ProgramClipboard::padBankB, ProgramClipboard::padBanksAB,
                             ProgramClipboard::knobs,    ProgramClipboard::keyboard,
                             ProgramClipboard::joystick};
        paste(kinds[(id - CommandIds::pasteAll) / 0x10]);
    }
    else
        switch (id)
        {
        case CommandIds::newWindow:
            windowManager.newWindow();
            break;
        case CommandIds::open:
            openProgram();
            break;
        case CommandIds::closeWindow:
            if (windowManager.getWindows().size() == 1)
                systemRequestedQuit();
            else if (MainWindow* window = windowManager.getCurrentWindow())
                windowManager.deleteWindow(*window);
            break;
        case CommandIds::save:
            saveProgram();
            break;
        case CommandIds::saveAs:
            saveProgramAs();
            break;
        case CommandIds::importSysEx:
            importSysEx();
            break;
        case CommandIds::exportSysEx:
            exportSysEx();
            break;
        case CommandIds::about:
            windowManager.showAbout();
            break;
        case CommandIds::quit:
            systemRequestedQuit();
            break;
        case CommandIds::copyProgram:
            copyProgram();
            break;
        case CommandIds::autoPopulate:
            showAutoPopulate();
            break;
        case CommandIds::deviceSetup:
            showDeviceSetup();
            break;
        case CommandIds::librarian:
            showLibrarian();
            break;
        case CommandIds::undo:
        case CommandIds::redo:
            undoOrRedo(id, windowManager.getCurrentWindow());
            break;
        case CommandIds::minimise:
            if (MainWindow* window = windowManager.getCurrentWindow())
                window->setMinimised(true);
            break;
        case CommandIds::bringAllToFront:
            for (auto* window : windowManager.getWindows())
            {
                window->setMinimised(false);
                window->toFront(true);
            }
            break;
        case CommandIds::openUserGuide:
            openUserGuide();
            break;
        default:
            break;
        }
    return true;
}

bool VelkorEditorApplication::allWindowsMinimised() const
{
    for (auto* window : windowManager.getWindows())
        if (!window->isMinimised())
            return false;
    return true;
}

bool VelkorEditorApplication::sendToController(const juce::MidiMessage& message)
{
    if (midiOutput == nullptr)
        return false;
    windowManager.messageSending(message);
    midiOutput->sendMessageNow(message);
    return true;
}

void VelkorEditorApplication::showDeviceSetup()
{
    if (auto* window = windowManager.deviceWindow.get())
        window->toFront(true);
    else
        windowManager.deviceWindow = std::make_unique<DeviceManagerWindow>(windowManager);
}

void VelkorEditorApplication::showAutoPopulate()
{
    // Escape only hides the tool: show the same one again, with its settings and its window.
    if (auto* tool = windowManager.autoPopWindow.get())
    {
        tool->setVisible(true);
        tool->toFront(true);
        return;
    }
    windowManager.autoPopWindow = std::make_unique<AutoPopToolWindow>(
        windowManager.getCurrentWindow(), [this] { return windowManager.getCurrentWindow(); },
        [this] { windowManager.autoPopWindow.reset(); });
    windowManager.autoPopWindow->addKeyListener(toolUndoKeys.get());
}

MainWindow* VelkorEditorApplication::windowOfTool(const juce::Component* tool)
{
    auto* autoPop = dynamic_cast<AutoPopToolWindow*>(windowManager.autoPopWindow.get());
    if (autoPop != nullptr && tool == autoPop)
        if (MainWindow* target = autoPop->getController().getTargetWindow())
            return target;
    return windowManager.getWorkingWindow();
}

void VelkorEditorApplication::undoOrRedo(juce::CommandID id, MainWindow* window)
{
    if (window == nullptr)
        return;
    if (id == CommandIds::undo)
        window->getController().undo();
    else
        window->getController().redo();
}

void VelkorEditorApplication::showLibrarian()
{
    if (auto* window = windowManager.librarianWindow.get())
    {
        window->setVisible(true);
        window->toFront(true);
    }
    else
    {
        Librarian::Services librarianServices;
        librarianServices.send = [this](const juce::MidiMessage& m) { return sendToController(m); };
        librarianServices.showDeviceSetup = [this] { showDeviceSetup(); };
        librarianServices.workingWindow = [this] { return windowManager.getWorkingWindow(); };
        librarianServices.openProgram = [this](const ProgramValues& values)
        { windowManager.newWindowWith(values); };
        librarianServices.inputName = [this] { return windowManager.getMidiInputName(); };
        librarianServices.outputName = [this]
        { return midiOutput != nullptr ? windowManager.getMidiOutputName() : juce::String(); };
        librarianServices.watch = [this](std::shared_ptr<MidiMonitor> monitor)
        { windowManager.setMidiMonitor(std::move(monitor)); };
        windowManager.librarianWindow = std::make_unique<LibrarianWindow>(
            librarianServices, [this] { windowManager.librarianWindow.reset(); });
        windowManager.librarianWindow->addKeyListener(toolUndoKeys.get());
    }
    // Like SEND, it needs an output before it can ask the controller anything.
    if (midiOutput == nullptr)
        showDeviceSetup();
}

void VelkorEditorApplication::describeUndoStep(juce::CommandID id, juce::ApplicationCommandInfo& info)
{
    MainWindow* window = windowManager.getCurrentWindow();
    const EditorController* controller = window != nullptr ? &window->getController() : nullptr;
    const bool undo = id == CommandIds::undo;
    if (!undo)
        info.addDefaultKeypress('y', juce::ModifierKeys::commandModifier);
    const bool possible = controller != nullptr && (undo ? controller->canUndo() : controller->canRedo());
    info.setActive(possible);
    if (possible)
        info.shortName =
            (undo ? "Undo " : "Redo ") + (undo ? controller->getUndoName() : controller->getRedoName());
}

void VelkorEditorApplication::copyProgram()
{
    NumberBox::commitPendingEdit();
    if (MainWindow* window = windowManager.getCurrentWindow())
        clipboard->copy(window->getController());
}

void VelkorEditorApplication::paste(int kind)
{
    if (MainWindow* window = windowManager.getCurrentWindow())
        clipboard->paste(kind, window->getController());
}

void VelkorEditorApplication::openProgram()
{
    chooseFileToRead("Select File", ProgramFile::wildcard,
                     [this](const juce::File& file) { windowManager.openFile(file); });
}

void VelkorEditorApplication::chooseFileToRead(const juce::String& title, const juce::String& wildcard,
                                               std::function<void(const juce::File&)> read)
{
    chooser = std::make_unique<juce::FileChooser>(title, juce::File(lastFilePath), wildcard);
    chooser->launchAsync(juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles,
                         [this, read](const juce::FileChooser& fc)
                         {
                             const juce::File file = fc.getResult();
                             if (file == juce::File())
                                 return;
                             lastFilePath = file.getFullPathName();
                             read(file);
                         });
}

void VelkorEditorApplication::saveProgram()
{
    NumberBox::commitPendingEdit();
    MainWindow* window = windowManager.getCurrentWindow();
    if (window == nullptr || window->getFilePath().isEmpty())
    {
        saveProgramAs();
        return;
    }
    saveWindowTo(*window, juce::File(window->getFilePath()));
}

void VelkorEditorApplication::saveProgramAs()
{
    chooseFileToWrite("Select Filename to save", ProgramFile::wildcard,
                      [this](auto target, const juce::File& chosen) { saveChosenFile(target, chosen); });
}

void VelkorEditorApplication::chooseFileToWrite(
    const juce::String& title, const char* wildcard,
    std::function<void(juce::Component::SafePointer<MainWindow>, const juce::File&)> chosen)
{
    NumberBox::commitPendingEdit();
    MainWindow* window = windowManager.getCurrentWindow();
    if (window == nullptr)
    {
        UserMessage::show("Error Saving file");
        return;
    }
    chooser = std::make_unique<juce::FileChooser>(title, juce::File(lastFilePath), wildcard);
    chooser->launchAsync(juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles |
                             juce::FileBrowserComponent::warnAboutOverwriting,
                         [chosen, target = juce::Component::SafePointer<MainWindow>(window)](
                             const juce::FileChooser& fc) { chosen(target, fc.getResult()); });
}

void VelkorEditorApplication::saveChosenFile(juce::Component::SafePointer<MainWindow> target,
                                             const juce::File& chosen)
{
    writeChosenFile(target, chosen, ProgramFile::extension, &VelkorEditorApplication::saveWindowTo);
}

void VelkorEditorApplication::writeChosenFile(juce::Component::SafePointer<MainWindow> target,
                                              const juce::File& chosen, const char* extension,
                                              bool (VelkorEditorApplication::*writeTo)(MainWindow&,
                                                                                       const juce::File&))
{
    if (chosen == juce::File())
        return;
    juce::File file = chosen;
    if (!file.hasFileExtension(extension) && file.getFileExtension().isEmpty())
        file = file.withFileExtension(extension);
    lastFilePath = file.getFullPathName();
    const auto save = [this, target, writeTo, file]
    {
        if (target == nullptr)
            UserMessage::show("Error Saving file");
        else
            (this->*writeTo)(*target, file);
    };
    // The chooser asked about the name as typed; the name with the extension added is another file.
    if (file != chosen && file.exists())
        UserMessage::confirm("\"" + file.getFileName() + "\" already exists.\n\nDo you want to replace it?",
                             "Replace", "Cancel",
                             [save](bool replace)
                             {
                                 if (replace)
                                     save();
                             });
    else
        save();
}

void VelkorEditorApplication::importSysEx()
{
    chooseFileToRead("Select File to import", juce::String(SysExFile::wildcard) + ";" + ProgramFile::wildcard,
                     [this](const juce::File& file) { windowManager.importFile(file); });
}

void VelkorEditorApplication::exportSysEx()
{
    chooseFileToWrite("Select Filename to export", SysExFile::wildcard,
                      [this](auto target, const juce::File& chosen) { exportChosenFile(target, chosen); });
}

void VelkorEditorApplication::exportChosenFile(juce::Component::SafePointer<MainWindow> target,
                                               const juce::File& chosen)
{
    writeChosenFile(target, chosen, SysExFile::extension, &VelkorEditorApplication::exportWindowTo);
}

bool VelkorEditorApplication::exportWindowTo(MainWindow& window, const juce::File& file)
{
    juce::String reason;
    const ByteArray message =
        SysExFile::writeMessage(window.getProgramImage(), ProgramSysEx::ramProgramNumber);
    if (SysExFile::write(file, {message}, reason))
        return true;
    UserMessage::show("Error Saving file\n" + file.getFullPathName() + "\n" + reason);
    return false;
}

bool VelkorEditorApplication::saveWindowTo(MainWindow& window, const juce::File& file)
{
    juce::String reason;
    if (!ProgramFile::write(file, window.getProgramImage(), &reason))
    {
        UserMessage::show("Error Saving file\n" + file.getFullPathName() + "\n" + reason);
        return false;
    }
    window.setFilePath(file.getFullPathName());
    window.setName(juce::String(applicationName) + " - " + file.getFileName());
    return true;
}

juce::File VelkorEditorApplication::userGuideFile()
{
    return juce::File::getSpecialLocation(juce::File::userDocumentsDirectory)
        .getChildFile("Harvane Professional/Velkor Editor/Velkor Editor - User Guide - v1.0.pdf");
}

void VelkorEditorApplication::openUserGuide()
{
    const juce::File guide = userGuideFile();
    if (guide.existsAsFile())
        guide.startAsProcess();
    else
        UserMessage::show("Unable to find User Guide." + guide.getFullPathName());
}
