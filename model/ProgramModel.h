#pragma once

#include "model/JoystickAxisData.h"
#include "model/KnobData.h"
#include "model/PadData.h"

#include <array>

// All values of one program. Holds values only: the widgets and the image validation enforce ranges.
class ProgramModel
{
public:
    enum GlobalId
    {
        padChannel = 0,
        keybedChannel = 1,
        arpOn = 2,
        arpMode = 3,
        arpTimeDivision = 4,
        arpClock = 5,
        arpLatch = 6,
        arpSwing = 7,
        arpTempoTaps = 8,
        arpTempo = 9,
        arpOctaveRange = 10,
        transposition = 11,
        keybedOctave = 12
    };

    static constexpr int numGlobals = 13;
    static constexpr int numKnobs = 8;
    static constexpr int numPadsPerBank = 8;
    static constexpr int numBanks = 2;
    static constexpr int numAxes = 2;

    // The program every new window and every controller slot starts with.
    static ProgramModel makeDefault();

    ProgramModel() = default;
    ProgramModel(const ProgramModel& other);
    ProgramModel& operator=(const ProgramModel& other);

    int getGlobal(int id) const;
    // The integer part, truncated toward zero, is stored.
    void setGlobal(int id, double value);

    int getKnob(int knob, int field) const;
    void setKnob(int knob, int field, int value);

    // Bank 0 is A, 1 is B; axis 0 is X, 1 is Y.
    PadData& pad(int bank, int padIndex);
    const PadData& pad(int bank, int padIndex) const;
    JoystickAxisData& axis(int axisIndex);
    const JoystickAxisData& axis(int axisIndex) const;

    void copyFrom(const ProgramModel& other);

    // The 115 data bytes of the program image: command 0x64, program number 0.
    ByteArray toSysExData() const;

    JoystickAxisData axisX;
    JoystickAxisData axisY;
    std::array<KnobData, numKnobs> knobs;
    std::array<PadData, numPadsPerBank> padsA;
    std::array<PadData, numPadsPerBank> padsB;
    std::array<std::int32_t, numGlobals> globals{};
};
