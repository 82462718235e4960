#pragma once

#include <exception>

// A SysEx program dump that is not a valid program.
class midiFormatException : public std::exception
{
public:
    const char* what() const noexcept override { return "MIDI Sysex Format Error"; }
};
