#pragma once

#include "tools/LibrarianComponent.h"
#include "ui/KeyboardAccess.h"

#include <functional>
#include <memory>

// The Librarian dialog. Escape only hides it, so its rows and log stay; the close button asks the
// owner to delete it, which ends the log.
class LibrarianWindow : public juce::DialogWindow
{
public:
    // onClose is called from the message loop after the close button, and should delete this window.
    LibrarianWindow(const Librarian::Services& services, std::function<void()> onClose);
    ~LibrarianWindow() override;

    void closeButtonPressed() override;

    Librarian& getLibrarian() { return *librarian; }
    LibrarianComponent& getPanel() { return *panel; }

private:
    std::unique_ptr<Librarian> librarian;
    std::unique_ptr<LibrarianComponent> panel;
    std::function<void()> closed;
    KeyboardAccess keyboard{*this};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(LibrarianWindow)
};
