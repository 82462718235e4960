#include "model/ProgramFile.h"
#include "support/ProgramFixtures.h"
#include "model/fileFormatException.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <system_error>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#endif

namespace
{
class ProgramFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Unique per test process: CTest runs tests side by side.
        folder = juce::File::getSpecialLocation(juce::File::tempDirectory)
                     .getChildFile("velkor-files-" + juce::Uuid().toString());
        ASSERT_TRUE(folder.createDirectory());
    }
    void TearDown() override { folder.deleteRecursively(); }

    juce::File fileWith(const ByteArray& bytes, const char* name = "program.vkr") const
    {
        const juce::File f = folder.getChildFile(name);
        f.replaceWithData(bytes.data(), bytes.size());
        return f;
    }

    static ByteArray contents(const juce::File& f)
    {
        juce::MemoryBlock block;
        f.loadFileAsData(block);
        const auto* begin = static_cast<const std::uint8_t*>(block.getData());
        return ByteArray(begin, begin + block.getSize());
    }

    juce::File folder;
};
} // namespace

TEST_F(ProgramFileTest, DefaultProgramFileImage)
{
    const ByteArray image = ProgramFile::makeImage(fixtures::defaultImage());
    ASSERT_EQ(image.size(), 117u);
    EXPECT_EQ(ByteArray(image.begin(), image.begin() + 11),
              fixtures::fromHex("F0 47 00 26 64 00 6D 00 00 00 04"));
    EXPECT_EQ(ByteArray(image.end() - 2, image.end()), fixtures::fromHex("0C F7"));
    EXPECT_THROW(ProgramFile::makeImage(ByteArray(116)), std::invalid_argument);
}

TEST_F(ProgramFileTest, WrittenProgramReadsBackAsTheSameProgram)
{
    juce::Random random(5);
    const juce::File f = folder.getChildFile("round trip.vkr");
    for (int i = 0; i < 50; ++i)
    {
        const ProgramModel source = fixtures::randomModel(random);
        ASSERT_TRUE(ProgramFile::write(f, source.toSysExData()));
        EXPECT_EQ(contents(f), ProgramFile::makeImage(source.toSysExData()));

        ProgramModel loaded;
        fixtures::applyToModel(readProgramFile(f), loaded);
        ASSERT_EQ(fixtures::allValues(loaded), fixtures::allValues(source));
    }
    EXPECT_EQ(folder.getNumberOfChildFiles(
                  juce::File::findFilesAndDirectories + juce::File::ignoreHiddenFiles, "*"),
              1)
        << "no temporary file is left beside the program";
    EXPECT_EQ(folder.getNumberOfChildFiles(juce::File::findFilesAndDirectories, "*"), 1);
}

TEST_F(ProgramFileTest, OnlyExactlyOneImageIsAProgramFile)
{
    const ByteArray image = ProgramFile::makeImage(fixtures::defaultImage());
    EXPECT_EQ(readProgramFile(fileWith(image)).size(), 108u);

    ByteArray shorter(image.begin(), image.end() - 1);
    ByteArray longer = image;
    longer.push_back(0xf7);
    for (const auto& bytes : {shorter, longer, ByteArray{}, ByteArray(1 << 20, 0)})
        EXPECT_THROW(readProgramFile(fileWith(bytes)), fileFormatException) << bytes.size() << " bytes";

    EXPECT_THROW(readProgramFile(folder.getChildFile("missing.vkr")), fileFormatException);
    EXPECT_THROW(readProgramFile(folder), fileFormatException) << "a folder";
    EXPECT_THROW(readProgramFile(juce::File()), fileFormatException);
    EXPECT_STREQ(fileFormatException().what(), "Bad File Format");
}

