#include "tools/LibrarianComponent.h"

#include "model/SysExFile.h"
#include "ui/Announcement.h"

namespace
{
constexpr juce::uint32 paper = 0xfff2f2f2;
constexpr juce::uint32 ink = 0xff333333;
constexpr juce::uint32 faint = 0xff777777;
constexpr juce::uint32 accent = 0xffd2283c;
constexpr juce::uint32 good = 0xff2e7d32;
constexpr juce::uint32 face = 0xff2b2b2b;

constexpr int margin = 20;
constexpr int firstRowY = 152;
constexpr int rowHeight = 40;
constexpr int stateX = 120, summaryX = 330, againstX = 580, buttonsX = 724;

juce::Colour stateColour(Librarian::State state)
{
    switch (state)
    {
    case Librarian::State::read:
    case Librarian::State::verified:
        return juce::Colour(good);
    case Librarian::State::noAnswer:
    case Librarian::State::badDump:
    case Librarian::State::differs:
    case Librarian::State::unverified:
        return juce::Colour(accent);
    case Librarian::State::notRead:
        break;
    }
    return juce::Colour(faint);
}

void styleButton(juce::TextButton& button)
{
    button.setColour(juce::TextButton::buttonColourId, juce::Colour(face));
    button.setColour(juce::TextButton::buttonOnColourId, juce::Colour(face));
    button.setColour(juce::TextButton::textColourOffId, juce::Colours::white);
    button.setColour(juce::TextButton::textColourOnId, juce::Colours::white);
}

void styleLabel(juce::Label& label, float size, bool bold = false)
{
    label.setFont(juce::Font(size, bold ? juce::Font::bold : juce::Font::plain));
    label.setColour(juce::Label::textColourId, juce::Colour(ink));
    label.setMinimumHorizontalScale(0.7f);
}
} // namespace

LibrarianComponent::LibrarianComponent(Librarian& librarianToShow) : librarian(librarianToShow)
{
    setSize(width, height);
    setWantsKeyboardFocus(true);

    for (auto* label : {&portsLabel, &windowLabel, &statusLabel})
    {
        styleLabel(*label, 13.0f);
        addAndMakeVisible(*label);
    }
    windowLabel.setJustificationType(juce::Justification::centredRight);

    for (auto* button : {&readAllButton, &backUpButton, &restoreButton, &copyLogButton, &putBackButton})
    {
        styleButton(*button);
        addAndMakeVisible(*button);
    }
    readAllButton.onClick = [this] { librarian.readAll(); };
    backUpButton.onClick = [this] { chooseBackup(false); };
    restoreButton.onClick = [this] { chooseBackup(true); };
    putBackButton.onClick = [this] { librarian.putBack(); };
    copyLogButton.onClick = [this]
    { juce::SystemClipboard::copyTextToClipboard(librarian.getLog().toText()); };

    progressBar.setColour(juce::ProgressBar::foregroundColourId, juce::Colour(accent));
    progressBar.setColour(juce::ProgressBar::backgroundColourId, juce::Colour(0xffe0e0e0));
    addChildComponent(progressBar);

    for (int i = 0; i < Librarian::numRows; ++i)
    {
        RowWidgets& row = rows[static_cast<std::size_t>(i)];
        row.name.setText(Librarian::rowName(i), juce::dontSendNotification);
        styleLabel(row.name, 14.0f, true);
        styleLabel(row.state, 13.0f);
        styleLabel(row.summary, 13.0f);
        styleLabel(row.against, 13.0f);
        for (auto* label : {&row.name, &row.state, &row.summary, &row.against})
            addAndMakeVisible(*label);
        for (auto* button : {&row.open, &row.compare, &row.sendHere})
        {
            styleButton(*button);
            addAndMakeVisible(*button);
        }
        row.open.onClick = [this, i] { librarian.open(i); };
        row.compare.onClick = [this, i] { showComparison(i); };
        row.sendHere.onClick = [this, i] { librarian.sendHere(i); };
        for (auto* button : {&row.open, &row.compare, &row.sendHere})
            button->setTitle(Librarian::rowName(i) + " " + button->getButtonText());
    }

    differences.setMultiLine(true, false);
    differences.setReadOnly(true);
    differences.setScrollbarsShown(true);
    differences.setCaretVisible(false);
    differences.setFont(juce::Font(13.0f));
    differences.setColour(juce::TextEditor::backgroundColourId, juce::Colours::white);
    differences.setColour(juce::TextEditor::textColourId, juce::Colour(ink));
    differences.setColour(juce::TextEditor::outlineColourId, juce::Colour(0xffcccccc));
    differences.setText("Compare lists here what a program on the controller differs in from the window.");
    differences.setTitle("Differences");
    addAndMakeVisible(differences);

    log.setRowHeight(18);
    log.setColour(juce::ListBox::backgroundColourId, juce::Colours::white);
    log.setColour(juce::ListBox::outlineColourId, juce::Colour(0xffcccccc));
    log.setOutlineThickness(1);
    log.setTitle("MIDI log");
    addAndMakeVisible(log);

    setTitle("Librarian");
    librarian.onChange = [this] { refresh(); };
    announcedStatus = librarian.getStatus();
    refresh();
    // The window compared with and its program change without telling the Librarian.
    startTimer(250);
}

