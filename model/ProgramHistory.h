#pragma once

#include "model/ProgramSysEx.h"

#include <juce_core/juce_core.h>

#include <deque>

// The programs one window has held, newest last, and where in them the window stands: what Undo and
// Redo walk through. Each program after the first carries the name of the change that made it.
class ProgramHistory
{
public:
    static constexpr int maxSteps = 200;

    // Forgets every step; the program given is where the window starts, not a step.
    void reset(ProgramValues start);
    bool isStarted() const { return !programs.empty(); }
    const ProgramValues& current() const { return programs[position].values; }

    // A new program after a change of that name; the steps that could be redone are dropped, and past
    // the limit the oldest step goes.
    void record(ProgramValues next, const juce::String& changeName);

    bool canUndo() const { return position > 0; }
    bool canRedo() const { return position + 1 < programs.size(); }
    juce::String undoName() const { return canUndo() ? programs[position].changeName : juce::String(); }
    juce::String redoName() const { return canRedo() ? programs[position + 1].changeName : juce::String(); }
    // The program to go back or forward to.
    const ProgramValues& undo();
    const ProgramValues& redo();

    // The musician's name for what differs between two programs: one parameter's name, or "Changes".
    static juce::String describeChange(const ProgramValues& before, const ProgramValues& after);

private:
    struct Entry
    {
        ProgramValues values;
        juce::String changeName;
    };
    std::deque<Entry> programs;
    std::size_t position = 0;
};
