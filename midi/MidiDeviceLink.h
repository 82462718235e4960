#pragma once

#include <juce_core/juce_core.h>

// What the device setup window needs of the editor: the port names, the hand-over of a choice, and a
// way to close itself.
class MidiDeviceLink
{
public:
    virtual ~MidiDeviceLink() = default;

    virtual juce::StringArray getMidiInputNames() = 0;
    virtual juce::StringArray getMidiOutputNames() = 0;

    // Opens each named input, then each named output, in list order; the last one opened stays.
    virtual void applyDeviceNames(juce::StringArray inputNames, juce::StringArray outputNames) = 0;

    // Deletes the device setup window; safe to call from the window's own callbacks.
    virtual void closeDeviceSetup() = 0;
};
