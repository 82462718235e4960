// Renders the panels off screen to PNG files, so they can be looked at without a window manager.
#include "app/CommandIds.h"
#include "midi/ProgramMessages.h"
#include "app/VelkorEditorApplication.h"
#include "midi/SimulatorMidiDevices.h"
#include "model/EditorController.h"
#include "tools/LibrarianWindow.h"

#include <iostream>

namespace
{
bool save(juce::Component& panel, const juce::File& file)
{
    const juce::Image image = panel.createComponentSnapshot(panel.getLocalBounds(), true, 1.0f);
    file.deleteFile();
    juce::FileOutputStream out(file);
    juce::PNGImageFormat png;
    const bool written = out.openedOk() && png.writeImageToStream(image, out);
    std::cout << (written ? "wrote " : "FAILED ") << file.getFullPathName() << " (" << image.getWidth()
              << " x " << image.getHeight() << ")\n";
    return written;
}
void pumpUntil(const std::function<bool()>& done)
{
    for (int i = 0; i < 500 && !done(); ++i)
        juce::MessageManager::getInstance()->runDispatchLoopUntil(10);
}

// The Librarian as a musician sees it after Read All against the simulated controller, with one
// slot that differs from the window, one that answers a corrupt dump and one that does not answer.
bool saveLibrarian(const juce::File& file)
{
    VelkorEditorApplication app;
    app.quitAction = [] {};
    auto devices = std::make_unique<SimulatorMidiDevices>(nullptr);
    auto simulator = devices->getSharedSimulator();
    simulator->setReplyDelay(0);
    app.setDevices(std::move(devices));
    app.initialiseWithArguments({});
    app.getWindowManager().applyDeviceNames({VelkorSimulator::deviceName}, {VelkorSimulator::deviceName});

    ProgramModel changed = ProgramModel::makeDefault();
    ByteArray data = changed.toSysExData();
    data[10] = 1;  // arpeggiator on
    data[26] = 48; // pad A1 note
    simulator->receive(ProgramSysEx::programWriteMessage(data, 2));
    simulator->setFault(3, VelkorSimulator::Fault::corruptValue);
    simulator->setFault(4, VelkorSimulator::Fault::noReply);

    app.getCommandManager()->invokeDirectly(CommandIds::librarian, false);
    auto* window = dynamic_cast<LibrarianWindow*>(app.getWindowManager().librarianWindow.get());
    bool ok = false;
    if (window != nullptr)
    {
        window->getLibrarian().readAll();
        pumpUntil([window] { return !window->getLibrarian().isBusy(); });
        window->getPanel().showComparison(1);
        window->getPanel().refresh();
        ok = save(window->getPanel(), file);
    }
    app.shutdown();
    return ok;
}
} // namespace

int main(int argc, char** argv)
{
    // Counts as a standalone application, as the editor does, so an application object may be made.
    juce::JUCEApplicationBase::createInstance = []
    { return static_cast<juce::JUCEApplicationBase*>(nullptr); };
    juce::ScopedJuceInitialiser_GUI juce;
    const juce::File folder =
        juce::File::getCurrentWorkingDirectory().getChildFile(argc > 1 ? argv[1] : "snapshots");
    if (!folder.createDirectory())
    {
        std::cerr << "cannot create " << folder.getFullPathName() << "\n";
        return 1;
    }

    bool ok = true;
    {
        EditorComponent editor;
        EditorController controller(&editor);
        controller.resetToDefaults();
        // Let the pending selections land, as they do once a window is up.
        juce::MessageManager::getInstance()->runDispatchLoopUntil(50);
        ok &= save(editor, folder.getChildFile("editor.png"));
        ok &= save(*editor.padBankA, folder.getChildFile("pad-bank-a.png"));
        ok &= save(*editor.hardwareControls, folder.getChildFile("program-strip.png"));
        ok &= save(*editor.joystickPanel, folder.getChildFile("joystick.png"));
        ok &= save(*editor.knobBank, folder.getChildFile("knobs.png"));
        ok &= save(*editor.keybedPanel, folder.getChildFile("keybed.png"));
        ok &= save(*editor.arpPanel, folder.getChildFile("arpeggiator.png"));
        ok &= save(*editor.chanSelection, folder.getChildFile("channels.png"));
    }
    ok &= saveLibrarian(folder.getChildFile("librarian.png"));
    return ok ? 0 : 1;
}
