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
        // A backup replaces no damaged file.
        folder.deleteRecursively();
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

TEST_F(SlotFolderTest, OnlyProgramFilesOfTheirOwnAreReplacedAndNothingIsLeftBeside)
{
    const auto hidden = [this]
    {
        return folder.findChildFiles(juce::File::findFilesAndDirectories, false, ".*").size() +
               folder.getParentDirectory().findChildFiles(juce::File::findDirectories, false, ".*").size();
    };
    const struct
    {
        std::function<void()> spoil;
        int slot;
        juce::String problem;
    } cases[] = {
        {[&]
         {
             juce::FileOutputStream out(file(1));
             ASSERT_TRUE(out.setPosition(1 << 20) && out.truncate().wasOk());
         },
         1, "holds 1048576 bytes, so it is no program file (117 bytes) and is not replaced"},
        {[&] { ASSERT_TRUE(file(3).deleteFile() && file(3).createDirectory()); }, 3, "is not a regular file"},
#if !defined(_WIN32)
        {[&] { ASSERT_TRUE(file(1).deleteFile() && file(2).createSymbolicLink(file(1), true)); }, 1,
         "is a symbolic link, not a slot file of its own"},
#endif
    };
    for (const auto& c : cases)
    {
        folder.deleteRecursively();
        writeAll();
        c.spoil();
        const auto kept = file(c.slot).getSize();
        juce::String reason;
        EXPECT_FALSE(SlotFolder::write(folder, images, reason));
        EXPECT_EQ(reason, file(c.slot).getFullPathName() + ": " + c.problem + "; no slot file was changed");
        EXPECT_EQ(file(c.slot).getSize(), kept);
        EXPECT_EQ(hidden(), 0);
    }

    // A stopped backup: committed new files are put in place, uncommitted ones dropped, and a folder
    // the backup was built in is removed; another's file stays.
    const ByteArray old = ProgramFile::makeImage(fixtures::defaultImage());
    for (const bool committed : {true, false})
    {
        folder.deleteRecursively();
        writeAll();
        ASSERT_TRUE(folder.getChildFile("notes.txt").replaceWithText("mine"));
        ASSERT_TRUE(file(2).replaceWithData(old.data(), old.size()));
        ASSERT_TRUE(
            folder.getChildFile(".slot-2.vkr.new").replaceWithData(images[1].data(), images[1].size()));
        if (committed)
        {
            ASSERT_TRUE(folder.getChildFile(".velkor-backup-commit").replaceWithText(""));
        }
        ASSERT_TRUE(folder.getSiblingFile(".today.velkor-0badf00d").getChildFile("slot-1.vkr").create());
        EXPECT_EQ(hidden(), committed ? 3 : 2);
        juce::String reason;
        const auto read = SlotFolder::read(folder, reason);
        ASSERT_TRUE(read.has_value()) << reason;
        EXPECT_EQ((*read)[1], committed ? images[1] : old);
        ASSERT_TRUE(SlotFolder::write(folder, images, reason)) << reason;
        EXPECT_EQ(hidden(), 0);
        EXPECT_EQ(folder.getChildFile("notes.txt").loadFileAsString(), "mine");
    }
}