LibrarianComponent::~LibrarianComponent()
{
    librarian.onChange = nullptr;
}

// The panel takes the focus for the window's keys; to a screen reader it is the group of its controls.
std::unique_ptr<juce::AccessibilityHandler> LibrarianComponent::createAccessibilityHandler()
{
    return std::make_unique<juce::AccessibilityHandler>(*this, juce::AccessibilityRole::group);
}

void LibrarianComponent::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colour(paper));

    juce::Font heading(22.0f, juce::Font::bold);
    heading.setExtraKerningFactor(0.12f);
    g.setFont(heading);
    g.setColour(juce::Colour(ink));
    g.drawText("LIBRARIAN", 0, 14, width, 28, juce::Justification::centred);
    g.setColour(juce::Colour(accent));
    g.fillRect(width / 2 - 20, 46, 40, 3);

    g.setColour(juce::Colour(faint));
    g.setFont(juce::Font(11.0f, juce::Font::bold));
    const int captionY = firstRowY - 20;
    g.drawText("SLOT", margin, captionY, 90, 16, juce::Justification::centredLeft);
    g.drawText("STATE", stateX, captionY, 200, 16, juce::Justification::centredLeft);
    g.drawText("PROGRAM", summaryX, captionY, 240, 16, juce::Justification::centredLeft);
    g.drawText("AGAINST THE WINDOW", againstX, captionY, 140, 16, juce::Justification::centredLeft);
    g.drawText("DIFFERENCES", margin, 358, 200, 16, juce::Justification::centredLeft);
    g.drawText("MIDI LOG (LAST " + juce::String(static_cast<int>(MidiLog::capacity)) + " MESSAGES)", margin,
               486, 300, 16, juce::Justification::centredLeft);

    for (int i = 0; i < Librarian::numRows; ++i)
    {
        const int y = firstRowY + i * rowHeight;
        g.setColour(juce::Colour(i % 2 == 0 ? 0xffe9e9e9 : 0xfff7f7f7));
        g.fillRoundedRectangle(juce::Rectangle<float>(margin - 6.0f, static_cast<float>(y),
                                                      width - 2.0f * margin + 12.0f, rowHeight - 4.0f),
                               4.0f);
    }
}

void LibrarianComponent::resized()
{
    portsLabel.setBounds(margin, 62, 520, 20);
    windowLabel.setBounds(width - margin - 380, 62, 380, 20);
    readAllButton.setBounds(margin, 92, 100, 26);
    backUpButton.setBounds(margin + 108, 92, 100, 26);
    restoreButton.setBounds(margin + 216, 92, 100, 26);
    progressBar.setBounds(margin + 332, 92, width - 2 * margin - 332 - 108, 26);
    putBackButton.setBounds(width - margin - 100, 92, 100, 26);
    statusLabel.setBounds(progressBar.getBounds());

    for (int i = 0; i < Librarian::numRows; ++i)
    {
        RowWidgets& row = rows[static_cast<std::size_t>(i)];
        const int y = firstRowY + i * rowHeight;
        row.name.setBounds(margin - 4, y + 4, stateX - margin, 28);
        row.state.setBounds(stateX, y + 4, summaryX - stateX - 6, 28);
        row.summary.setBounds(summaryX, y + 4, againstX - summaryX - 6, 28);
        row.against.setBounds(againstX, y + 4, buttonsX - againstX - 6, 28);
        row.open.setBounds(buttonsX, y + 6, 54, 24);
        row.compare.setBounds(buttonsX + 58, y + 6, 68, 24);
        row.sendHere.setBounds(buttonsX + 130, y + 6, width - margin - buttonsX - 130, 24);
    }

    differences.setBounds(margin, 376, width - 2 * margin, 100);
    copyLogButton.setBounds(width - margin - 100, 480, 100, 24);
    log.setBounds(margin, 508, width - 2 * margin, height - 508 - margin);
}

