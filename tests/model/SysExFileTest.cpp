#include "model/SysExFile.h"
#include "model/ProgramFile.h"
#include "model/ProgramImage.h"
#include "support/ProgramFixtures.h"

#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

namespace
{
// A program message of the data with the command and program number put in.
ByteArray message(ByteArray data, int command, int number)
{
    data[3] = static_cast<std::uint8_t>(command);
    data[6] = static_cast<std::uint8_t>(number);
    data.insert(data.begin(), 0xf0);
    data.push_back(0xf7);
    return data;
}

ByteArray join(std::initializer_list<ByteArray> parts)
{
    ByteArray bytes;
    for (const auto& part : parts)
        bytes.insert(bytes.end(), part.begin(), part.end());
    return bytes;
}
} // namespace

TEST(SysExFile, ParseFindsEveryProgramOrRefusesTheWholeFile)
{
    juce::Random random(25);
    const ByteArray image = fixtures::randomModel(random).toSysExData();
    const ByteArray one = message(image, 0x64, 0), cut(one.begin(), one.begin() + 60);
    const ByteArray identity = fixtures::fromHex("f0 7e 7f 06 01 f7");
    const ByteArray request = fixtures::fromHex("f0 47 00 26 66 00 01 02 f7");
    const ByteArray noteOn = fixtures::fromHex("90 3c 40"), stray = fixtures::fromHex("f8 f7");
    ByteArray clocked = message(image, 0x64, 4), badValue = message(image, 0x64, 1);
    clocked.insert(clocked.begin() + 40, 0xf8); // a real-time byte inside is no part of the message
    badValue[54] = 2;                           // a pad's trigger type is 0 or 1

    // Each program as message number @ offset : command / program number, then the skipped messages
    // and bytes; or the problem.
    const std::pair<ByteArray, juce::String> cases[] = {
        {one, "1@0:64/0 skipped 0+0"},
        {join({message(image, 0x64, 1), message(image, 0x64, 2), message(image, 0x64, 3),
               message(image, 0x64, 4)}),
         "1@0:64/1 2@117:64/2 3@234:64/3 4@351:64/4 skipped 0+0"},
        {join({message(image, 0x67, 3), one, message(image, 0x67, 1)}),
         "1@0:67/3 2@117:64/0 3@234:67/1 skipped 0+0"},
        {join({noteOn, identity, message(image, 0x67, 2), request, stray, clocked}),
         "2@9:67/2 4@137:64/4 skipped 2+6"},
        {join({fixtures::fromHex("f0 7e 01 02 b0"), one}), "2@5:64/0 skipped 1+1"},
        {join({one, cut, noteOn}), "message 2 at offset 117: no end byte (0xF7)"},
        {join({cut, one}), "message 1 at offset 0: no end byte (0xF7)"},
        {join({identity, cut}), "message 2 at offset 6: no end byte (0xF7)"},
        {join({ByteArray(one.begin(), one.begin() + 79), {0xf7}}),
         "message 1 at offset 0: a program message of 80 bytes; one holds 117"},
        {join({one, badValue}),
         "message 2 at offset 117: the message's offset 54: byte 0x02 is outside 0 to 1 "
         "for Pad A7 Trigger (Momentary, Toggle)"},
        {message(image, 0x67, 5), "message 1 at offset 0: program number 5; 0 to 4 are programs"},
        {{}, "is empty"},
        {join({identity, request, {0x90, 0x3c}}), "holds no Velkor program"},
    };
    const ProgramValues expectedValues = ProgramSysEx::decodeValueBytes(image.data() + 7).value();
    for (const auto& [bytes, expected] : cases)
    {
        juce::String problem;
        const auto contents = SysExFile::parse(bytes, problem);
        juce::StringArray found(problem);
        for (const auto& p : contents ? contents->programs : std::vector<SysExFile::Program>())
        {
            found.add(juce::String(p.messageNumber) + "@" + juce::String(p.offset) + ":" +
                      juce::String::toHexString(p.command) + "/" + juce::String(p.programNumber));
            // What a window takes: a program file's data and their values.
            EXPECT_EQ(p.data, image);
            EXPECT_EQ(p.values, expectedValues);
        }
        if (contents)
            found.add("skipped " + juce::String(contents->skippedMessages) + "+" +
                      juce::String(contents->skippedBytes));
        found.removeEmptyStrings();
        EXPECT_EQ(found.joinIntoString(" "), expected);
    }
}

