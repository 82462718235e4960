#include "model/ProgramField.h"
#include "model/ProgramImage.h"
#include "model/ProgramFile.h"
#include "support/ProgramFixtures.h"

#include <gtest/gtest.h>

namespace
{
ByteArray imageOf(const ProgramModel& model)
{
    return ProgramFile::makeImage(model.toSysExData());
}
} // namespace

TEST(ProgramField, TableKeepsEveryOffsetOnceWithTheBytesTheDecoderAccepts)
{
    std::map<int, int> owners;
    for (const auto& field : ProgramField::all())
    {
        ++owners[field.offset];
        if (field.kind == ProgramField::Kind::tempo)
            ++owners[field.offset + 1];
    }
    for (int offset = ProgramSysEx::firstValueOffset; offset <= ProgramSysEx::lastValueOffset; ++offset)
    {
        ASSERT_EQ(owners[offset], 1) << "offset " << offset;
        const auto range = ProgramField::atOffset(offset).byteRange(offset);
        for (int byte = 0; byte < 256; ++byte)
            ASSERT_EQ(range.contains(byte), isValidValue(static_cast<std::uint8_t>(byte), valueKind(offset)))
                << "offset " << offset << " byte " << byte;
    }
    EXPECT_EQ(owners.size(), 108u);
    EXPECT_THROW(ProgramField::atOffset(7), std::out_of_range);
}

TEST(ProgramField, ReadsTheValuesTheEditorLoadsAndWritesThemBack)
{
    juce::Random random(71);
    for (int run = 0; run < 200; ++run)
    {
        const ByteArray image = imageOf(fixtures::randomModel(random));
        const ProgramValues values = decodeProgramSysExData(image.data() + 1, ProgramSysEx::dataSize);
        ByteArray rebuilt = ProgramImage::makeDefault();
        for (const auto& field : ProgramField::all())
        {
            const int value = field.read(image);
            const auto index = static_cast<std::size_t>(field.offset - ProgramSysEx::firstValueOffset);
            if (field.kind == ProgramField::Kind::tempo)
                ASSERT_EQ(value, values[10] * 128 + values[11]);
            else
                ASSERT_EQ(value, values[index]) << field.label;
            ASSERT_GE(value, field.lowest) << field.label;
            ASSERT_LE(value, field.highest) << field.label;
            field.write(rebuilt, value);
        }
        ASSERT_EQ(rebuilt, image);
    }
}

TEST(ProgramField, NamesValuesAsThePanelShowsThem)
{
    ProgramModel model = ProgramModel::makeDefault();
    model.setGlobal(ProgramModel::arpMode, 6);
    model.setGlobal(ProgramModel::arpLatch, 1);
    model.setGlobal(ProgramModel::arpTempo, 240);
    model.pad(1, 7).noteValue = 61;
    model.axisY.setValue(JoystickAxisData::messageTypeField, 3);
    const ByteArray image = imageOf(model);

    const auto text = [&image](const juce::String& label)
    {
        for (const auto& field : ProgramField::all())
            if (field.label == label)
                return field.describe(field.read(image));
        return juce::String("no field " + label);
    };
    EXPECT_EQ(text("Arpeggiator MODE"), "RANDOM");
    EXPECT_EQ(text("Arpeggiator LATCH"), "OFF") << "the panel's item text, without its trailing space";
    EXPECT_EQ(text("Arpeggiator TEMPO"), "240");
    EXPECT_EQ(text("Pad B8 Note"), "61 (C#4)");
    EXPECT_EQ(text("Joystick Y AXIS message type"), "CC 2");
    EXPECT_EQ(text("Arpeggiator ON/OFF"), "OFF");

    const auto& latch = ProgramField::atOffset(15);
    int value = 0;
    EXPECT_TRUE(latch.valueFromText(" on ", value));
    EXPECT_EQ(value, 2);
    EXPECT_FALSE(latch.valueFromText("maybe", value));
    EXPECT_FALSE(ProgramField::atOffset(17).valueFromText("3", value)) << "numbers are not choices";
}