void LibrarianComponent::refresh()
{
    const juce::String input = librarian.getInputName(), output = librarian.getOutputName();
    portsLabel.setText(
        "MIDI in: " + (input.isEmpty() ? juce::String("none") : "\"" + input + "\"") +
            "     MIDI out: " + (output.isEmpty() ? juce::String("none") : "\"" + output + "\""),
        juce::dontSendNotification);
    const juce::String windowName = librarian.getWorkingWindowName();
    windowLabel.setText(windowName.isEmpty() ? juce::String("No main window to compare with")
                                             : "Compared with: " + windowName,
                        juce::dontSendNotification);

    const bool busy = librarian.isBusy();
    // While busy the bar shows how far it got; afterwards a plain line says how it went.
    progress = busy ? librarian.getProgress() : 0.0;
    progressBar.setTextToDisplay(librarian.getStatus());
    progressBar.setVisible(busy);
    statusLabel.setText(librarian.getStatus(), juce::dontSendNotification);
    // A report naming every slot may not fit the line.
    statusLabel.setTooltip(librarian.getStatus());
    statusLabel.setVisible(!busy);
    if (!busy && librarian.getStatus() != announcedStatus)
    {
        announcedStatus = librarian.getStatus();
        Announcement::post(announcedStatus);
    }
    for (auto* button : {&readAllButton, &backUpButton, &restoreButton})
        button->setEnabled(!busy);
    putBackButton.setEnabled(librarian.canPutBack());
    const juce::String kept = librarian.describeKept();
    putBackButton.setTooltip(kept.isEmpty() ? juce::String("Send Here and Restore keep what they write over; "
                                                           "Put Back writes it again.")
                                            : "Writes again " + kept + ".");

    for (int i = 0; i < Librarian::numRows; ++i)
    {
        RowWidgets& row = rows[static_cast<std::size_t>(i)];
        const Librarian::Row& state = librarian.getRow(i);
        const juce::String stateText = librarian.describeState(i);
        row.state.setText(stateText, juce::dontSendNotification);
        row.state.setTooltip(stateText);
        row.state.setColour(juce::Label::textColourId,
                            state.activity.isNotEmpty() ? juce::Colour(ink) : stateColour(state.state));
        row.summary.setText(librarian.summarise(i), juce::dontSendNotification);
        const juce::String against = librarian.compareWithWindow(i);
        row.against.setText(against, juce::dontSendNotification);
        row.against.setColour(juce::Label::textColourId,
                              against.startsWith("same") ? juce::Colour(good) : juce::Colour(ink));
        row.open.setEnabled(state.image.has_value());
        row.compare.setEnabled(state.image.has_value() && windowName.isNotEmpty());
        row.sendHere.setEnabled(!busy && windowName.isNotEmpty());
    }

    const std::uint64_t serial = librarian.getLog().getSerial();
    if (serial != shownSerial)
    {
        shownSerial = serial;
        entries = librarian.getLog().getEntries();
        log.updateContent();
        log.scrollToEnsureRowIsOnscreen(static_cast<int>(entries.size()) - 1);
        log.repaint();
    }
}

void LibrarianComponent::showComparison(int index)
{
    const juce::StringArray lines = librarian.compare(index);
    const juce::String heading = Librarian::rowName(index) + " on the controller, against \"" +
                                 librarian.getWorkingWindowName() + "\": ";
    differences.setText(lines.isEmpty()
                            ? heading + "the same program."
                            : heading + juce::String(lines.size()) +
                                  (lines.size() == 1 ? " value differs" : " values differ") +
                                  " (the controller's value first)\n" + lines.joinIntoString("\n"));
}

int LibrarianComponent::getNumRows()
{
    return static_cast<int>(entries.size());
}