TEST(SysExFile, ReadsRegularFilesUpToTheCapAndWritesWhatAProgramFileHolds)
{
    const juce::File folder = juce::File::getSpecialLocation(juce::File::tempDirectory)
                                  .getChildFile("velkor-syx-" + juce::Uuid().toString());
    ASSERT_TRUE(folder.createDirectory());
    const ByteArray image = fixtures::defaultImage();
    EXPECT_EQ(SysExFile::writeMessage(image, 0), ProgramFile::makeImage(image));
    juce::String problem;
    const juce::File bank = folder.getChildFile("bank.syx");

    // Padding up to the cap is skipped; one byte more is refused unread.
    ByteArray capture = SysExFile::writeMessage(image, 3);
    capture.resize(static_cast<std::size_t>(SysExFile::maximumSize), 0);
    for (const char* expected : {"", "is larger than 64 KiB; a bank of five programs is 585 bytes"})
    {
        problem.clear();
        bank.replaceWithData(capture.data(), capture.size());
        const bool read = SysExFile::read(bank, problem).has_value();
        EXPECT_EQ(read, problem.isEmpty());
        EXPECT_EQ(problem, expected);
        capture.push_back(0);
    }
    EXPECT_FALSE(SysExFile::read(folder, problem).has_value());
    EXPECT_EQ(problem, "is a folder, not a SysEx file");
#if !defined(_WIN32)
    const juce::File fifo = folder.getChildFile("fifo.syx");
    ASSERT_EQ(mkfifo(fifo.getFullPathName().toRawUTF8(), 0644), 0);
    EXPECT_FALSE(SysExFile::read(fifo, problem).has_value()) << "and does not block";
    EXPECT_EQ(problem, "is not a regular file");
#endif
    folder.deleteRecursively();
}

TEST(SysExFile, ABankHoldsEachSlotOnceAndIsWrittenToItsSlots)
{
    // Program numbers in file order, and the slots by message number or the fault.
    const std::pair<std::vector<int>, juce::String> cases[] = {
        {{1, 2, 3, 4}, "1 2 3 4"},       {{4, 2, 3, 1}, "4 2 3 1"},     {{1, 0, 2, 3, 4}, "RAM 2"},
        {{3, 1, 3, 0}, "again 3 of 1"}, {{2, 4}, "missing 1 3"},       {{}, "missing 1 2 3 4"},
    };
    for (const auto& [numbers, expected] : cases)
    {
        SysExFile::Contents contents;
        for (int number : numbers)
            contents.programs.push_back({static_cast<int>(contents.programs.size()) + 1, 0, 0x64, number, {}, {}});
        const SysExFile::Bank bank = SysExFile::bankOf(contents);
        juce::StringArray found;
        using Fault = SysExFile::Bank::Fault;
        if (bank.fault == Fault::none)
            for (const auto& slot : bank.slots)
                found.add(juce::String(slot.messageNumber));
        else if (bank.fault == Fault::notASlot)
            found.add("RAM " + juce::String(bank.culprit.messageNumber));
        else if (bank.fault == Fault::repeatedSlot)
            found.add("again " + juce::String(bank.culprit.messageNumber) + " of " +
                      juce::String(bank.earlier.messageNumber));
        else
            for (int slot : bank.missing)
                found.add(found.isEmpty() ? "missing " + juce::String(slot) : juce::String(slot));
        EXPECT_EQ(found.joinIntoString(" "), expected);
    }

    juce::Random random(26);
    std::array<ByteArray, SlotFolder::numSlots> images;
    for (auto& image : images)
        image = ProgramImage::fromData(fixtures::randomModel(random).toSysExData());
    ByteArray bytes;
    for (const auto& m : SysExFile::bankMessages(images))
        bytes.insert(bytes.end(), m.begin(), m.end());
    juce::String problem;
    const auto contents = SysExFile::parse(bytes, problem);
    ASSERT_TRUE(contents.has_value()) << problem;
    const SysExFile::Bank bank = SysExFile::bankOf(*contents);
    ASSERT_EQ(bank.fault, SysExFile::Bank::Fault::none);
    for (std::size_t i = 0; i < images.size(); ++i)
        EXPECT_EQ(ProgramImage::fromData(bank.slots[i].data), images[i]);
}
