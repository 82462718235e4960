#pragma once

#include "model/ProgramModel.h"
#include "model/ProgramSysEx.h"

#include <juce_core/juce_core.h>

namespace fixtures
{
inline void setToDefaults(ProgramModel& m)
{
    m = ProgramModel::makeDefault();
}

// Any program the image can carry, tempo 0 to 255 included.
inline ProgramModel randomModel(juce::Random& random)
{
    const auto in = [&random](int lowest, int highest)
    { return lowest + random.nextInt(highest - lowest + 1); };
    ProgramModel m;
    const int ranges[ProgramModel::numGlobals][2] = {{1, 16}, {1, 16},   {0, 1}, {1, 6}, {1, 8},
                                                     {1, 2},  {1, 2},    {1, 6}, {2, 4}, {0, 255},
                                                     {1, 4},  {-12, 12}, {-4, 4}};
    for (int id = 0; id < ProgramModel::numGlobals; ++id)
        m.setGlobal(id, in(ranges[id][0], ranges[id][1]));
    for (auto* a : {&m.axisX, &m.axisY})
    {
        a->setValue(2, in(1, 3));
        a->setValue(0, in(0, 127));
        a->setValue(1, in(0, 127));
    }
    for (auto* bank : {&m.padsA, &m.padsB})
        for (PadData& p : *bank)
        {
            p.noteValue = in(0, 127);
            p.ccValue = in(0, 127);
            p.programChangeValue = in(0, 127);
            p.isToggle = random.nextBool();
        }
    for (int k = 0; k < 8; ++k)
        for (int field = 0; field < 3; ++field)
            m.setKnob(k, field, in(0, 127));
    return m;
}

// What loading decoded values does to a program, written straight into a model.
inline void applyToModel(const ProgramValues& values, ProgramModel& m)
{
    const auto v = [&values](int index) { return values[static_cast<std::size_t>(index)]; };
    const int order[] = {0, 1, 12, 2, 3, 4, 5, 6, 7, 8};
    for (int i = 0; i < 10; ++i)
        m.setGlobal(order[i], v(i));
    m.setGlobal(9, v(10) * 128 + v(11));
    m.setGlobal(10, v(12));
    m.setGlobal(11, v(107));
    for (int a = 0; a < 2; ++a)
    {
        JoystickAxisData& axis = m.axis(a);
        axis.setValue(2, v(13 + 3 * a));
        axis.setValue(0, v(14 + 3 * a));
        axis.setValue(1, v(15 + 3 * a));
    }
    for (int p = 0; p < 16; ++p)
    {
        PadData& pad = m.pad(p / 8, p % 8);
        const int b = 19 + 4 * p;
        pad.noteValue = v(b);
        pad.programChangeValue = v(b + 1);
        pad.ccValue = v(b + 2);
        pad.isToggle = v(b + 3) == PadData::toggleId;
    }
    for (int k = 0; k < 8; ++k)
        for (int field = 0; field < 3; ++field)
            m.setKnob(k, field, v(83 + 3 * k + field));
}

// Every value of a program in one list, so two programs compare in one assertion.
inline std::vector<int> allValues(const ProgramModel& m)
{
    std::vector<int> values(m.globals.begin(), m.globals.end());
    for (const auto* a : {&m.axisX, &m.axisY})
        for (int field = 0; field < 3; ++field)
            values.push_back(a->getValue(field));
    for (const auto* bank : {&m.padsA, &m.padsB})
        for (const PadData& p : *bank)
            for (int field = 0; field < 4; ++field)
                values.push_back(p.getValue(field));
    for (int k = 0; k < 8; ++k)
        for (int field = 0; field < 3; ++field)
            values.push_back(m.getKnob(k, field));
    return values;
}

inline ByteArray defaultImage()
{
    ProgramModel m;
    setToDefaults(m);
    return m.toSysExData();
}

inline ByteArray fromHex(const char* hex)
{
    ByteArray bytes;
    for (const auto& token : juce::StringArray::fromTokens(hex, " ", ""))
        if (token.isNotEmpty())
            bytes.push_back(static_cast<std::uint8_t>(token.getHexValue32()));
    return bytes;
}
} // namespace fixtures
