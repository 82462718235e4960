#pragma once

#include "midi/MidiLog.h"
#include "midi/MidiMonitor.h"
#include "model/ProgramSysEx.h"

#include <juce_events/juce_events.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class MainWindow;

// What the controller holds, slot by slot: reads all five programs one at a time, writes one and
// reads it back, backs the four slots up to a folder or a .syx bank and restores them, keeps what
// each write goes over so that Put Back can undo it, and keeps a log of every MIDI message in and out. It
// talks through the ports chosen in Device Setup and acts on the message thread; only its monitor runs on the
// input thread.
class Librarian : private juce::Timer
{
public:
    static constexpr int numRows = 5;
    static constexpr int answerTimeoutMs = 2000;
    // A bad dump ends the wait this long after it came, unless a good one follows.
    static constexpr int badDumpGraceMs = 250;

    struct Services
    {
        // Sends through the application's output; false when none is open.
        std::function<bool(const juce::MidiMessage&)> send;
        std::function<void()> showDeviceSetup;
        // The main window compared with and sent from; may return null.
        std::function<MainWindow*()> workingWindow;
        std::function<void(const ProgramValues&)> openProgram;
        std::function<juce::String()> inputName;
        std::function<juce::String()> outputName;
        // Installs the monitor that sees the traffic, or removes it (null).
        std::function<void(std::shared_ptr<MidiMonitor>)> watch;
    };

    enum class State
    {
        notRead,
        read,
        noAnswer,
        badDump,
        // After a write: read back equal, or not.
        verified,
        differs,
        // Written, but no good dump came back to check it against.
        unverified
    };

    struct Row
    {
        int programNumber = 0;
        State state = State::notRead;
        juce::Time when;
        // The last program the controller gave for this row, as a program file holds it.
        std::optional<ByteArray> image;
        // A bad dump's reason, why a write could not be checked, or what a write that did not verify
        // differs in.
        juce::String problem;
        juce::StringArray differences;
        // "reading", "writing" while a step on this row is under way.
        juce::String activity;
    };

    explicit Librarian(const Services& services);
    ~Librarian() override;

    // Rows 0 to 3 are PROGRAM 1 to 4, row 4 is RAM.
    const Row& getRow(int index) const { return rows[static_cast<std::size_t>(index)]; }
    static juce::String rowName(int index);
    static int programNumberOf(int index);

    // "not read", "read at 15:42:07", "no answer within 2 seconds", "bad dump: ...".
    juce::String describeState(int index) const;
    // Channels, tempo, arpeggiator and first pad note of a read row; empty otherwise.
    juce::String summarise(int index) const;
    // "same as the window", "3 values differ", or empty when there is nothing to compare.
    juce::String compareWithWindow(int index) const;
    // The values the row differs in from the working window, one line each as velkor-tool diff
    // prints them, the row's value first.
    juce::StringArray compare(int index) const;
    juce::String getWorkingWindowName() const;

    void readAll();
    // The working window's program to this row's program, then read back and compared.
    void sendHere(int index);
    void open(int index);
    // Reads PROGRAM 1 to 4 afresh and writes them to the folder, all four or none; to a target named
    // *.syx that is not a folder, as one bank file of four write messages addressed to their slots.
    void backUpTo(const juce::File& target);
    // Refuses a backup folder or .syx bank with anything wrong before anything is sent; asks, then
    // writes and verifies each slot, stopping when the controller no longer answers.
    void restoreFrom(const juce::File& source);
    // Writes again what the last Send Here or Restore kept of the slots it wrote over, and verifies it.
    void putBack();
    bool canPutBack() const { return !busy && !kept.empty(); }
    // "PROGRAM 2, as it was before Send Here at 15:42:07", or empty when nothing is kept.
    juce::String describeKept() const;

    bool isBusy() const { return busy; }
    // 0 to 1 while busy.
    double getProgress() const;
    juce::String getStatus() const { return status; }
    juce::String getInputName() const;
    juce::String getOutputName() const;

    MidiLog& getLog();

    // Called on the message thread after the rows, the status or the log changed.
    std::function<void()> onChange;

private:
    struct Tap;
    struct Step
    {
        int row = 0;
        std::optional<ByteArray> write;
    };
    struct Outcome
    {
        int read = 0, written = 0, verified = 0, noAnswer = 0, bad = 0, differ = 0;
        bool stopped = false;
        // The output went away: nothing more could be sent.
        bool outputClosed = false;
        // Rows by what became of the write meant for them.
        juce::Array<int> verifiedRows, differingRows, unverifiedRows, unwrittenRows;
    };
    // Which slots a write job wrote, verified or left alone, for its report.
    static juce::StringArray describeWrites(const Outcome& outcome);

    struct Kept
    {
        int row = 0;
        ByteArray image;
        juce::String summary;
    };

    void restoreAll(const juce::File& source, const std::array<ByteArray, 4>& images);
    // Reads and keeps what the rows of the writes hold, asks before writing over any it could not
    // keep, then makes the writes: what is the user's name for the job, for the log and Put Back.
    void keepThenWrite(const juce::String& what, const juce::String& jobTitle, std::deque<Step> writes,
                       const juce::String& cancelled, std::function<void(const Outcome&)> finished);
    void start(const juce::String& name, std::deque<Step> steps,
               std::function<void(const Outcome&)> finished);
    void startStep();
    void dumpArrived(const juce::MidiMessage& message);
    void finishStep(std::optional<ByteArray> image);
    void finishJob();
    void timerCallback() override;
    void changed();
    bool needOutput();

    Services services;
    std::shared_ptr<Tap> tap;
    std::array<Row, numRows> rows;

    bool busy = false;
    juce::String jobName;
    juce::String status;
    std::deque<Step> pending;
    std::optional<Step> current;
    int stepsTotal = 0;
    int stepsDone = 0;
    Outcome outcome;
    std::function<void(const Outcome&)> whenFinished;
    // A bad dump seen while waiting: it decides the step unless a good one follows.
    std::optional<juce::String> badDump;
    juce::uint32 stepStarted = 0;
    std::vector<Kept> kept;
    juce::String keptBefore;
    juce::Time keptAt;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(Librarian)
};