juce::String LibrarianComponent::getNameForRow(int row)
{
    if (row < 0 || row >= static_cast<int>(entries.size()))
        return {};
    const MidiLog::Entry& entry = entries[static_cast<std::size_t>(row)];
    const juce::String time = MidiLog::formatTime(entry.time);
    if (entry.note)
        return time + " NOTE " + entry.description;
    return time + (entry.incoming ? " IN " : " OUT ") + entry.port + ", " + juce::String(entry.length) +
           " bytes, " + entry.description;
}

void LibrarianComponent::paintListBoxItem(int row, juce::Graphics& g, int w, int h, bool)
{
    if (row < 0 || row >= static_cast<int>(entries.size()))
        return;
    const MidiLog::Entry& entry = entries[static_cast<std::size_t>(row)];
    if (row % 2 == 1)
        g.fillAll(juce::Colour(0xfff5f5f5));
    g.setFont(juce::Font(12.0f));
    g.setColour(juce::Colour(faint));
    g.drawText(MidiLog::formatTime(entry.time), 6, 0, 92, h, juce::Justification::centredLeft);
    if (entry.note)
    {
        g.drawText("NOTE", 100, 0, 34, h, juce::Justification::centredLeft);
        g.setColour(juce::Colour(ink));
        g.drawText(entry.description, 136, 0, w - 142, h, juce::Justification::centredLeft, true);
        return;
    }
    g.setColour(entry.incoming ? juce::Colour(good) : juce::Colour(accent));
    g.drawText(entry.incoming ? "IN" : "OUT", 100, 0, 34, h, juce::Justification::centredLeft);
    g.setColour(juce::Colour(ink));
    g.drawText(entry.port, 136, 0, 170, h, juce::Justification::centredLeft, true);
    g.drawText(juce::String(entry.length) + " bytes", 310, 0, 74, h, juce::Justification::centredRight);
    g.drawText(entry.description, 398, 0, w - 404, h, juce::Justification::centredLeft, true);
}

void LibrarianComponent::timerCallback()
{
    if (isShowing())
        refresh();
}

void LibrarianComponent::chooseFolder(bool restore)
{
    chooser = std::make_unique<juce::FileChooser>(
        restore ? "Choose the backup folder to restore" : "Choose a folder for the backup",
        juce::File::getSpecialLocation(juce::File::userDocumentsDirectory));
    chooser->launchAsync(juce::FileBrowserComponent::openMode |
                             juce::FileBrowserComponent::canSelectDirectories,
                         [this, restore](const juce::FileChooser& fc)
                         {
                             const juce::File folder = fc.getResult();
                             if (folder == juce::File())
                                 return;
                             if (restore)
                                 librarian.restoreFrom(folder);
                             else
                                 librarian.backUpTo(folder);
                         });
}

void LibrarianComponent::chooseBackup(bool restore)
{
    juce::AlertWindow::showYesNoCancelBox(
        juce::MessageBoxIconType::QuestionIcon, restore ? "Restore" : "Back Up",
        restore ? "Restore PROGRAM 1 to 4 from one .syx file or from a folder?"
                : "Back up PROGRAM 1 to 4 as one .syx file or as a folder?",
        "One .syx File", "Folder", "Cancel", this,
        juce::ModalCallbackFunction::create(
            [safe = juce::Component::SafePointer<LibrarianComponent>(this), restore](int result)
            {
                if (safe == nullptr || result == 0)
                    return;
                if (result == 1)
                    safe->chooseBank(restore);
                else
                    safe->chooseFolder(restore);
            }));
}

void LibrarianComponent::chooseBank(bool restore)
{
    const juce::File documents = juce::File::getSpecialLocation(juce::File::userDocumentsDirectory);
    chooser = std::make_unique<juce::FileChooser>(
        restore ? "Choose the .syx backup to restore" : "Save the backup as a .syx file",
        restore ? documents : documents.getChildFile("Velkor backup.syx"), SysExFile::wildcard);
    const int chooserFlags =
        restore ? juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles
                : juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles |
                      juce::FileBrowserComponent::warnAboutOverwriting;
    chooser->launchAsync(chooserFlags,
                         [this, restore](const juce::FileChooser& fc)
                         {
                             juce::File file = fc.getResult();
                             if (file == juce::File())
                                 return;
                             if (restore)
                             {
                                 librarian.restoreFrom(file);
                                 return;
                             }
                             // A name typed without its extension is still a bank, not a folder.
                             if (!file.hasFileExtension(SysExFile::extension))
                                 file = file.withFileExtension(SysExFile::extension);
                             librarian.backUpTo(file);
                         });
}
