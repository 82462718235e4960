#include "model/ProgramImage.h"
#include "model/ProgramJson.h"
#include "cli/VelkorTool.h"
#include "midi/SimulatorMidiDevices.h"
#include "model/ProgramFile.h"
#include "model/SysExFile.h"
#include "support/ProgramFixtures.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>
#include <utility>

namespace
{
// System ports by name alone: none opens.
class NoDevices : public MidiDeviceSeam
{
public:
    explicit NoDevices(juce::StringArray portNames = {}) : names(std::move(portNames)) {}
    juce::StringArray getInputNames() override { return names; }
    juce::StringArray getOutputNames() override { return names; }
    std::unique_ptr<MidiInputPort> openInput(int, const juce::String&, juce::MidiInputCallback*) override
    {
        return nullptr;
    }
    std::unique_ptr<MidiOutputPort> openOutput(int, const juce::String&) override { return nullptr; }

private:
    juce::StringArray names;
};

const juce::String port = VelkorSimulator::deviceName;

// One simulated controller that keeps its programs from one command to the next, as a real one does.
class VelkorToolTest : public ::testing::Test
{
protected:
    struct Result
    {
        int code;
        std::string out;
        std::string err;
    };

    Result run(const juce::StringArray& arguments, const std::string& input = {})
    {
        std::ostringstream out;
        std::ostringstream err;
        std::istringstream in(input);
        tool.input = &in;
        const int code = tool.run(arguments, out, err);
        return {code, out.str(), err.str()};
    }

    juce::String path(const juce::String& name) const { return folder.getChildFile(name).getFullPathName(); }

    juce::String writeProgram(const juce::String& name, const ProgramModel& model) const
    {
        EXPECT_TRUE(ProgramFile::write(juce::File(path(name)), model.toSysExData()));
        return path(name);
    }

    static ByteArray bytesOf(const juce::String& file)
    {
        juce::MemoryBlock block;
        juce::File(file).loadFileAsData(block);
        const auto* data = static_cast<const std::uint8_t*>(block.getData());
        return ByteArray(data, data + block.getSize());
    }

    std::shared_ptr<VelkorSimulator> simulator = std::make_shared<VelkorSimulator>();
    // Listed before the simulated controller when it is asked for.
    juce::StringArray systemPorts;
    VelkorTool tool{
        [this](bool withSimulator, VelkorSimulator::Fault fault) -> std::unique_ptr<MidiDeviceSeam>
        {
            if (!withSimulator)
                return std::make_unique<NoDevices>();
            simulator->setFault(fault);
            return std::make_unique<SimulatorMidiDevices>(std::make_unique<NoDevices>(systemPorts),
                                                          simulator);
        }};
    juce::TemporaryFile scratch;
    juce::File folder = scratch.getFile();

    void SetUp() override { ASSERT_TRUE(folder.createDirectory()); }
    void TearDown() override { folder.deleteRecursively(); }
};
} // namespace

TEST_F(VelkorToolTest, SendsGetsAndBacksUpTheControllersPrograms)
{
    juce::Random random(17);
    const ProgramModel model = fixtures::randomModel(random);
    const juce::String file = writeProgram("mine.vkr", model);

    auto result = run({"send", "--port", port, "--slot", "2", "--simulator", "--verify", file});
    ASSERT_EQ(result.code, 0) << result.err;
    // What slot 2 held is kept beside the file sent, as a program file of its own.
    const auto keptFolders = folder.findChildFiles(juce::File::findDirectories, false, "velkor-kept-*");
    ASSERT_EQ(keptFolders.size(), 1);
    const juce::String kept = keptFolders[0].getChildFile("slot-2.vkr").getFullPathName();
    EXPECT_EQ(bytesOf(kept), ProgramImage::makeDefault());
    EXPECT_EQ(result.out, "Kept what slot 2 held in " + kept.toStdString() + "\nSent " + file.toStdString() +
                              " to slot 2 on \"Velkor Simulator\" and read it back.\n");
    ByteArray stored = model.toSysExData();
    stored[ProgramSysEx::programNumberDataIndex] = 2;
    EXPECT_EQ(simulator->getProgramImage(2), stored);

    result = run({"get", "--simulator", "--port=" + port, "--slot=2", path("back.vkr")});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(bytesOf(path("back.vkr")), bytesOf(file));

    EXPECT_EQ(run({"send", "--port", port, "--slot", "ram", "--simulator", file}).code, 0);
    EXPECT_EQ(simulator->getProgramImage(0), model.toSysExData());

    result = run({"backup", "--port", port, "--simulator", path("backup/today")});
    ASSERT_EQ(result.code, 0) << result.err;
    for (int slot = 1; slot <= 4; ++slot)
    {
        const juce::String saved = path("backup/today/slot-" + juce::String(slot) + ".vkr");
        EXPECT_EQ(bytesOf(saved), slot == 2 ? bytesOf(file) : ProgramImage::makeDefault()) << slot;
        EXPECT_NE(result.out.find(saved.toStdString()), std::string::npos);
    }
}

