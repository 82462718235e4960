#include "support/ProgramFixtures.h"
#include "midi/ProgramMessages.h"
#include "model/midiFormatException.h"

#include <gtest/gtest.h>

namespace
{
juce::MidiMessage sysEx(const ByteArray& data)
{
    return juce::MidiMessage::createSysExMessage(data.data(), static_cast<int>(data.size()));
}

// Valid bytes of every value offset, as the image layout states them.
struct OffsetRange
{
    int offset, lowest, highest;
};

std::vector<OffsetRange> imageRanges()
{
    std::vector<OffsetRange> ranges = {{8, 0, 15},   {9, 0, 15},   {10, 0, 8},   {11, 0, 1},  {12, 0, 5},
                                       {13, 0, 7},   {14, 0, 1},   {15, 0, 1},   {16, 0, 5},  {17, 2, 4},
                                       {18, 0, 1},   {19, 0, 127}, {20, 0, 3},   {21, 0, 2},  {22, 0, 127},
                                       {23, 0, 127}, {24, 0, 2},   {25, 0, 127}, {26, 0, 127}};
    for (int p = 0; p < 16; ++p)
    {
        for (int i = 0; i < 3; ++i)
            ranges.push_back({27 + 4 * p + i, 0, 127});
        ranges.push_back({30 + 4 * p, 0, 1});
    }
    for (int offset = 91; offset <= 114; ++offset)
        ranges.push_back({offset, 0, 127});
    ranges.push_back({115, 0, 24});
    return ranges;
}
} // namespace

TEST(ProgramSysEx, DefaultProgramEncodesToTheKnownImage)
{
    ByteArray expected = fixtures::fromHex("47 00 26 64 00 6D 00 00 00 04 00 00 00 00 00 00 03 01 00 00 "
                                           "00 00 00 01 01 01");
    for (int k = 0; k < 8; ++k)
        expected.insert(expected.end(), {std::uint8_t(0x2c + k), std::uint8_t(k), std::uint8_t(k + 1), 1});
    for (int k = 0; k < 8; ++k)
        expected.insert(expected.end(),
                        {std::uint8_t(0x20 + k), std::uint8_t(8 + k), std::uint8_t(9 + k), 1});
    for (int k = 0; k < 8; ++k)
        expected.insert(expected.end(), {std::uint8_t(k + 1), 0, 0x7f});
    expected.push_back(0x0c);

    const ByteArray image = fixtures::defaultImage();
    ASSERT_EQ(image.size(), 115u);
    EXPECT_EQ(image, expected);
    EXPECT_EQ(ByteArray(image.end() - 7, image.end()), fixtures::fromHex("07 00 7F 08 00 7F 0C"));
}

TEST(ProgramSysEx, SplitAndOffsetValuesEncodeAtTheirLimits)
{
    ProgramModel m;
    fixtures::setToDefaults(m);
    const auto encoded = [&m](int dataIndex) { return int(m.toSysExData()[std::size_t(dataIndex)]); };

    m.setGlobal(9, 240);
    EXPECT_EQ(encoded(17), 1);
    EXPECT_EQ(encoded(18), 112);
    m.setGlobal(9, 128);
    EXPECT_EQ(encoded(17), 1);
    EXPECT_EQ(encoded(18), 0);
    m.setGlobal(9, 127);
    EXPECT_EQ(encoded(17), 0);
    EXPECT_EQ(encoded(18), 127);

    m.setGlobal(11, -12);
    EXPECT_EQ(encoded(114), 0);
    m.setGlobal(11, 12);
    EXPECT_EQ(encoded(114), 24);
    m.setGlobal(12, -4);
    EXPECT_EQ(encoded(9), 0);
    m.setGlobal(12, 4);
    EXPECT_EQ(encoded(9), 8);

    auto values = decodeProgramSysEx(sysEx(m.toSysExData()));
    EXPECT_EQ(values[2], 4);
    EXPECT_EQ(values[107], 12);
    m.setGlobal(9, 240);
    values = decodeProgramSysEx(sysEx(m.toSysExData()));
    EXPECT_EQ(values[10] * 128 + values[11], 240);
}

