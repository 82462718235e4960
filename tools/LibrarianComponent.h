#pragma once

#include "tools/Librarian.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>
#include <memory>

// The Librarian's face: the buttons, a row per program with its state and what it holds, the
// differences of the last Compare, and the MIDI log.
class LibrarianComponent : public juce::Component, private juce::ListBoxModel, private juce::Timer
{
public:
    static constexpr int width = 940;
    static constexpr int height = 680;

    explicit LibrarianComponent(Librarian& librarian);
    ~LibrarianComponent() override;

    void paint(juce::Graphics& g) override;
    void resized() override;

    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

    // Brings every text and button up to date with the Librarian.
    void refresh();
    // What Compare shows for a row.
    void showComparison(int index);

    struct RowWidgets
    {
        juce::Label name, state, summary, against;
        juce::TextButton open{"Open"}, compare{"Compare"}, sendHere{"Send Here"};
    };

    juce::Label portsLabel, windowLabel, statusLabel;
    juce::TextButton readAllButton{"Read All"}, backUpButton{"Back Up..."}, restoreButton{"Restore..."},
        copyLogButton{"Copy Log"}, putBackButton{"Put Back"};
    double progress = 0.0;
    juce::ProgressBar progressBar{progress};
    std::array<RowWidgets, Librarian::numRows> rows;
    juce::TextEditor differences;
    juce::ListBox log{"MIDI log", this};

private:
    int getNumRows() override;
    void paintListBoxItem(int row, juce::Graphics& g, int width, int height, bool selected) override;
    juce::String getNameForRow(int row) override;
    void timerCallback() override;
    // Asks whether the backup is one .syx file or a folder, then for which.
    void chooseBackup(bool restore);
    void chooseFolder(bool restore);
    void chooseBank(bool restore);

    Librarian& librarian;
    std::vector<MidiLog::Entry> entries;
    std::uint64_t shownSerial = ~std::uint64_t(0);
    // The last job summary spoken; a job's end is announced once, not on every refresh.
    juce::String announcedStatus;
    std::unique_ptr<juce::FileChooser> chooser;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(LibrarianComponent)
};