TEST_F(VelkorToolTest, AControllerThatMisbehavesIsReportedAndNothingIsSaved)
{
    auto result = run({"get", "--port", port, "--slot", "1", "--simulator-fault", "no-reply", "--timeout",
                       "100", path("out.vkr")});
    EXPECT_EQ(result.code, 3);
    EXPECT_EQ(result.err, "velkor-tool: no answer from \"Velkor Simulator\" for slot 1 within 100 ms\n");
    EXPECT_FALSE(juce::File(path("out.vkr")).exists());

    result = run({"backup", "--port", port, "--simulator-fault", "no-reply", "--timeout", "50", path("bk")});
    EXPECT_EQ(result.code, 3);
    EXPECT_NE(result.err.find("for slot 1 within 50 ms; nothing was saved"), std::string::npos) << result.err;
    EXPECT_EQ(juce::File(path("bk")).getNumberOfChildFiles(juce::File::findFiles), 0);

    result = run({"get", "--port", port, "--slot", "ram", "--simulator-fault", "wrong-length", "--timeout",
                  "100", path("out.vkr")});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err,
              "velkor-tool: the answer for RAM from \"Velkor Simulator\" is not a valid program: it "
              "holds 118 bytes; a program dump holds exactly 117\n");

    result =
        run({"get", "--port", port, "--slot", "4", "--simulator-fault", "corrupt-value", path("out.vkr")});
    EXPECT_EQ(result.code, 1);
    EXPECT_NE(
        result.err.find("the answer for slot 4 from \"Velkor Simulator\" is not a valid program: offset 115: "
                        "byte 0x19 is outside 0 to 24 for Keybed TRANSPOSE"),
        std::string::npos)
        << result.err;
    EXPECT_FALSE(juce::File(path("out.vkr")).exists());

    // A well-formed answer holding another value than was sent: only the comparison catches it.
    const juce::String mine = writeProgram("mine.vkr", ProgramModel::makeDefault());
    result =
        run({"send", "--port", port, "--slot", "2", "--simulator-fault", "changes-value", "--verify", mine});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, "velkor-tool: slot 2 of \"Velkor Simulator\" holds another program after the write "
                          "(Arpeggiator TEMPO: 128 -> 129)\n");
    // Only where the program it replaced was kept.
    EXPECT_EQ(result.out.rfind("Kept what slot 2 held in ", 0), 0u) << result.out;
    EXPECT_EQ(result.out.find('\n'), result.out.size() - 1) << result.out;

    // A burst of garbage, partial messages and bad dumps: the good dump among them is the answer.
    result = run({"get", "--port", port, "--slot", "3", "--simulator-fault", "flood", path("out.vkr")});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(bytesOf(path("out.vkr")), ProgramImage::makeDefault());

    result = run({"get", "--port", "Nowhere", "--slot", "3", "--simulator", path("out2.vkr")});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err,
              "velkor-tool: no MIDI port is named \"Nowhere\"; the ports are: \"Velkor Simulator\"\n");
    result = run({"ports"});
    EXPECT_EQ(result.out, "MIDI inputs:\n  (none)\nMIDI outputs:\n  (none)\n");
}

