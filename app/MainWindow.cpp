#include "app/MainWindow.h"

MainWindow::MainWindow(int x, int y, const Services& windowServices)
    : juce::DocumentWindow("Velkor Editor", juce::Colour(0xff999999), minimiseButton | closeButton, false),
      services(windowServices)
{
    setMenuBar(services.menuModel);
    setResizable(false, false);
    setUsingNativeTitleBar(true);
    setResizeLimits(width, height, width, height);
    setBounds(x, y, width, height);
    if (services.commandManager != nullptr)
        addKeyListener(services.commandManager->getKeyMappings());

    editor = std::make_unique<EditorComponent>();
    editor->setName("Velkor Main Editor Component");
    setContentNonOwned(editor.get(), false);
    editor->setVisible(false);

    editorController = std::make_unique<EditorController>(editor.get(), services.sender);

    toFront(false);
    setVisible(false);
    editor->setVisible(true);
}

MainWindow::~MainWindow()
{
    if (services.commandManager != nullptr)
        removeKeyListener(services.commandManager->getKeyMappings());
    setMenuBar(nullptr);
    clearContentComponent();
    editor.reset();
    editorController.reset();
}

void MainWindow::closeButtonPressed()
{
    if (services.closeRequested)
        services.closeRequested(*this);
}

void MainWindow::resized()
{
    juce::DocumentWindow::resized();
    // The panel keeps its own 1200 x 750 below the menu bar; what does not fit is cut off, not squeezed.
    if (editor != nullptr)
        editor->setSize(EditorComponent::width, EditorComponent::height);
}

void MainWindow::activeWindowStatusChanged()
{
    juce::DocumentWindow::activeWindowStatusChanged();
    if (isActiveWindow() && services.activated)
        services.activated(*this);
}