TEST(ProgramSysEx, RandomProgramsSurviveEncodeDecodeApply)
{
    juce::Random random(20261208);
    for (int i = 0; i < 2000; ++i)
    {
        const ProgramModel source = fixtures::randomModel(random);
        const ProgramValues values = decodeProgramSysEx(sysEx(source.toSysExData()));
        ASSERT_EQ(values.size(), 108u);

        ProgramModel loaded;
        fixtures::applyToModel(values, loaded);
        ASSERT_EQ(fixtures::allValues(loaded), fixtures::allValues(source)) << "program " << i;
        ASSERT_EQ(loaded.toSysExData(), source.toSysExData()) << "program " << i;
    }
}

TEST(ProgramSysEx, EveryOffsetAcceptsExactlyItsRange)
{
    const ByteArray valid = fixtures::defaultImage();
    for (const auto& r : imageRanges())
    {
        SCOPED_TRACE("offset " + std::to_string(r.offset));
        ByteArray data = valid;
        auto& byte = data[std::size_t(r.offset - 1)];

        for (const int accepted : {r.lowest, r.highest})
        {
            byte = std::uint8_t(accepted);
            EXPECT_NO_THROW(decodeProgramSysEx(sysEx(data))) << accepted;
        }
        for (const int refused : {r.lowest - 1, r.highest + 1, 0x80, 0xff})
        {
            if (refused < 0)
                continue;
            byte = std::uint8_t(refused);
            EXPECT_THROW(decodeProgramSysEx(sysEx(data)), midiFormatException) << refused;
        }
    }
}

TEST(ProgramSysEx, DecodedValuesAreInExchangeForm)
{
    ByteArray data = fixtures::defaultImage();
    data[7] = 15;   // pad channel 16
    data[9] = 0;    // octave -4
    data[19] = 3;   // octave range 4
    data[20] = 2;   // X axis CC 2
    data[29] = 0;   // pad 1 of bank A momentary
    data[114] = 24; // transpose +12
    const ProgramValues v = decodeProgramSysEx(sysEx(data));
    EXPECT_EQ(v[0], 16);
    EXPECT_EQ(v[2], -4);
    EXPECT_EQ(v[9], 3) << "tempo taps travel as they are";
    EXPECT_EQ(v[12], 4);
    EXPECT_EQ(v[13], 3);
    EXPECT_EQ(v[16], 2);
    EXPECT_EQ(v[22], 1);
    EXPECT_EQ(v[26], 2);
    EXPECT_EQ(v[107], 12);
}

TEST(ProgramSysEx, OnlyAProgramLengthDecodes)
{
    const ByteArray valid = fixtures::defaultImage();
    for (const std::size_t size : {0u, 114u, 116u, 117u})
    {
        ByteArray data = valid;
        data.resize(size, 0);
        EXPECT_THROW(decodeProgramSysEx(sysEx(data)), midiFormatException) << size;
    }
    EXPECT_THROW(decodeProgramSysEx(juce::MidiMessage::noteOn(1, 60, 0.5f)), midiFormatException);
    EXPECT_THROW(decodeProgramSysExData(nullptr, 115), midiFormatException);
    EXPECT_STREQ(midiFormatException().what(), "MIDI Sysex Format Error");
}