TEST_F(VelkorToolTest, UsageErrorsExitWithTwoAndHelpWithZero)
{
    const juce::StringArray usageErrors[] = {
        {"frobnicate"},
        {"show"},
        {"show", "a.vkr", "b.vkr"},
        {"show", "--port", "P", "a.vkr"},
        {"get", "--slot", "2", "x.vkr"},
        {"get", "--port", "P", "x.vkr"},
        {"get", "--port", "P", "--slot", "5", "x.vkr"},
        {"get", "--port", "P", "--slot", "2", "--timeout", "0", "x.vkr"},
        {"get", "--port", "P", "--slot", "2", "--timeout=2s", "x.vkr"},
        {"get", "--port", "P", "--slot", "2", "--simulator-fault", "loud", "x.vkr"},
        {"send", "--port", "P", "--slot"},
        {"backup", "--port", "P", "--slot", "2", "dir"},
        {"help", "frobnicate"},
        {"show", ""},
        {"diff", "a.vkr", ""},
        {"export", ""},
        {"import", "-", ""},
        {"import", "", "x.vkr"},
        {"validate", "a.vkr", ""},
        {"send", "--port", "P", "--slot", "2", ""},
        {"get", "--port", "P", "--slot", "2", "--", ""},
        {"backup", "--port", "P", ""},
        {"restore", "--port", "P", ""},
        {"restore", "--port", "P", "--slot", "2", "dir"},
        {"restore", "dir"},
        {"ports", "--timeout", "100"},
        {"show", "--exit-code", "a.vkr"},
        {"backup", "--port", "P", "--syx", "bank.syx", "dir"},
        {"backup", "--port", "P", "--syx="},
        {"restore", "--port", "P", "--syx", "bank.syx"},
        {"split", "bank.syx"},
        {"split", "bank.syx", ""},
        {"join", "dir", "bank.syx", "more.syx"},
    };
    for (const auto& arguments : usageErrors)
    {
        const auto result = run(arguments);
        EXPECT_EQ(result.code, 2) << arguments.joinIntoString(" ");
        EXPECT_NE(result.err.find("Try 'velkor-tool --help'."), std::string::npos)
            << arguments.joinIntoString(" ");
    }

    auto result = run({});
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(run({"--help"}).out, result.out);
    result = run({"--help"});
    EXPECT_EQ(result.code, 0);
    for (const char* command : {"show", "diff", "export", "import", "validate", "ports", "send", "get",
                                "backup", "restore", "split", "join"})
    {
        EXPECT_NE(result.out.find(std::string("  ") + command + " "), std::string::npos) << command;
        EXPECT_EQ(run({"help", command}).out, run({command, "--help"}).out);
        EXPECT_EQ(run({command, "--help"}).out.rfind(std::string("Usage: velkor-tool ") + command, 0), 0u);
    }
    EXPECT_NE(run({"get", "--help"}).out.find("--timeout MS"), std::string::npos);
    EXPECT_EQ(run({"ports", "--help"}).out.find("--timeout"), std::string::npos);
}

TEST_F(VelkorToolTest, OptionsAreReadInOrderAndEveryFaultTheHelpNamesIsTaken)
{
    // The first of a bad option and --help decides the run.
    EXPECT_EQ(run({"send", "--port=", "--help"}).code, 2);
    EXPECT_EQ(run({"send", "--help", "--port="}).code, 0);
    EXPECT_EQ(run({"send", "--help", "--port="}).out, run({"help", "send"}).out);
    // A value-taking option takes the next argument whatever it looks like; a flag takes none.
    EXPECT_NE(run({"get", "--port", "--slot", "2", "x.vkr"}).err.find("get needs --slot"), std::string::npos);
    EXPECT_NE(run({"send", "--port", "P", "--slot", "2", "--verify=yes", "a.vkr"})
                  .err.find("has no option --verify"),
              std::string::npos);

    const std::string help = run({"ports", "--help"}).out;
    const auto from = help.find("misbehave: ");
    const auto to = help.find("(implies");
    ASSERT_NE(from, std::string::npos);
    ASSERT_NE(to, std::string::npos);
    juce::StringArray faults;
    faults.addTokens(juce::String(help.substr(from + 11, to - from - 11)), ", \n", "");
    faults.removeEmptyStrings();
    EXPECT_EQ(faults.size(), 6);
    const std::string refusal = run({"ports", "--simulator-fault", "loud"}).err;
    for (const auto& fault : faults)
    {
        const auto result = run({"ports", "--simulator-fault", fault});
        EXPECT_EQ(result.code, 0) << fault << ": " << result.err;
        EXPECT_NE(result.out.find(port.toStdString()), std::string::npos) << fault;
        EXPECT_NE(refusal.find(" " + fault.toStdString()), std::string::npos) << fault;
    }
}