TEST_F(ProgramFileTest, HeaderAndFinalByteAreNotLookedAt)
{
    ByteArray zeroHeader = ProgramFile::makeImage(fixtures::defaultImage());
    std::fill(zeroHeader.begin(), zeroHeader.begin() + 8, 0);
    zeroHeader[116] = 0x00;
    const ProgramValues fromZeroHeader = readProgramFile(fileWith(zeroHeader));

    ByteArray dump = ProgramFile::makeImage(fixtures::defaultImage());
    dump[4] = 0x67;
    dump[7] = 3;
    EXPECT_EQ(readProgramFile(fileWith(dump, "dump.syx")), fromZeroHeader);

    ProgramModel expected;
    fixtures::setToDefaults(expected);
    ProgramModel loaded;
    fixtures::applyToModel(fromZeroHeader, loaded);
    EXPECT_EQ(fixtures::allValues(loaded), fixtures::allValues(expected));
}

TEST_F(ProgramFileTest, AnyInvalidValueByteRejectsTheFile)
{
    ByteArray image = ProgramFile::makeImage(fixtures::defaultImage());
    image[30] = 2; // pad 1 of bank A: trigger byte 2
    EXPECT_THROW(readProgramFile(fileWith(image)), fileFormatException);

    for (int offset = 8; offset <= 115; offset += 7)
    {
        ByteArray bad = ProgramFile::makeImage(fixtures::defaultImage());
        bad[std::size_t(offset)] = 0x80;
        EXPECT_THROW(readProgramFile(fileWith(bad)), fileFormatException) << offset;
    }
}

TEST_F(ProgramFileTest, UnreadableFileIsABadFile)
{
#if defined(_WIN32)
    // Held open by another program that shares nothing: Windows refuses every other reader.
    const juce::File f = fileWith(ProgramFile::makeImage(fixtures::defaultImage()));
    HANDLE held = CreateFileW(f.getFullPathName().toWideCharPointer(), GENERIC_READ | GENERIC_WRITE, 0,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_THROW(readProgramFile(f), fileFormatException);
    CloseHandle(held);
#else
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    const juce::File f = fileWith(ProgramFile::makeImage(fixtures::defaultImage()));
    ASSERT_TRUE(f.setReadOnly(true));
    ASSERT_EQ(chmod(f.getFullPathName().toRawUTF8(), 0), 0);
    EXPECT_THROW(readProgramFile(f), fileFormatException);
#endif
}

TEST_F(ProgramFileTest, FailedWriteIsReportedAndLosesNothing)
{
    const ByteArray image = fixtures::defaultImage();
    EXPECT_FALSE(ProgramFile::write(folder.getChildFile("no such folder/program.vkr"), image));
    EXPECT_FALSE(folder.getChildFile("no such folder").exists());

    const juce::File sub = folder.getChildFile("a folder.vkr");
    ASSERT_TRUE(sub.createDirectory());
    EXPECT_FALSE(ProgramFile::write(sub, image));
    EXPECT_TRUE(sub.isDirectory());

    EXPECT_FALSE(ProgramFile::write(juce::File(), image));

    // The system's reason is named.
    juce::String reason;
    EXPECT_FALSE(ProgramFile::write(folder.getChildFile("no such folder/program.vkr"), image, &reason));
    EXPECT_EQ(reason, juce::String("could not be written: ") + std::generic_category().message(ENOENT));
#if !defined(_WIN32)
    // A write the system cuts short, as a full disk does, leaves the old file whole.
    const juce::File full = fileWith({1, 2, 3}, "full.vkr");
    rlimit was;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &was), 0);
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = was;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = ProgramFile::write(full, image, &reason);
    setrlimit(RLIMIT_FSIZE, &was);
    std::signal(SIGXFSZ, handler);
    EXPECT_FALSE(written);
    EXPECT_EQ(reason, juce::String("could not be written: ") + std::generic_category().message(EFBIG));
    EXPECT_EQ(contents(full), ByteArray({1, 2, 3}));
#endif

    const juce::File existing = fileWith({1, 2, 3});
    ProgramModel changed;
    fixtures::setToDefaults(changed);
    changed.setGlobal(9, 200);
    ASSERT_TRUE(ProgramFile::write(existing, changed.toSysExData()));
    EXPECT_EQ(contents(existing), ProgramFile::makeImage(changed.toSysExData())) << "replaced whole";
}

