#include "model/ProgramImage.h"
#include "model/ProgramFile.h"
#include "support/ProgramFixtures.h"
#include "model/fileFormatException.h"

#include <gtest/gtest.h>

namespace
{
struct ScratchFile
{
    juce::TemporaryFile temp{".vkr"};
    const juce::File& file() const { return temp.getFile(); }
    void write(const ByteArray& bytes) const { file().replaceWithData(bytes.data(), bytes.size()); }
};
} // namespace

TEST(ProgramImage, RefusesExactlyTheFilesTheEditorRefuses)
{
    juce::Random random(5);
    ScratchFile scratch;
    int refused = 0;
    for (int run = 0; run < 400; ++run)
    {
        ByteArray bytes = ProgramFile::makeImage(fixtures::randomModel(random).toSysExData());
        // Mostly one changed byte, sometimes a header byte, sometimes a changed length.
        const int what = random.nextInt(10);
        if (what == 0)
            bytes.resize(static_cast<std::size_t>(random.nextInt(130)));
        else
            bytes[static_cast<std::size_t>(random.nextInt(117))] =
                static_cast<std::uint8_t>(random.nextInt(256));
        scratch.write(bytes);

        bool editorRefuses = false;
        try
        {
            readProgramFile(scratch.file());
        }
        catch (const fileFormatException&)
        {
            editorRefuses = true;
        }
        juce::String problem;
        const auto image = ProgramImage::readFile(scratch.file(), problem);
        ASSERT_EQ(!image.has_value(), editorRefuses) << problem;
        ASSERT_EQ(problem.isNotEmpty(), editorRefuses);
        if (image)
        {
            ASSERT_EQ(*image, bytes) << "the header is kept as the file has it";
        }
        refused += editorRefuses ? 1 : 0;
    }
    EXPECT_GT(refused, 40);
}

TEST(ProgramImage, SaysWhereAFileIsWrong)
{
    ScratchFile scratch;
    ByteArray bytes = ProgramImage::makeDefault();
    bytes[17] = 5;    // tempo taps
    bytes[40] = 0x80; // a pad byte
    scratch.write(bytes);
    juce::String problem;
    EXPECT_FALSE(ProgramImage::readFile(scratch.file(), problem));
    EXPECT_EQ(problem, "offset 17: byte 0x05 is outside 2 to 4 for Arpeggiator TEMPO TAPS (2 to 4)");
    int badBytes = 0;
    ProgramImage::findProblem(bytes, &badBytes);
    EXPECT_EQ(badBytes, 2);

    bytes = ProgramImage::makeDefault();
    bytes[12] = 6;
    EXPECT_EQ(ProgramImage::findProblem(bytes), "offset 12: byte 0x06 is outside 0 to 5 for Arpeggiator MODE "
                                                "(UP, DOWN, EXCLUSIVE, INCLUSIVE, ORDER, RANDOM)");

    scratch.write(ByteArray(116, 0));
    EXPECT_FALSE(ProgramImage::readFile(scratch.file(), problem));
    EXPECT_EQ(problem, "holds 116 bytes; a program file holds exactly 117");
    EXPECT_FALSE(ProgramImage::readFile(scratch.file().getSiblingFile("not-there.vkr"), problem));
    EXPECT_EQ(problem, "no such file");
    EXPECT_FALSE(ProgramImage::readFile(scratch.file().getParentDirectory(), problem));
    EXPECT_EQ(problem, "is a folder, not a program file");
}

TEST(ProgramImage, NormalisesTheHeaderOfACapturedDump)
{
    ByteArray dump = ProgramImage::makeDefault();
    dump[4] = ProgramSysEx::programDumpCommand;
    dump[7] = 3;
    dump[116] = 0;
    const ByteArray file = ProgramImage::normalised(dump);
    EXPECT_EQ(file, ProgramImage::makeDefault());
    EXPECT_EQ(ProgramImage::toData(dump), ProgramModel::makeDefault().toSysExData());
}
