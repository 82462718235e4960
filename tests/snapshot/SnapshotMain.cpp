// Renders the panels off screen to PNG files, so they can be looked at without a window manager.
#include "model/EditorController.h"

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
} // namespace

int main(int argc, char** argv)
{
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
    return ok ? 0 : 1;
}
