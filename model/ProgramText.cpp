#include "model/ProgramText.h"

#include "model/ProgramField.h"
#include "model/ProgramChoices.h"

namespace ProgramText
{
namespace
{
juce::String pad(const juce::String& text, int width)
{
    return text.paddedRight(' ', width);
}

// Pads and knobs as tables: one row a pad or knob, one column a caption.
void addTable(juce::String& text, const juce::String& group, const ByteArray& image)
{
    juce::StringArray columns;
    juce::StringArray rows;
    for (const auto& field : ProgramField::all())
    {
        if (field.group != group)
            continue;
        columns.addIfNotAlreadyThere(field.name);
        rows.addIfNotAlreadyThere(field.row);
    }

    std::vector<int> widths;
    for (const auto& column : columns)
    {
        int width = column.length();
        for (const auto& field : ProgramField::all())
            if (field.group == group && field.name == column)
                width = juce::jmax(width, field.describe(field.read(image)).length());
        widths.push_back(width + 3);
    }

    const int rowWidth = 9;
    juce::String heading = pad(group, rowWidth + 2);
    for (int c = 0; c < columns.size(); ++c)
        heading += pad(columns[c], widths[static_cast<std::size_t>(c)]);
    text << heading.trimEnd() << "\n";
    for (const auto& row : rows)
    {
        juce::String line = "  " + pad(row, rowWidth);
        for (const auto& field : ProgramField::all())
            if (field.group == group && field.row == row)
                line += pad(field.describe(field.read(image)),
                            widths[static_cast<std::size_t>(columns.indexOf(field.name))]);
        text << line.trimEnd() << "\n";
    }
}

void addList(juce::String& text, const juce::String& group, const ByteArray& image)
{
    text << group << "\n";
    for (const auto& field : ProgramField::all())
        if (field.group == group)
            text << "  " << pad(field.row.isEmpty() ? field.name : field.row + " " + field.name, 32)
                 << field.describe(field.read(image)) << "\n";
}
} // namespace

juce::String show(const ByteArray& image)
{
    juce::String text;
    addList(text, "CHANNELS", image);
    text << "\n";
    addList(text, "KEYBED", image);
    const auto& octave = ProgramField::atOffset(10);
    const auto& transpose = ProgramField::atOffset(115);
    text << "  " << pad("lowest key", 32)
         << ProgramChoices::keybedNoteName(octave.read(image) * 12 + 60 + transpose.read(image)) << "\n\n";
    addList(text, "ARPEGGIATOR", image);
    text << "\n";
    addList(text, "JOYSTICK", image);
    text << "\n";
    addTable(text, "PADS", image);
    text << "\n";
    addTable(text, "KNOBS", image);
    return text;
}

juce::StringArray diff(const ByteArray& first, const ByteArray& second)
{
    juce::StringArray lines;
    for (const auto& field : ProgramField::all())
    {
        const int a = field.read(first);
        const int b = field.read(second);
        if (a != b)
            lines.add(field.label + ": " + field.describe(a) + " -> " + field.describe(b));
    }
    return lines;
}
} // namespace ProgramText
