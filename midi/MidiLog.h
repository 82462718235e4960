#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <deque>
#include <mutex>

// The last messages in and out, each with a plain description of what it is. Safe to add to from
// any thread.
class MidiLog
{
public:
    static constexpr std::size_t capacity = 500;

    struct Entry
    {
        juce::Time time;
        bool incoming = false;
        juce::String port;
        int length = 0;
        juce::String description;
        // Not a message: something the editor did, told in description.
        bool note = false;
    };

    void add(bool incoming, const juce::String& port, const juce::MidiMessage& message);
    void addNote(const juce::String& text);
    void clear();

    // Oldest first.
    std::vector<Entry> getEntries() const;
    // Counts every entry ever added, so a reader can tell whether anything changed.
    std::uint64_t getSerial() const;

    // One line per entry: time, direction, port, length, description, separated by tabs; a note has
    // NOTE for its direction and no port or length.
    juce::String toText() const;
    static juce::String formatTime(juce::Time time);

    // "program request, slot 2", "program dump, RAM", "SysEx, 12 bytes, not a Velkor message",
    // "Note On, channel 1, note 60 (C4), velocity 100".
    static juce::String describe(const juce::MidiMessage& message);

private:
    void append(Entry entry);

    mutable std::mutex lock;
    std::deque<Entry> entries;
    std::uint64_t serial = 0;
};