TEST_F(VelkorToolTest, InspectsComparesChecksAndConvertsFiles)
{
    ProgramModel model = ProgramModel::makeDefault();
    const juce::String first = writeProgram("first.vkr", model);
    model.setGlobal(ProgramModel::arpSwing, 3);
    model.pad(0, 0).noteValue = 36;
    model.setKnob(4, KnobData::ccNumberField, 74);
    const juce::String second = writeProgram("second.vkr", model);

    auto result = run({"show", second});
    EXPECT_EQ(result.code, 0);
    for (const char* line :
         {"  Pad MIDI Channel                1\n", "  SWING                           57%\n",
          "  A1       36 (C2)    0    1    Toggle\n", "  5        74   0    127\n",
          "  lowest key                      C3\n"})
        EXPECT_NE(result.out.find(line), std::string::npos) << line << result.out;

    result = run({"diff", first, second});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.out,
              "Arpeggiator SWING: 50% -> 57%\nPad A1 Note: 44 (G#2) -> 36 (C2)\nKnob 5 CC: 5 -> 74\n");
    EXPECT_EQ(run({"diff", first, first}).out, "");
    EXPECT_EQ(run({"diff", "--exit-code", first, second}).code, 1);
    EXPECT_EQ(run({"diff", first, "--exit-code", first}).code, 0);

    ByteArray broken = ProgramImage::makeDefault();
    broken[9] = 16;
    broken[30] = 2;
    juce::File(path("broken.vkr")).replaceWithData(broken.data(), broken.size());
    result = run({"validate", first, path("broken.vkr"), path("missing.vkr")});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.out,
              first + ": ok\n" + path("broken.vkr") +
                  ": offset 9: byte 0x10 is outside 0 to 15 for Keybed / Controls MIDI Channel (1 to 16)"
                  " (and 1 more bad byte)\n" +
                  path("missing.vkr") + ": no such file\n");
    EXPECT_EQ(run({"validate", first, second}).code, 0);
    EXPECT_EQ(run({"show", path("broken.vkr")}).code, 1);
    EXPECT_EQ(run({"diff", first, path("missing.vkr")}).err,
              "velkor-tool: " + path("missing.vkr") + ": no such file\n");

    result = run({"export", second});
    ASSERT_EQ(result.code, 0);
    EXPECT_EQ(result.out.find('\r'), std::string::npos);
    EXPECT_EQ(run({"import", "-", path("again.vkr")}, result.out).code, 0);
    EXPECT_EQ(bytesOf(path("again.vkr")), bytesOf(second));

    const juce::String tooFast = juce::String(result.out).replace("\"tempo\": 128", "\"tempo\": 300");
    ASSERT_NE(tooFast, juce::String(result.out));
    result = run({"import", "-", path("fast.vkr")}, tooFast.toStdString());
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(
        result.err,
        "velkor-tool: standard input: arpeggiator.tempo (Arpeggiator TEMPO): 300 is outside 0 to 255\n");
    EXPECT_FALSE(juce::File(path("fast.vkr")).exists());
}

namespace
{
// What a folder holds: each name with its bytes and whether it may be written.
std::map<juce::String, std::pair<ByteArray, bool>> contentsOf(const juce::File& folder)
{
    std::map<juce::String, std::pair<ByteArray, bool>> contents;
    for (const auto& entry :
         juce::RangedDirectoryIterator(folder, false, "*", juce::File::findFilesAndDirectories))
    {
        const auto file = entry.getFile();
        juce::MemoryBlock block;
        if (!file.isDirectory())
            file.loadFileAsData(block);
        const auto* data = static_cast<const std::uint8_t*>(block.getData());
        contents[file.getFileName()] = {ByteArray(data, data + block.getSize()), file.hasWriteAccess()};
    }
    return contents;
}
} // namespace

TEST_F(VelkorToolTest, BackupReplacesAllFourSlotFilesOrNone)
{
    const juce::File backups(path("backups"));
    const auto slotFile = [&backups](int slot)
    { return backups.getChildFile("slot-" + juce::String(slot) + ".vkr"); };
    const struct
    {
        const char* obstacle;
        std::function<void()> place;
        std::function<void()> clear;
        const char* reason;
    } cases[] = {
        {"a read-only slot-3.vkr", [&] { slotFile(3).setReadOnly(true); },
         [&] { slotFile(3).setReadOnly(false); }, "is read-only"},
        {"a folder named slot-3.vkr", [&] { slotFile(3).deleteFile(), slotFile(3).createDirectory(); },
         [&] { slotFile(3).deleteRecursively(); }, "is not a regular file"},
        {"a read-only slot-4.vkr alone",
         [&]
         {
             for (int slot = 1; slot <= 3; ++slot)
                 slotFile(slot).deleteFile();
             slotFile(4).setReadOnly(true);
         },
         [&] { slotFile(4).setReadOnly(false); }, "is read-only"},
    };
    juce::Random random(5);
    for (const auto& c : cases)
    {
        ASSERT_EQ(run({"backup", "--simulator", "--port", port, backups.getFullPathName()}).code, 0)
            << c.obstacle;
        // The controller's programs change, so that a new backup differs in every slot.
        std::vector<ByteArray> programs;
        for (int slot = 1; slot <= 4; ++slot)
        {
            const auto file = writeProgram("new.vkr", fixtures::randomModel(random));
            programs.push_back(bytesOf(file));
            ASSERT_EQ(run({"send", "--simulator", "--port", port, "--slot", juce::String(slot), file}).code,
                      0);
            juce::File(file).deleteFile();
        }
        c.place();
        const auto before = contentsOf(backups);

        auto result = run({"backup", "--simulator", "--port", port, backups.getFullPathName()});
        EXPECT_EQ(result.code, 1) << c.obstacle;
        const auto blocked = slotFile(juce::String(c.obstacle).contains("slot-4") ? 4 : 3);
        EXPECT_EQ(result.err, "velkor-tool: " + blocked.getFullPathName() + ": " + c.reason +
                                  "; no slot file was changed\n")
            << c.obstacle;
        EXPECT_EQ(result.out, "") << c.obstacle;
        EXPECT_TRUE(contentsOf(backups) == before) << c.obstacle;

        c.clear();
        result = run({"backup", "--simulator", "--port", port, backups.getFullPathName()});
        ASSERT_EQ(result.code, 0) << c.obstacle << result.err;
        EXPECT_EQ(contentsOf(backups).size(), 4u) << c.obstacle;
        for (int slot = 1; slot <= 4; ++slot)
            EXPECT_EQ(bytesOf(slotFile(slot).getFullPathName()), programs[static_cast<std::size_t>(slot - 1)])
                << c.obstacle << slot;
    }
}

