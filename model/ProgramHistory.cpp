#include "model/ProgramHistory.h"

#include "model/ProgramField.h"

namespace
{
// Names by position in the 108 decoded values.
// A step names its value as the panel does; both tempo bytes are the one TEMPO.
juce::String valueName(int index)
{
    return ProgramField::atOffset(ProgramSysEx::firstValueOffset + index).label;
}
} // namespace

void ProgramHistory::reset(ProgramValues start)
{
    programs.clear();
    programs.push_back({std::move(start), {}});
    position = 0;
}

void ProgramHistory::record(ProgramValues next, const juce::String& changeName)
{
    if (!isStarted())
        return;
    programs.erase(programs.begin() + static_cast<long>(position) + 1, programs.end());
    programs.push_back({std::move(next), changeName});
    while (programs.size() > static_cast<std::size_t>(maxSteps) + 1)
        programs.pop_front();
    position = programs.size() - 1;
}

const ProgramValues& ProgramHistory::undo()
{
    if (canUndo())
        --position;
    return current();
}

const ProgramValues& ProgramHistory::redo()
{
    if (canRedo())
        ++position;
    return current();
}

juce::String ProgramHistory::describeChange(const ProgramValues& before, const ProgramValues& after)
{
    juce::StringArray names;
    for (std::size_t i = 0; i < before.size() && i < after.size(); ++i)
        if (before[i] != after[i])
            names.addIfNotAlreadyThere(valueName(static_cast<int>(i)));
    return names.size() == 1 ? names[0] : juce::String("Changes");
}