TEST(ProgramSysEx, CommandIsReadFromManufacturerAndProductOnly)
{
    ByteArray dump = fixtures::defaultImage();
    dump[3] = 0x67;
    dump[1] = 0x05; // device id
    dump[4] = 0x7f; // length bytes
    dump[5] = 0x00;
    dump[6] = 0x03; // program number
    EXPECT_EQ(getSysExCommand(sysEx(dump)), 0x67);
    EXPECT_NO_THROW(decodeProgramSysEx(sysEx(dump))) << "a dump from another device id still decodes";

    EXPECT_EQ(getSysExCommand(sysEx({0x47, 0x00, 0x26, 0x66, 0x00, 0x01, 0x02})), 0x66);
    EXPECT_EQ(getSysExCommand(sysEx({0x47, 0x00, 0x26, 0x66, 0x00, 0x01})), 0)
        << "six data bytes are too few";
    EXPECT_EQ(getSysExCommand(sysEx({0x48, 0x00, 0x26, 0x67, 0x00, 0x6d, 0x00})), 0);
    EXPECT_EQ(getSysExCommand(sysEx({0x47, 0x00, 0x27, 0x67, 0x00, 0x6d, 0x00})), 0);
    EXPECT_EQ(getSysExCommand(juce::MidiMessage::controllerEvent(1, 7, 100)), 0);
}

TEST(ProgramSysEx, ValidationKindsFollowTheImageLayout)
{
    EXPECT_EQ(valueKind(8), 0);
    EXPECT_EQ(valueKind(10), 13);
    EXPECT_EQ(valueKind(18), 10);
    EXPECT_EQ(valueKind(19), 9);
    EXPECT_EQ(valueKind(24), 15);
    EXPECT_EQ(valueKind(26), 14);
    for (int p = 0; p < 16; ++p)
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(valueKind(27 + 4 * p + i), 16 + i);
    for (int k = 0; k < 8; ++k)
    {
        EXPECT_EQ(valueKind(91 + 3 * k), 21);
        EXPECT_EQ(valueKind(92 + 3 * k), 22);
        EXPECT_EQ(valueKind(93 + 3 * k), 20);
    }
    EXPECT_EQ(valueKind(115), 12);
    for (const int bad : {-1, 0, 7, 116, 117})
        EXPECT_THROW(valueKind(bad), std::exception) << bad;

    for (int kind = 23; kind < 30; ++kind)
        EXPECT_FALSE(isValidValue(0, kind));
    EXPECT_FALSE(isValidValue(0, -1));
    EXPECT_TRUE(isValidValue(127, 22));
    EXPECT_FALSE(isValidValue(128, 22));
}

TEST(ProgramSysEx, AdjustingAShortArrayNeverOverruns)
{
    ProgramValues values;
    adjustDecodedValues(values);
    EXPECT_FALSE(values.empty());
    EXPECT_NE(values.size(), 108u);
}

TEST(ProgramSysEx, WriteAndRequestMessagesCarryTheProgramNumber)
{
    const ByteArray image = fixtures::defaultImage();
    for (int number = 0; number <= 4; ++number)
    {
        const juce::MidiMessage write = ProgramSysEx::programWriteMessage(image, number);
        ASSERT_EQ(write.getRawDataSize(), 117);
        const std::uint8_t* raw = write.getRawData();
        EXPECT_EQ(raw[0], 0xf0);
        EXPECT_EQ(raw[116], 0xf7);
        EXPECT_EQ(raw[7], number);
        ByteArray body(raw + 1, raw + 116);
        body[6] = 0;
        EXPECT_EQ(body, image) << "nothing but the program number differs from the image";

        const juce::MidiMessage request = ProgramSysEx::programRequestMessage(number);
        EXPECT_EQ(ByteArray(request.getRawData(), request.getRawData() + request.getRawDataSize()),
                  (ByteArray{0xf0, 0x47, 0x00, 0x26, 0x66, 0x00, 0x01, std::uint8_t(number), 0xf7}));
    }
    EXPECT_THROW(ProgramSysEx::programRequestMessage(5), std::out_of_range);
    EXPECT_THROW(ProgramSysEx::programWriteMessage(image, -1), std::out_of_range);
    EXPECT_THROW(ProgramSysEx::programWriteMessage(ByteArray(114), 1), std::invalid_argument);
}
