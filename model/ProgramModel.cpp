#include "model/ProgramModel.h"

#include "model/ProgramSysEx.h"

#include <cmath>
#include <limits>
#include <stdexcept>

namespace
{
bool isKnobIndex(int knob)
{
    return knob >= 0 && knob < ProgramModel::numKnobs;
}
} // namespace

ProgramModel ProgramModel::makeDefault()
{
    ProgramModel m;
    const int defaults[numGlobals] = {1, 1, 0, 1, 1, 1, 1, 1, 3, 128, 1, 0, 0};
    for (int id = 0; id < numGlobals; ++id)
        m.setGlobal(id, defaults[id]);
    m.axisX.setValue(JoystickAxisData::messageTypeField, 1);
    m.axisY.setValue(JoystickAxisData::messageTypeField, 2);
    m.axisY.setValue(JoystickAxisData::firstCcField, 1);
    m.axisY.setValue(JoystickAxisData::secondCcField, 1);
    for (int bank = 0; bank < numBanks; ++bank)
        for (int k = 0; k < numPadsPerBank; ++k)
        {
            PadData& p = m.pad(bank, k);
            p.noteValue = (bank == 0 ? 44 : 32) + k;
            p.programChangeValue = 8 * bank + k;
            p.ccValue = 8 * bank + k + 1;
            p.isToggle = true;
        }
    for (int k = 0; k < numKnobs; ++k)
    {
        m.setKnob(k, KnobData::ccNumberField, k + 1);
        m.setKnob(k, KnobData::maxValueField, 127);
    }
    return m;
}

ProgramModel::ProgramModel(const ProgramModel& other)
{
    copyFrom(other);
}

ProgramModel& ProgramModel::operator=(const ProgramModel& other)
{
    if (this != &other)
        copyFrom(other);
    return *this;
}

int ProgramModel::getGlobal(int id) const
{
    return id >= 0 && id < numGlobals ? globals[static_cast<std::size_t>(id)] : 0;
}

void ProgramModel::setGlobal(int id, double value)
{
    // A value beyond 32 bits is clamped rather than cast, which would be undefined.
    if (id < 0 || id >= numGlobals || std::isnan(value))
        return;
    const double whole = std::trunc(value);
    const double lowest = std::numeric_limits<std::int32_t>::min();
    const double highest = std::numeric_limits<std::int32_t>::max();
    globals[static_cast<std::size_t>(id)] =
        static_cast<std::int32_t>(whole < lowest ? lowest : (whole > highest ? highest : whole));
}

int ProgramModel::getKnob(int knob, int field) const
{
    if (!isKnobIndex(knob))
        return 0;
    const KnobData& k = knobs[static_cast<std::size_t>(knob)];
    switch (field)
    {
    case KnobData::ccNumberField:
        return k.ccNumber & 0xff;
    case KnobData::minValueField:
        return k.minValue & 0xff;
    case KnobData::maxValueField:
        return k.maxValue & 0xff;
    default:
        return 0;
    }
}

void ProgramModel::setKnob(int knob, int field, int value)
{
    if (!isKnobIndex(knob))
        return;
    KnobData& k = knobs[static_cast<std::size_t>(knob)];
    switch (field)
    {
    case KnobData::ccNumberField:
        k.ccNumber = value & 0xff;
        break;
    case KnobData::minValueField:
        k.minValue = value & 0xff;
        break;
    case KnobData::maxValueField:
        k.maxValue = value & 0xff;
        break;
    default:
        break;
    }
}

PadData& ProgramModel::pad(int bank, int padIndex)
{
    return const_cast<PadData&>(static_cast<const ProgramModel&>(*this).pad(bank, padIndex));
}

const PadData& ProgramModel::pad(int bank, int padIndex) const
{
    if (padIndex < 0 || padIndex >= numPadsPerBank || bank < 0 || bank >= numBanks)
        throw std::out_of_range("pad index");
    return (bank == 0 ? padsA : padsB)[static_cast<std::size_t>(padIndex)];
}

JoystickAxisData& ProgramModel::axis(int axisIndex)
{
    return const_cast<JoystickAxisData&>(static_cast<const ProgramModel&>(*this).axis(axisIndex));
}

const JoystickAxisData& ProgramModel::axis(int axisIndex) const
{
    if (axisIndex < 0 || axisIndex >= numAxes)
        throw std::out_of_range("axis index");
    return axisIndex == 0 ? axisX : axisY;
}

void ProgramModel::copyFrom(const ProgramModel& other)
{
    for (int k = 0; k < numKnobs; ++k)
        for (const int field : {KnobData::ccNumberField, KnobData::maxValueField, KnobData::minValueField})
            setKnob(k, field, other.getKnob(k, field));

    for (std::size_t p = 0; p < numPadsPerBank; ++p)
    {
        for (auto* bank : {&padsA, &padsB})
        {
            const PadData& source = (bank == &padsA ? other.padsA : other.padsB)[p];
            PadData& target = (*bank)[p];
            target.ccValue = source.ccValue;
            target.programChangeValue = source.programChangeValue;
            target.noteValue = source.noteValue;
            target.isToggle = source.getValue(PadData::triggerTypeField) == PadData::toggleId;
        }
    }

    for (int a = 0; a < numAxes; ++a)
    {
        const JoystickAxisData& source = other.axis(a);
        JoystickAxisData& target = axis(a);
        target.setValue(JoystickAxisData::messageTypeField,
                        source.getValue(JoystickAxisData::messageTypeField));
        target.setValue(JoystickAxisData::firstCcField, source.firstCc);
        target.setValue(JoystickAxisData::secondCcField, source.secondCc);
    }

    for (int id = 0; id < numGlobals; ++id)
        setGlobal(id, other.getGlobal(id));
}

ByteArray ProgramModel::toSysExData() const
{
    ByteArray data(ProgramSysEx::headerSize);
    ProgramSysEx::writeHeader(data.data(), ProgramSysEx::programWriteCommand, 0);

    const auto g = [this](GlobalId id) { return getGlobal(id); };
    for (const int value :
         {g(padChannel) - 1, g(keybedChannel) - 1, g(keybedOctave) + 4, g(arpOn), g(arpMode) - 1,
          g(arpTimeDivision) - 1, g(arpClock) - 1, g(arpLatch) - 1, g(arpSwing) - 1, g(arpTempoTaps),
          (g(arpTempo) & 0xff) >> 7, g(arpTempo) & 0x7f, g(arpOctaveRange) - 1})
        data.push_back(static_cast<std::uint8_t>(value));

    const auto append = [&data](const Control& record)
    {
        const ByteArray bytes = record.toBytes();
        data.insert(data.end(), bytes.begin(), bytes.end());
    };
    append(axisX);
    append(axisY);
    for (const PadData& p : padsA)
        append(p);
    for (const PadData& p : padsB)
        append(p);
    for (const KnobData& k : knobs)
        append(k);

    data.push_back(static_cast<std::uint8_t>(g(transposition) + 12));
    return data;
}
