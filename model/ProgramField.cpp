#include "model/ProgramField.h"

#include "model/ProgramChoices.h"
#include "model/ProgramSysEx.h"

#include <stdexcept>

namespace
{
constexpr int tempoHighOffset = 18;
constexpr int tempoLowOffset = 19;

juce::StringArray trimmed(const juce::StringArray& items)
{
    juce::StringArray result;
    for (const auto& item : items)
        result.add(item.trim());
    return result;
}

struct TableBuilder
{
    std::vector<ProgramField> fields;

    ProgramField& add(const juce::String& group, const juce::String& row, const juce::String& name,
                      const juce::String& label, const juce::StringArray& path, int offset, int delta,
                      int lowest, int highest, ProgramField::Kind kind = ProgramField::Kind::number)
    {
        ProgramField field;
        field.group = group;
        field.row = row;
        field.name = name;
        field.label = label;
        field.path = path;
        field.offset = offset;
        field.delta = delta;
        field.lowest = lowest;
        field.highest = highest;
        field.kind = kind;
        fields.push_back(field);
        return fields.back();
    }

    // Item id n is the n-th text and the image stores n - 1.
    void addChoice(const juce::String& group, const juce::String& row, const juce::String& name,
                   const juce::String& label, const juce::StringArray& path, int offset,
                   const juce::StringArray& items)
    {
        add(group, row, name, label, path, offset, 1, 1, items.size(), ProgramField::Kind::choice).choices =
            trimmed(items);
    }
};

std::vector<ProgramField> makeTable()
{
    using Kind = ProgramField::Kind;
    TableBuilder t;

    t.add("CHANNELS", {}, "Pad MIDI Channel", "Pad MIDI Channel", {"channels", "pad"}, 8, 1, 1, 16);
    t.add("CHANNELS", {}, "Keybed / Controls MIDI Channel", "Keybed / Controls MIDI Channel",
          {"channels", "keybedAndControls"}, 9, 1, 1, 16);

    t.add("KEYBED", {}, "TRANSPOSE", "Keybed TRANSPOSE", {"keybed", "transpose"}, 115, -12, -12, 12);
    t.add("KEYBED", {}, "OCTAVE", "Keybed OCTAVE", {"keybed", "octave"}, 10, -4, -4, 4);

    const juce::String arp = "ARPEGGIATOR";
    t.add(arp, {}, "ON/OFF", "Arpeggiator ON/OFF", {"arpeggiator", "on"}, 11, 0, 0, 1, Kind::toggle)
        .choices = {"OFF", "ON"};
    t.addChoice(arp, {}, "MODE", "Arpeggiator MODE", {"arpeggiator", "mode"}, 12, ProgramChoices::arpModes());
    t.addChoice(arp, {}, "TIME DIV", "Arpeggiator TIME DIV", {"arpeggiator", "timeDivision"}, 13,
                ProgramChoices::timeDivisions());
    t.addChoice(arp, {}, "CLOCK", "Arpeggiator CLOCK", {"arpeggiator", "clock"}, 14,
                ProgramChoices::clocks());
    t.addChoice(arp, {}, "LATCH", "Arpeggiator LATCH", {"arpeggiator", "latch"}, 15,
                ProgramChoices::latches());
    t.addChoice(arp, {}, "SWING", "Arpeggiator SWING", {"arpeggiator", "swing"}, 16,
                ProgramChoices::swings());
    t.add(arp, {}, "TEMPO TAPS", "Arpeggiator TEMPO TAPS", {"arpeggiator", "tempoTaps"}, 17, 0, 2, 4);
    t.add(arp, {}, "TEMPO", "Arpeggiator TEMPO", {"arpeggiator", "tempo"}, tempoHighOffset, 0, 0, 255,
          Kind::tempo);
    t.add(arp, {}, "OCTAVE", "Arpeggiator OCTAVE", {"arpeggiator", "octaveRange"}, 20, 1, 1, 4);

    struct Axis
    {
        const char* caption;
        const char* key;
        const char* first;
        const char* second;
    };
    const Axis axes[] = {{"X AXIS", "x", "LEFT", "RIGHT"}, {"Y AXIS", "y", "DOWN", "UP"}};
    for (int a = 0; a < 2; ++a)
    {
        const Axis& axis = axes[a];
        const int base = 21 + 3 * a;
        const juce::String caption(axis.caption);
        t.addChoice("JOYSTICK", caption, "message type", "Joystick " + caption + " message type",
                    {"joystick", axis.key, "type"}, base, ProgramChoices::joystickMessageTypes());
        const juce::String firstName = "first CC (" + juce::String(axis.first) + ")";
        const juce::String secondName = "second CC (" + juce::String(axis.second) + ")";
        t.add("JOYSTICK", caption, firstName, "Joystick " + caption + " " + firstName,
              {"joystick", axis.key, "firstCc"}, base + 1, 0, 0, 127);
        t.add("JOYSTICK", caption, secondName, "Joystick " + caption + " " + secondName,
              {"joystick", axis.key, "secondCc"}, base + 2, 0, 0, 127);
    }

    for (int p = 0; p < 16; ++p)
    {
        const juce::String bank = p < 8 ? "A" : "B";
        const juce::String index(p % 8);
        const juce::String row = bank + juce::String(p % 8 + 1);
        const juce::String pad = "Pad " + row + " ";
        const int base = 27 + 4 * p;
        t.add("PADS", row, "Note", pad + "Note", {"pads", bank, index, "note"}, base, 0, 0, 127, Kind::note);
        t.add("PADS", row, "PC", pad + "PC", {"pads", bank, index, "programChange"}, base + 1, 0, 0, 127);
        t.add("PADS", row, "CC", pad + "CC", {"pads", bank, index, "cc"}, base + 2, 0, 0, 127);
        t.addChoice("PADS", row, "Trigger", pad + "Trigger", {"pads", bank, index, "trigger"}, base + 3,
                    ProgramChoices::triggerTypes());
    }

    for (int k = 0; k < 8; ++k)
    {
        const juce::String row(k + 1);
        const juce::String knob = "Knob " + row + " ";
        const juce::String index(k);
        const int base = 91 + 3 * k;
        t.add("KNOBS", row, "CC", knob + "CC", {"knobs", index, "cc"}, base, 0, 0, 127);
        t.add("KNOBS", row, "LO", knob + "LO", {"knobs", index, "lo"}, base + 1, 0, 0, 127);
        t.add("KNOBS", row, "HI", knob + "HI", {"knobs", index, "hi"}, base + 2, 0, 0, 127);
    }
    return t.fields;
}
} // namespace