TEST_F(VelkorToolTest, OutputThatCannotBeWrittenFailsTheRun)
{
    // A stream whose every write fails, as on a full disk.
    struct FullDisk : std::streambuf
    {
        int overflow(int) override { return traits_type::eof(); }
    } full;
    const juce::String file = writeProgram("mine.vkr", ProgramModel::makeDefault());
    const struct
    {
        juce::StringArray arguments;
        int code;
    } cases[] = {
        {{"--help"}, 1},
        {{"--version"}, 1},
        {{"show", file}, 1},
        {{"export", file}, 1},
        {{"validate", file}, 1},
        {{"ports"}, 1},
        {{"send", "--simulator", "--port", port, "--slot", "1", file}, 1},
        // Nothing to print, nothing lost.
        {{"diff", file, file}, 0},
    };
    for (const auto& c : cases)
    {
        std::ostream out(&full);
        std::ostringstream err;
        EXPECT_EQ(tool.run(c.arguments, out, err), c.code) << c.arguments.joinIntoString(" ");
        EXPECT_EQ(err.str(), c.code == 0 ? "" : "velkor-tool: standard output could not be written\n")
            << c.arguments.joinIntoString(" ");
    }
}

TEST_F(VelkorToolTest, ImportReadsABoundedAmountAndWritesNothingOnRefusal)
{
    const juce::String json = run({"export", writeProgram("mine.vkr", ProgramModel::makeDefault())}).out;
    const std::string tooLarge(1024 * 1024 + 1, ' ');
    juce::File(path("large.json")).replaceWithText(juce::String(tooLarge));
    juce::File(path("deep.json")).replaceWithText(juce::String::repeatedString("[", 80000));
    juce::File(path("folder.json")).createDirectory();
    const struct
    {
        juce::String source;
        std::string input;
        juce::String error;
    } cases[] = {
        {"-", tooLarge, "standard input: too large for a program's JSON"},
        {path("large.json"), {}, path("large.json") + ": too large for a program's JSON"},
        {path("missing.json"), {}, path("missing.json") + ": no such file"},
        {path("folder.json"), {}, path("folder.json") + ": is a folder, not a program's JSON"},
        {path("deep.json"),
         {},
         path("deep.json") + ": nested deeper than 16 levels at line 1, column 17, inside " +
             juce::String::repeatedString("[0]", 16)},
        {"-", juce::String(json).replace("\"tempo\": 128", "\"tempo\": 18446744073709551744").toStdString(),
         "standard input: arpeggiator.tempo (Arpeggiator TEMPO): 18446744073709551744 is outside 0 to 255"},
        {"-", "{\"format\": \"\xff\xfe\"}",
         "standard input: not JSON: line 1, column 13: invalid UTF-8 (byte 0xFF)"},
    };
    for (const auto& c : cases)
    {
        const auto result = run({"import", c.source, path("out.vkr")}, c.input);
        EXPECT_EQ(result.code, 1) << c.error;
        EXPECT_EQ(result.err, ("velkor-tool: " + c.error + "\n").toStdString());
        EXPECT_FALSE(juce::File(path("out.vkr")).exists()) << c.error;
    }
    // A byte order mark is not part of the JSON.
    EXPECT_EQ(run({"import", "-", path("out.vkr")}, "\xef\xbb\xbf" + json.toStdString()).code, 0);
}

namespace
{
std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}
} // namespace

