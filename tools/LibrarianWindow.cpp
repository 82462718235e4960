#include "tools/LibrarianWindow.h"

LibrarianWindow::LibrarianWindow(const Librarian::Services& services, std::function<void()> onClose)
    : juce::DialogWindow("Librarian", juce::Colour(0xfff2f2f2), true, true), closed(std::move(onClose))
{
    librarian = std::make_unique<Librarian>(services);
    panel = std::make_unique<LibrarianComponent>(*librarian);
    setUsingNativeTitleBar(true);
    setContentNonOwned(panel.get(), true);
    centreWithSize(panel->getWidth(), panel->getHeight());
    setVisible(true);
}

LibrarianWindow::~LibrarianWindow()
{
    clearContentComponent();
    panel.reset();
    librarian.reset();
}

void LibrarianWindow::closeButtonPressed()
{
    // The owner deletes this window; never from inside its own callback.
    juce::MessageManager::callAsync(
        [self = juce::Component::SafePointer<LibrarianWindow>(this)]
        {
            if (self != nullptr && self->closed)
                self->closed();
        });
}