const std::vector<ProgramField>& ProgramField::all()
{
    static const std::vector<ProgramField> table = makeTable();
    return table;
}

const ProgramField& ProgramField::atOffset(int byteOffset)
{
    for (const auto& field : all())
        if (field.offset == byteOffset || (field.kind == Kind::tempo && byteOffset == tempoLowOffset))
            return field;
    throw std::out_of_range("offset has no program value");
}

const ProgramField& ProgramField::withLabel(const juce::String& label)
{
    for (const auto& field : all())
        if (field.label == label)
            return field;
    throw std::out_of_range("no program value is called " + label.toStdString());
}

int ProgramField::read(const ByteArray& image) const
{
    if (kind == Kind::tempo)
        return (image.at(tempoHighOffset) << 7) | image.at(tempoLowOffset);
    return image.at(static_cast<std::size_t>(offset)) + delta;
}

void ProgramField::write(ByteArray& image, int value) const
{
    if (value < lowest || value > highest)
        throw std::out_of_range("program value out of range");
    if (kind == Kind::tempo)
    {
        image.at(tempoHighOffset) = static_cast<std::uint8_t>(value >> 7);
        image.at(tempoLowOffset) = static_cast<std::uint8_t>(value & 0x7f);
        return;
    }
    image.at(static_cast<std::size_t>(offset)) = static_cast<std::uint8_t>(value - delta);
}

juce::String ProgramField::describe(int value) const
{
    if ((kind == Kind::choice || kind == Kind::toggle) && value >= lowest && value <= highest)
        return choices[value - lowest];
    if (kind == Kind::note && value >= 0 && value <= 127)
        return juce::String(value) + " (" + ProgramChoices::padNoteName(value) + ")";
    return juce::String(value);
}

juce::String ProgramField::describeRange() const
{
    if (kind == Kind::choice || kind == Kind::toggle)
        return choices.joinIntoString(", ");
    return juce::String(lowest) + " to " + juce::String(highest);
}

juce::Range<int> ProgramField::byteRange(int byteOffset) const
{
    if (kind == Kind::tempo)
        return byteOffset == tempoHighOffset ? juce::Range<int>(0, 2) : juce::Range<int>(0, 128);
    return {lowest - delta, highest - delta + 1};
}

bool ProgramField::valueFromText(const juce::String& text, int& value) const
{
    if (kind != Kind::choice && kind != Kind::toggle)
        return false;
    const int index = choices.indexOf(text.trim(), true);
    if (index < 0)
        return false;
    value = lowest + index;
    return true;
}