TEST_F(VelkorToolTest, RestoreWritesABackupIntoAFreshControllerAndReadsEachSlotBack)
{
    juce::Random random(23);
    for (int slot = 1; slot <= 4; ++slot)
        ASSERT_EQ(run({"send", "--simulator", "--port", port, "--slot", juce::String(slot),
                       writeProgram("p.vkr", fixtures::randomModel(random))})
                      .code,
                  0);
    const juce::File backups(path("backups"));
    ASSERT_EQ(run({"backup", "--simulator", "--port", port, backups.getFullPathName()}).code, 0);

    const auto old = std::exchange(simulator, std::make_shared<VelkorSimulator>());
    ASSERT_EQ(run({"send", "--simulator", "--port", port, "--slot", "3",
                   writeProgram("p.vkr", fixtures::randomModel(random))})
                  .code,
              0);
    ASSERT_EQ(run({"backup", "--simulator", "--port", port, path("before")}).code, 0);
    systemPorts = {"Midi Through Port-0"};
    auto result =
        run({"restore", "--simulator", "--port", "SIM", "--keep", path("kept"), backups.getFullPathName()});
    ASSERT_EQ(result.code, 0) << result.err;
    for (int slot = 1; slot <= 4; ++slot)
    {
        EXPECT_EQ(simulator->getProgramImage(slot), old->getProgramImage(slot)) << slot;
        const juce::String name = "/slot-" + juce::String(slot) + ".vkr";
        EXPECT_EQ(bytesOf(path("kept") + name), bytesOf(path("before") + name)) << slot;
    }
    const auto lines = linesOf(result.out);
    ASSERT_EQ(lines.size(), 8u) << result.out;
    EXPECT_EQ(lines[0], "Kept what slot 1 held in " + path("kept/slot-1.vkr").toStdString());
    EXPECT_EQ(lines[7], "Restored slot 4 on \"Velkor Simulator\" from " +
                            backups.getChildFile("slot-4.vkr").getFullPathName().toStdString() +
                            " and read it back.");

    // A kept folder is never written over.
    const int requests = simulator->getRequestsReceived();
    result =
        run({"restore", "--simulator", "--port", port, "--keep", path("kept"), backups.getFullPathName()});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err,
              "velkor-tool: " + path("kept") +
                  ": already holds slot-1.vkr; --keep takes a new folder or one without slot files, so "
                  "that nothing kept is written over; nothing was sent\n");
    EXPECT_EQ(simulator->getRequestsReceived(), requests);

    // A folder with one bad file sends nothing at all.
    ByteArray badTaps = bytesOf(backups.getChildFile("slot-3.vkr").getFullPathName());
    badTaps[17] = 5;
    ASSERT_TRUE(backups.getChildFile("slot-3.vkr").replaceWithData(badTaps.data(), badTaps.size()));
    const auto fresh = std::make_shared<VelkorSimulator>();
    simulator = fresh;
    EXPECT_EQ(run({"restore", "--simulator", "--port", port, backups.getFullPathName()}).err,
              "velkor-tool: " + backups.getChildFile("slot-3.vkr").getFullPathName() +
                  ": offset 17: byte 0x05 is outside 2 to 4 for Arpeggiator TEMPO TAPS (2 to 4); nothing was "
                  "sent\n");
    EXPECT_EQ(fresh->getRequestsReceived(), 0);
    EXPECT_EQ(fresh->getProgramImage(1), VelkorSimulator().getProgramImage(1));
}