#if defined(_WIN32)
TEST_F(ProgramFileTest, FileHeldOpenElsewhereIsNotReplacedAndNothingIsLeftBeside)
{
    // Windows cannot replace a file another program holds without sharing: the save fails, says so,
    // and both the old program and the folder are as they were.
    const ByteArray old = ProgramFile::makeImage(fixtures::defaultImage());
    const juce::File f = fileWith(old);
    HANDLE held = CreateFileW(f.getFullPathName().toWideCharPointer(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ProgramModel changed;
    fixtures::setToDefaults(changed);
    changed.setGlobal(9, 200);
    EXPECT_FALSE(ProgramFile::write(f, changed.toSysExData()));
    CloseHandle(held);
    EXPECT_EQ(contents(f), old);
    EXPECT_EQ(folder.findChildFiles(juce::File::findFiles, false, "*").size(), 1) << "no temporary file left";
}
#endif

#if !defined(_WIN32)
TEST_F(ProgramFileTest, OnlyRegularFilesAreReplacedLinksAreWrittenThroughAndModesKept)
{
    ProgramModel changed;
    fixtures::setToDefaults(changed);
    changed.setGlobal(9, 99);
    const ByteArray image = ProgramFile::makeImage(changed.toSysExData());
    const ByteArray old = ProgramFile::makeImage(fixtures::defaultImage());
    const auto mode = [](const juce::File& f)
    {
        struct stat info;
        return lstat(f.getFullPathName().toRawUTF8(), &info) == 0 ? info.st_mode : 0u;
    };

    const juce::File fifo = folder.getChildFile("fifo.vkr");
    ASSERT_EQ(mkfifo(fifo.getFullPathName().toRawUTF8(), 0644), 0);
    juce::String reason;
    EXPECT_FALSE(ProgramFile::write(fifo, changed.toSysExData(), &reason));
    EXPECT_EQ(reason, "is not a regular file");
    EXPECT_TRUE(S_ISFIFO(mode(fifo)));
    // A reader opens first and looks at what it opened: a FIFO never blocks it.
    EXPECT_FALSE(ProgramFile::readImage(fifo, reason).has_value());
    EXPECT_EQ(reason, "is not a regular file");
    EXPECT_THROW(readProgramFile(fifo), fileFormatException);

    const juce::File target = fileWith(old, "target.vkr");
    const juce::File link = folder.getChildFile("link.vkr");
    ASSERT_EQ(symlink("target.vkr", link.getFullPathName().toRawUTF8()), 0);
    ASSERT_TRUE(ProgramFile::write(link, changed.toSysExData()));
    EXPECT_TRUE(S_ISLNK(mode(link))) << "the link stays a link";
    EXPECT_EQ(contents(target), image) << "and its target holds the program";

    const juce::File secret = fileWith(old, "secret.vkr");
    ASSERT_EQ(chmod(secret.getFullPathName().toRawUTF8(), 0600), 0);
    ASSERT_TRUE(ProgramFile::write(secret, changed.toSysExData()));
    EXPECT_EQ(mode(secret) & 07777, 0600u);
    EXPECT_EQ(contents(secret), image);

    const juce::File locked = fileWith(old, "locked.vkr");
    ASSERT_EQ(chmod(locked.getFullPathName().toRawUTF8(), 0444), 0);
    EXPECT_FALSE(ProgramFile::write(locked, changed.toSysExData(), &reason));
    EXPECT_EQ(reason, "is read-only");
    EXPECT_EQ(contents(locked), old);

    const auto names =
        folder.findChildFiles(juce::File::findFiles | juce::File::ignoreHiddenFiles, false, "*");
    EXPECT_EQ(folder.findChildFiles(juce::File::findFiles, false, "*").size(), names.size())
        << "a temporary file was left behind";
}
#endif
