#include "model/ProgramImage.h"
#include "model/ProgramFile.h"
#include "support/ProgramFixtures.h"
#include "model/SlotFolder.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
class SlotFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        juce::Random random(11);
        for (auto& image : images)
            image = ProgramFile::makeImage(fixtures::randomModel(random).toSysExData());
        writeAll();
    }
    void writeAll() const
    {
        juce::String reason;
        ASSERT_TRUE(SlotFolder::write(folder, images, reason)) << reason;
    }
    void TearDown() override { scratch.getFile().deleteRecursively(); }

    juce::File file(int slot) const { return SlotFolder::slotFile(folder, slot); }

    juce::TemporaryFile scratch;
    const juce::File folder = scratch.getFile().getChildFile("backups/today");
    std::array<ByteArray, SlotFolder::numSlots> images;
};
} // namespace

TEST_F(SlotFolderTest, ReadGivesBackWhatWasWrittenWithAProgramFilesHeader)
{
    // A dump's header, as the controller sends it, is written and read as a program file's.
    auto dumped = images;
    dumped[1][4] = ProgramSysEx::programDumpCommand;
    dumped[1][7] = 2;
    juce::String reason;
    ASSERT_TRUE(SlotFolder::write(folder, dumped, reason)) << reason;
    const auto read = SlotFolder::read(folder, reason);
    ASSERT_TRUE(read.has_value()) << reason;
    EXPECT_EQ(*read, images);
    EXPECT_EQ(file(2).getFileName(), "slot-2.vkr");
}

TEST_F(SlotFolderTest, OneBadFileRefusesTheWholeFolderAndNamesIt)
{
    const struct
    {
        const char* what;
        std::function<void()> spoil;
        int slot;
        juce::String problem;
    } cases[] = {
        {"a bad value",
         [&]
         {
             ByteArray bytes = images[2];
             bytes[17] = 5;
             ASSERT_TRUE(file(3).replaceWithData(bytes.data(), bytes.size()));
         },
         3, "offset 17: byte 0x05 is outside 2 to 4 for Arpeggiator TEMPO TAPS (2 to 4)"},
        {"a missing file", [&] { ASSERT_TRUE(file(4).deleteFile()); }, 4, "no such file"},
        {"a short file", [&] { ASSERT_TRUE(file(1).replaceWithData(images[0].data(), 116)); }, 1,
         "holds 116 bytes; a program file holds exactly 117"},
        {"no folder", [&] { ASSERT_TRUE(folder.deleteRecursively()); }, 0, "no such folder"},
    };
    for (const auto& c : cases)
    {
        writeAll();
        c.spoil();
        juce::String reason;
        const auto read = SlotFolder::read(folder, reason);
        EXPECT_FALSE(read.has_value()) << c.what;
        const juce::File named = c.slot == 0 ? folder : file(c.slot);
        EXPECT_EQ(reason, named.getFullPathName() + ": " + c.problem) << c.what;
    }
}

TEST_F(SlotFolderTest, AnImageThatIsNoProgramIsWrittenNowhere)
{
    const juce::File fresh = folder.getSiblingFile("fresh");
    auto bad = images;
    bad[3][17] = 5;
    auto shorter = images;
    shorter[0].pop_back();
    for (const auto& [spoilt, slot] : {std::pair{bad, 4}, std::pair{shorter, 1}})
    {
        juce::String reason;
        EXPECT_FALSE(SlotFolder::write(fresh, spoilt, reason));
        EXPECT_TRUE(
            reason.startsWith(SlotFolder::slotFile(fresh, slot).getFullPathName() + ": not written, "))
            << reason;
        EXPECT_FALSE(fresh.exists());
        EXPECT_FALSE(SlotFolder::write(folder, spoilt, reason));
        EXPECT_EQ(SlotFolder::read(folder, reason), images) << reason;
    }
}