TEST_F(VelkorToolTest, RestoreGoesOnPastASlotThatDiffersAndStopsAtOneThatDoesNotAnswer)
{
    const juce::File backups(path("backups"));
    ASSERT_EQ(run({"backup", "--simulator", "--port", port, backups.getFullPathName()}).code, 0);
    const auto restoredLine = [&](int slot)
    {
        return ("Restored slot " + juce::String(slot) + " on \"Velkor Simulator\" from " +
                backups.getChildFile("slot-" + juce::String(slot) + ".vkr").getFullPathName() +
                " and read it back.")
            .toStdString();
    };

    simulator->setFault(2, VelkorSimulator::Fault::changesValue);
    simulator->setFault(3, VelkorSimulator::Fault::changesValue);
    auto result = run({"restore", "--simulator", "--port", port, backups.getFullPathName()});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.err, "velkor-tool: slot 2 of \"Velkor Simulator\" holds another program after the write "
                          "(Arpeggiator TEMPO: 128 -> 129)\n"
                          "velkor-tool: slot 3 of \"Velkor Simulator\" holds another program after the write "
                          "(Arpeggiator TEMPO: 128 -> 129)\n"
                          "velkor-tool: slots 2 and 3 did not read back as restored\n");
    auto lines = linesOf(result.out);
    ASSERT_EQ(lines.size(), 6u) << result.out;
    EXPECT_EQ(lines[0].rfind("Kept what slot 1 held in ", 0), 0u) << lines[0];
    lines.erase(lines.begin(), lines.begin() + 4);
    EXPECT_EQ(lines, (std::vector<std::string>{restoredLine(1), restoredLine(4)}));

    simulator->clearSlotFaults();
    simulator->setFault(2, VelkorSimulator::Fault::noReply);
    const ByteArray slot3 = simulator->getProgramImage(3);
    // A slot that cannot be kept stops the restore before its first write, unless --force is given.
    const ByteArray slot1 = simulator->getProgramImage(1);
    result = run({"restore", "--simulator", "--port", port, "--timeout", "100", backups.getFullPathName()});
    EXPECT_EQ(result.code, 3) << "the controller did not answer";
    EXPECT_EQ(result.err,
              "velkor-tool: no answer from \"Velkor Simulator\" for slot 2 within 100 ms\n"
              "velkor-tool: could not keep what slot 2 holds; nothing was written (--force writes "
              "without keeping it)\n");
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(simulator->getProgramImage(1), slot1);
    result = run(
        {"restore", "--simulator", "--port", port, "--timeout", "100", "--force", backups.getFullPathName()});
    EXPECT_EQ(result.code, 3);
    EXPECT_EQ(result.err,
              "velkor-tool: no answer from \"Velkor Simulator\" for slot 2 within 100 ms; writing "
              "over slot 2 without keeping it (--force)\n"
              "velkor-tool: no answer from \"Velkor Simulator\" for slot 2 within 100 ms; slot 2 "
              "was written but not read back, slots 3 and 4 were not written\n");
    lines = linesOf(result.out);
    ASSERT_EQ(lines.size(), 4u) << result.out;
    EXPECT_EQ(lines[2].rfind("Kept what slot 4 held in ", 0), 0u) << lines[2];
    EXPECT_EQ(lines[3], restoredLine(1));
    EXPECT_EQ(simulator->getProgramImage(3), slot3) << "slot 3 still holds what the changing write left";

    // The same for send, whose kept program goes beside the file sent.
    juce::Random random(41);
    const ProgramModel model = fixtures::randomModel(random);
    ASSERT_TRUE(juce::File(path("send")).createDirectory());
    const juce::String mine = writeProgram("send/mine.vkr", model);
    ByteArray sent = model.toSysExData();
    sent[ProgramSysEx::programNumberDataIndex] = 2;
    const struct
    {
        juce::StringArray more;
        int code;
        bool written;
    } sends[] = {{{}, 3, false}, {{"--force"}, 0, true}};
    for (const auto& c : sends)
    {
        juce::StringArray arguments{"send", "--simulator", "--port", port, "--slot", "2", "--timeout", "100"};
        arguments.addArray(c.more);
        arguments.add(mine);
        result = run(arguments);
        EXPECT_EQ(result.code, c.code) << result.err;
        EXPECT_EQ(simulator->getProgramImage(2) == sent, c.written) << c.more.joinIntoString(" ");
        EXPECT_EQ(juce::File(path("send")).getNumberOfChildFiles(juce::File::findDirectories), 0);
    }
}

TEST_F(VelkorToolTest, APortNamedByAPartThatSeveralNamesHoldIsRefused)
{
    systemPorts = {"Velkor Simulator 2", "Midi Through Port-0"};
    const struct
    {
        juce::String name;
        int code;
        std::string said;
    } cases[] = {
        // An exact name wins though it is part of another.
        {"Velkor Simulator", 0, ""},
        {"r simul", 1,
         "velkor-tool: \"r simul\" matches several ports: \"Velkor Simulator 2\", \"Velkor Simulator\"; name "
         "one of them\n"},
        {"Thru", 1,
         "velkor-tool: no MIDI port is named \"Thru\"; the ports are: \"Velkor Simulator 2\", \"Midi "
         "Through Port-0\", \"Velkor Simulator\"\n"},
    };
    for (const auto& c : cases)
    {
        const auto result = run({"get", "--simulator", "--port", c.name, "--slot", "1", path("a.vkr")});
        EXPECT_EQ(result.code, c.code) << c.name;
        EXPECT_EQ(result.err, c.said) << c.name;
    }
    EXPECT_EQ(simulator->getRequestsReceived(), 1);
}

