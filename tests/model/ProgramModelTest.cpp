#include "support/ProgramFixtures.h"

#include <gtest/gtest.h>

TEST(PadData, TriggerTypeTravelsAsIdAndAsFourthImageByte)
{
    PadData pad;
    pad.noteValue = 60;
    pad.ccValue = 7;
    pad.programChangeValue = 9;
    pad.isToggle = true;
    EXPECT_EQ(pad.getValue(3), 2);
    EXPECT_EQ(pad.toBytes(), (ByteArray{60, 9, 7, 1})); // program change before CC

    pad.isToggle = false;
    EXPECT_EQ(pad.getValue(3), 1);
    EXPECT_EQ(pad.toBytes()[3], 0);
    EXPECT_EQ(pad.getValue(1), 7);
    EXPECT_EQ(pad.getValue(2), 9);
}

TEST(PadData, FromBytesReadsImageOrderAndZeroFillsShortInput)
{
    PadData pad;
    pad.fromBytes({10, 20, 30, 5});
    EXPECT_EQ(pad.noteValue, 10);
    EXPECT_EQ(pad.programChangeValue, 20);
    EXPECT_EQ(pad.ccValue, 30);
    EXPECT_TRUE(pad.isToggle);

    pad.fromBytes({11});
    EXPECT_EQ(pad.noteValue, 11);
    EXPECT_EQ(pad.programChangeValue, 0);
    EXPECT_EQ(pad.ccValue, 0);
    EXPECT_FALSE(pad.isToggle);

    KnobData knob;
    knob.fromBytes({1, 2});
    EXPECT_EQ(knob.toBytes(), (ByteArray{1, 2, 0}));
}

TEST(JoystickAxisData, MessageTypeIdsMapToInternalCodes)
{
    JoystickAxisData axis;
    const int codeForId[] = {-1, 2, 0, 1};
    for (int id = 1; id <= 3; ++id)
    {
        axis.setValue(2, id);
        EXPECT_EQ(axis.messageType, codeForId[id]);
        EXPECT_EQ(axis.getValue(2), id);
        EXPECT_EQ(axis.toBytes()[0], id - 1);
    }

    axis.setValue(2, 1);
    axis.setValue(2, 0);
    axis.setValue(2, 4);
    EXPECT_EQ(axis.getValue(2), 1) << "ids outside 1 to 3 leave the type unchanged";
    EXPECT_EQ(axis.toBytes()[0], 0);

    axis.setValue(0, 300);
    axis.setValue(1, 129);
    EXPECT_EQ(axis.getValue(0), 44);
    EXPECT_EQ(axis.getValue(1), 129);
    axis.fromBytes({2, 9, 9});
    EXPECT_EQ(axis.toBytes(), (ByteArray{0, 44, 129})) << "an axis is never set from bytes";
}

TEST(ProgramModel, StoresLowEightBitsAndTruncatedGlobals)
{
    ProgramModel m;
    m.setKnob(3, 0, 300);
    EXPECT_EQ(m.getKnob(3, 0), 44);
    m.knobs[2].maxValue = 0x1ff; // a value written past the setter still reads back as 8 bits
    EXPECT_EQ(m.getKnob(2, 2), 0xff);

    m.setGlobal(9, 120.9);
    EXPECT_EQ(m.getGlobal(9), 120);
    m.setGlobal(11, -3.7);
    EXPECT_EQ(m.getGlobal(11), -3);
}

TEST(ProgramModel, OutOfRangeArgumentsNeitherCrashNorWrap)
{
    ProgramModel m;
    m.setGlobal(9, 100);
    m.setGlobal(13, 5);
    m.setGlobal(-1, 5);
    EXPECT_EQ(m.getGlobal(13), 0);
    m.setGlobal(9, std::nan(""));
    EXPECT_EQ(m.getGlobal(9), 100);
    m.setGlobal(9, 1e12);
    EXPECT_EQ(m.getGlobal(9), std::numeric_limits<std::int32_t>::max());
    m.setGlobal(9, -1e12);
    EXPECT_EQ(m.getGlobal(9), std::numeric_limits<std::int32_t>::min());

    m.setKnob(8, 0, 5);
    EXPECT_EQ(m.getKnob(8, 0), 0);
    EXPECT_EQ(m.getKnob(0, 3), 0);
    EXPECT_THROW(m.pad(2, 0), std::out_of_range);
    EXPECT_THROW(m.pad(0, 8), std::out_of_range);
    EXPECT_THROW(m.axis(2), std::out_of_range);
}

TEST(ProgramModel, CopiesAreEqualAndIndependent)
{
    juce::Random random(17);
    const ProgramModel source = fixtures::randomModel(random);

    ProgramModel copy(source);
    EXPECT_EQ(fixtures::allValues(copy), fixtures::allValues(source));
    EXPECT_EQ(copy.toSysExData(), source.toSysExData());

    copy.padsB[7].noteValue = source.padsB[7].noteValue ^ 1;
    copy.setKnob(0, 2, source.getKnob(0, 2) ^ 1);
    copy.axisY.setValue(2, source.axisY.getValue(2) % 3 + 1);
    copy.setGlobal(9, source.getGlobal(9) + 1);
    EXPECT_NE(fixtures::allValues(copy), fixtures::allValues(source));

    ProgramModel other;
    other.copyFrom(copy);
    EXPECT_EQ(fixtures::allValues(other), fixtures::allValues(copy));
    other = source;
    EXPECT_EQ(fixtures::allValues(other), fixtures::allValues(source));
}