TEST_F(VelkorToolTest, BankFilesGoBetweenTheControllerAFolderAndOneSyxFile)
{
    juce::Random random(31);
    for (int slot = 1; slot <= 4; ++slot)
        ASSERT_EQ(run({"send", "--simulator", "--port", port, "--slot", juce::String(slot),
                       writeProgram("p.vkr", fixtures::randomModel(random))})
                      .code,
                  0);
    const juce::String bank = path("bank.syx");
    auto result = run({"backup", "--simulator", "--port", port, "--syx", bank});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, "Saved slots 1 to 4 of \"Velkor Simulator\" to " + bank + "\n");
    ByteArray expected;
    for (int slot = 1; slot <= 4; ++slot)
    {
        const auto message = SysExFile::writeMessage(simulator->getProgramImage(slot), slot);
        expected.insert(expected.end(), message.begin(), message.end());
    }
    EXPECT_EQ(bytesOf(bank), expected);

    // Dumps, any order, foreign SysEx and stray bytes between: still a bank.
    const auto program = [&](int number, bool dump = false)
    {
        auto message = SysExFile::writeMessage(simulator->getProgramImage(number == 0 ? 1 : number), number);
        if (dump)
            message[4] = ProgramSysEx::programDumpCommand;
        return message;
    };
    const ByteArray foreign = {0xf0, 0x7e, 0x00, 0x06, 0x01, 0xf7, 0x90, 0x40};
    auto unended = program(4);
    unended.pop_back();
    const struct
    {
        std::vector<ByteArray> messages;
        std::string said; // by split and restore, before "; nothing was ..."; a bank's rules, or damage
        std::string validated;
    } cases[] = {
        {{program(3, true), foreign, program(1), program(4), program(2, true)},
         "",
         "m.syx: message 1 at offset 0: PROGRAM 3 (dump)\nm.syx: message 3 at offset 125: PROGRAM 1 (write)\n"
         "m.syx: message 4 at offset 242: PROGRAM 4 (write)\nm.syx: message 5 at offset 359: PROGRAM 2 "
         "(dump)\nm.syx: ok, 4 programs; skipped 1 other SysEx message and 2 other MIDI bytes\n"},
        {{program(1), program(2), program(3), program(4), program(0)},
         "m.syx: message 5 at offset 468: RAM (write) is not a slot; a bank holds slots 1 to 4",
         {}},
        {{program(1), program(2), program(2, true), program(3), program(4)},
         "m.syx: message 3 at offset 234: PROGRAM 2 (dump) repeats the slot of message 2 at offset 117; a "
         "bank holds each slot once",
         {}},
        {{program(4), foreign, program(1)},
         "m.syx: holds no program for slots 2 and 3; a bank holds slots 1 to 4",
         {}},
        {{program(1), program(2), program(3), unended},
         "m.syx: message 4 at offset 351: no end byte (0xF7)",
         "m.syx: message 4 at offset 351: no end byte (0xF7)\n"},
    };
    const juce::File workDir = juce::File::getCurrentWorkingDirectory();
    folder.setAsCurrentWorkingDirectory();
    for (const auto& c : cases)
    {
        ByteArray bytes;
        for (const auto& message : c.messages)
            bytes.insert(bytes.end(), message.begin(), message.end());
        juce::File(path("m.syx")).replaceWithData(bytes.data(), bytes.size());
        juce::File(path("split")).deleteRecursively();
        result = run({"split", "m.syx", "split"});
        EXPECT_EQ(result.err, c.said.empty() ? "" : "velkor-tool: " + c.said + "; nothing was written\n");
        EXPECT_EQ(juce::File(path("split")).isDirectory(), c.said.empty()) << c.said;
        if (!c.validated.empty())
        {
            const auto checked = run({"validate", "m.syx"});
            EXPECT_EQ(checked.out, c.validated);
            EXPECT_EQ(checked.code, c.said.empty() ? 0 : 1);
        }
        if (c.said.empty())
            continue;
        simulator = std::make_shared<VelkorSimulator>();
        result = run({"restore", "--simulator", "--port", port, "m.syx"});
        EXPECT_EQ(result.err, "velkor-tool: " + c.said + "; nothing was sent\n");
        EXPECT_EQ(simulator->getRequestsReceived(), 0) << c.said;
    }
    workDir.setAsCurrentWorkingDirectory();

    result = run({"show", bank});
    EXPECT_EQ(
        result.out.rfind(bank.toStdString() + ": message 1 at offset 0: PROGRAM 1 (write)\n\nCHANNELS\n", 0),
        0u);
    EXPECT_NE(result.out.find("\n\n" + bank.toStdString() + ": message 4 at offset 351: PROGRAM 4 (write)\n"),
              std::string::npos);
}
