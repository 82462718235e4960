#include "cli/VelkorTool.h"

#include "cli/DeviceSession.h"
#include "model/ProgramChoices.h"
#include "model/ProgramField.h"
#include "model/ProgramImage.h"
#include "model/ProgramJson.h"
#include "model/ProgramText.h"
#include "midi/JuceMidiDevices.h"
#include "midi/SimulatorMidiDevices.h"
#include "model/ProgramFile.h"
#include "model/SlotFolder.h"
#include "model/SysExFile.h"

#include <algorithm>
#include <iterator>
#include <istream>
#include <optional>
#include <ostream>

namespace
{
constexpr const char* toolName = "velkor-tool";
// Far more than any program's JSON; a bigger input is not one.
constexpr std::size_t maxJsonBytes = 1024 * 1024;

enum OptionFlags
{
    portOption = 1,
    slotOption = 2,
    simulatorOptions = 4, // --simulator, --simulator-fault
    verifyOption = 8,
    timeoutOption = 16,
    exitCodeOption = 32,
    syxOption = 64,
    keepOptions = 128, // --keep, --force
    deviceOptions = simulatorOptions | timeoutOption
};

const std::pair<const char*, VelkorSimulator::Fault> faultNames[] = {
    {"none", VelkorSimulator::Fault::none},
    {"no-reply", VelkorSimulator::Fault::noReply},
    {"wrong-length", VelkorSimulator::Fault::wrongLength},
    {"corrupt-value", VelkorSimulator::Fault::corruptValue},
    {"flood", VelkorSimulator::Fault::flood},
    {"changes-value", VelkorSimulator::Fault::changesValue}};

juce::String slotName(int programNumber)
{
    return programNumber == ProgramSysEx::ramProgramNumber ? juce::String("RAM")
                                                           : "slot " + juce::String(programNumber);
}

juce::File fileFrom(const juce::String& path)
{
    return juce::File::getCurrentWorkingDirectory().getChildFile(path);
}

std::ostream& operator<<(std::ostream& stream, const juce::String& text)
{
    return stream << text.toStdString();
}
} // namespace

struct VelkorTool::Options
{
    Options(std::ostream& outStream, std::ostream& errStream) : out(outStream), err(errStream) {}

    std::ostream& out;
    std::ostream& err;
    juce::StringArray positional;
    juce::String port;
    int slot = -1;
    int timeoutMs = defaultTimeoutMs;
    bool simulator = false;
    VelkorSimulator::Fault fault = VelkorSimulator::Fault::none;
    bool verify = false;
    bool exitCode = false;
    bool helpAsked = false;
    juce::String syxFile;
    juce::String keepFolder;
    bool force = false;

    int fail(int code, const juce::String& message) const
    {
        err << toolName << ": " << message << "\n";
        return code;
    }
};

struct VelkorTool::Command
{
    const char* name;
    const char* synopsis;
    const char* summary;
    const char* details;
    int flags;
    int minArguments;
    int maxArguments; // -1: any number
    int (VelkorTool::*handler)(Options&);
};

const std::vector<VelkorTool::Command>& VelkorTool::commands()
{
    static const std::vector<Command> table = {
        {"show", "FILE", "print every value of a program, named as on the panel",
         "Prints the channels, the keybed, the arpeggiator, the joystick, the 16 pads (with note names)\n"
         "and the 8 knobs of a program file. For a .syx file, every program message in it, each under\n"
         "a line naming its message number, offset, program and command.",
         0, 1, 1, &VelkorTool::show},
        {"diff", "A B", "print the values in which two programs differ, one a line",
         "Prints one line for each value that differs, as  Name: value in A -> value in B.\n"
         "Prints nothing when the two programs are alike.",
         exitCodeOption, 2, 2, &VelkorTool::diff},
        {"export", "FILE", "print a program as JSON with named fields",
         "Prints the program as JSON. Choices are their panel texts (\"UP\", \"1/8T\", \"Toggle\"),\n"
         "the arpeggiator switch is true or false, and everything else is a number.",
         0, 1, 1, &VelkorTool::exportJson},
        {"import", "JSON OUT", "write a program file from JSON made by export",
         "Reads JSON as export prints it (\"-\" reads standard input) and writes the program file OUT.\n"
         "Every field must be there and in range; a misspelt or extra field is refused by name.",
         0, 2, 2, &VelkorTool::importJson},
        {"validate", "FILE...", "check program files as the editor would open them",
         "Prints \"FILE: ok\" for a file the editor opens, or one line naming the offset, the byte found,\n"
         "the parameter and its valid range. A .syx file gets a line for each program message in it,\n"
         "naming its message number, offset, program and command, and then \"FILE: ok\"; or one line\n"
         "naming the message that is damaged and why. Exits 1 when any file is bad.",
         0, 1, -1, &VelkorTool::validate},
        {"ports", "", "list the MIDI inputs and outputs", "Lists the MIDI input and output ports by name.",
         simulatorOptions, 0, 0, &VelkorTool::ports},
        {"send", "--port NAME --slot 1|2|3|4|ram FILE", "send a program to a slot of the controller",
         "Sends the program file to a slot (or RAM) of the controller on port NAME.\n"
         "--verify asks the controller for the slot afterwards and compares.\n"
         "First it reads what the slot holds and keeps it as slot-N.vkr (ram.vkr for RAM) in a new\n"
         "folder velkor-kept-DATE-TIME beside FILE, or in --keep DIR; a slot that cannot be read\n"
         "is written only with --force.",
         portOption | slotOption | deviceOptions | verifyOption | keepOptions, 1, 1, &VelkorTool::send},
        {"get", "--port NAME --slot 1|2|3|4|ram OUT", "save a slot of the controller to a program file",
         "Asks the controller on port NAME for a slot (or RAM) and saves its answer to the file OUT.",
         portOption | slotOption | deviceOptions, 1, 1, &VelkorTool::get},
        {"backup", "--port NAME DIR|--syx FILE",
         "save all four slots of the controller to a folder or a .syx",
         "Asks the controller on port NAME for slots 1 to 4 and saves them as DIR/slot-1.vkr to\n"
         "DIR/slot-4.vkr, making DIR if needed; with --syx FILE, as one .syx file of four program\n"
         "writes addressed to slots 1 to 4, which any SysEx tool can send back. Nothing is written\n"
         "unless all four answered.",
         portOption | deviceOptions | syxOption, 1, 1, &VelkorTool::backup},
        {"restore", "--port NAME DIR|FILE.syx",
         "write a backup folder or .syx back into the four slots of the controller",
         "Checks DIR/slot-1.vkr to DIR/slot-4.vkr as backup saves them, or a file as backup --syx saves\n"
         "it (slots 1 to 4, each once; read by its content, whatever its name), and sends nothing if one\n"
         "is missing or invalid. Otherwise writes each into its slot on port NAME, reads it back and\n"
         "compares. A slot that reads back otherwise is named with what differs, the others are still\n"
         "written, and the run fails; a slot that does not answer stops the restore there.\n"
         "First it reads what the four slots hold and keeps it as slot-1.vkr to slot-4.vkr in a new\n"
         "folder velkor-kept-DATE-TIME beside DIR or FILE.syx, or in --keep DIR; if a slot cannot\n"
         "be read, nothing is written unless --force is given.",
         portOption | deviceOptions | keepOptions, 1, 1, &VelkorTool::restore},
        {"split", "FILE.syx DIR", "save the four slots of a bank .syx as a backup folder",
         "Reads a .syx file holding one program message for each of slots 1 to 4 (writes or dumps,\n"
         "in any order, other messages between them skipped) and saves them as DIR/slot-1.vkr to\n"
         "DIR/slot-4.vkr, as backup does: all four or none. A RAM program or a slot given twice is\n"
         "refused naming the message, a missing slot naming the slot.",
         0, 2, 2, &VelkorTool::split},
        {"join", "DIR FILE.syx", "save a backup folder as one bank .syx",
         "Checks DIR/slot-1.vkr to DIR/slot-4.vkr as restore does and writes FILE.syx: the four\n"
         "programs as writes addressed to slots 1 to 4, as backup --syx saves them.",
         0, 2, 2, &VelkorTool::join},
    };
    return table;
}

namespace
{
// Option help is wrapped to this width, continuing under its description.
constexpr int helpWidth = 90;
constexpr int helpIndent = 27;

juce::String wrapped(const juce::String& text)
{
    juce::StringArray words;
    words.addTokens(text, " ", "");
    juce::String result, line;
    for (const auto& word : words)
    {
        if (line.isNotEmpty() && helpIndent + line.length() + 1 + word.length() > helpWidth)
        {
            result << line << "\n" << juce::String::repeatedString(" ", helpIndent);
            line.clear();
        }
        line << (line.isEmpty() ? "" : " ") << word;
    }
    return result + line;
}

juce::String faultList(const char* beforeLast)
{
    juce::String list;
    const auto count = std::size(faultNames);
    for (std::size_t i = 0; i < count; ++i)
        list << (i == 0 ? "" : i + 1 == count ? beforeLast : ", ") << faultNames[i].first;
    return list;
}

juce::String synopsisLine(const char* name, const char* synopsis)
{
    return juce::String(toolName) + " " + name + " " + synopsis;
}

juce::String unknownCommand(const juce::String& name)
{
    return "no command is named \"" + name + "\"";
}

int usage(std::ostream& err, const juce::String& problem)
{
    err << toolName << ": " << problem << "\nTry '" << toolName << " --help'.\n";
    return VelkorTool::usageError;
}
} // namespace

struct VelkorTool::Switch
{
    const char* name;
    int flag; // the commands that take it
    bool takesValue;
    // False when the value is refused; a switch without a value ignores it.
    bool (*apply)(const juce::String& value, Options& options);
    juce::String refusal;
    juce::String help;
};

// In the order --help lists them.
const std::vector<VelkorTool::Switch>& VelkorTool::switches()
{
    static const std::vector<Switch> table = {
        {"--port", portOption, true,
         [](const juce::String& value, Options& options)
         {
             options.port = value;
             return value.isNotEmpty();
         },
         "--port needs a port name",
         "  --port NAME              the controller's MIDI port (see: " + juce::String(toolName) +
             " ports),\n"
             "                           or a part of its name that no other port's holds\n"},
        {"--slot", slotOption, true,
         [](const juce::String& value, Options& options)
         {
             options.slot = parseSlot(value.trim());
             return options.slot >= 0;
         },
         "--slot takes 1, 2, 3, 4 or ram",
         "  --slot 1|2|3|4|ram       the program slot, or the controller's working memory\n"},
        {"--verify",
         verifyOption,
         false,
         [](const juce::String&, Options& options)
         {
             options.verify = true;
             return true;
         },
         {},
         "  --verify                 read the slot back and compare\n"},
        {"--exit-code",
         exitCodeOption,
         false,
         [](const juce::String&, Options& options)
         {
             options.exitCode = true;
             return true;
         },
         {},
         "  --exit-code              exit 1 when the programs differ, 0 when they are alike\n"},
        {"--syx", syxOption, true,
         [](const juce::String& value, Options& options)
         {
             options.syxFile = value;
             return value.isNotEmpty();
         },
         "--syx needs a file name",
         "  --syx FILE               save the four slots as one .syx file instead of a folder\n"},
        {"--keep", keepOptions, true,
         [](const juce::String& value, Options& options)
         {
             options.keepFolder = value;
             return value.isNotEmpty();
         },
         "--keep needs a folder name",
         "  --keep DIR               keep what the slots held in DIR, a new folder or one holding no\n"
         "                           slot-N.vkr or ram.vkr (default: a new velkor-kept-DATE-TIME)\n"},
        {"--force",
         keepOptions,
         false,
         [](const juce::String&, Options& options)
         {
             options.force = true;
             return true;
         },
         {},
         "  --force                  write also over a slot whose program could not be read and kept\n"},
        {"--timeout", timeoutOption, true,
         [](const juce::String& value, Options& options)
         {
             if (value.isEmpty() || !value.containsOnly("0123456789") || value.length() > 7 ||
                 value.getIntValue() < 1 || value.getIntValue() > longestTimeoutMs)
                 return false;
             options.timeoutMs = value.getIntValue();
             return true;
         },
         "--timeout takes milliseconds from 1 to " + juce::String(longestTimeoutMs),
         "  --timeout MS             wait this long for the controller (default " +
             juce::String(defaultTimeoutMs) + ")\n"},
        {"--simulator",
         simulatorOptions,
         false,
         [](const juce::String&, Options& options)
         {
             options.simulator = true;
             return true;
         },
         {},
         "  --simulator              also offer the simulated controller, port \"" +
             juce::String(VelkorSimulator::deviceName) + "\"\n"},
        {"--simulator-fault", simulatorOptions, true,
         [](const juce::String& value, Options& options)
         {
             for (const auto& [name, fault] : faultNames)
                 if (value == name)
                 {
                     options.fault = fault;
                     options.simulator = true;
                     return true;
                 }
             return false;
         },
         "--simulator-fault takes " + faultList(" or "),
         "  --simulator-fault FAULT  " +
             wrapped("make the simulated controller misbehave: " + faultList(", ")) + "\n" +
             juce::String::repeatedString(" ", helpIndent) + "(implies --simulator)\n"},
    };
    return table;
}

VelkorTool::VelkorTool(DeviceFactory factory) : input(&std::cin), deviceFactory(std::move(factory))
{
}

std::unique_ptr<MidiDeviceSeam> VelkorTool::systemDevices(bool withSimulator, VelkorSimulator::Fault fault)
{
    auto devices = std::unique_ptr<MidiDeviceSeam>(std::make_unique<JuceMidiDevices>());
    if (!withSimulator)
        return devices;
    auto simulated = std::make_unique<SimulatorMidiDevices>(std::move(devices));
    simulated->getSimulator().setFault(fault);
    return simulated;
}

int VelkorTool::parseSlot(const juce::String& text)
{
    if (text.equalsIgnoreCase("ram"))
        return ProgramSysEx::ramProgramNumber;
    if (text.length() == 1 && text.containsOnly("1234"))
        return text.getIntValue();
    return -1;
}

int VelkorTool::run(const juce::StringArray& arguments, std::ostream& out, std::ostream& err)
{
    const int code = runCommand(arguments, out, err);
    // A full disk or a closed pipe would otherwise pass for a listing or an export that worked.
    if (!out.flush())
    {
        err << toolName << ": standard output could not be written\n";
        return code == success ? badInput : code;
    }
    return code;
}

int VelkorTool::runCommand(const juce::StringArray& arguments, std::ostream& out, std::ostream& err)
{
    if (arguments.isEmpty())
    {
        printHelp(out);
        return usageError;
    }
    const juce::String first = arguments[0];
    if (first == "help" && arguments.size() >= 2)
    {
        if (const auto* command = findCommand(arguments[1]))
            return printCommandHelp(*command, out);
        return usage(err, unknownCommand(arguments[1]));
    }
    if (first == "--help" || first == "-h" || first == "help")
    {
        printHelp(out);
        return success;
    }
    if (first == "--version")
    {
        out << toolName << " " << VELKOR_VERSION << "\n";
        return success;
    }

    const Command* command = findCommand(first);
    if (command == nullptr)
        return usage(err, unknownCommand(first));
    Options options(out, err);
    juce::String problem = parseOptions(*command, arguments, options);
    if (problem.isEmpty() && options.helpAsked)
        return printCommandHelp(*command, out);
    if (problem.isEmpty())
        problem = checkArguments(*command, options);
    if (problem.isNotEmpty())
        return usage(err, problem);
    return (this->*(command->handler))(options);
}

const VelkorTool::Command* VelkorTool::findCommand(const juce::String& name)
{
    for (const auto& command : commands())
        if (name == command.name)
            return &command;
    return nullptr;
}

void VelkorTool::printHelp(std::ostream& out)
{
    out << "Usage: " << toolName << " COMMAND [ARGUMENTS]\n\n"
        << "Velkor programs and the controller from the command line.\n\nCommands:\n";
    for (const auto& command : commands())
        out << "  " << juce::String(command.name).paddedRight(' ', 10) << command.summary << "\n";
    out << "\n'" << toolName << " help COMMAND' or '" << toolName << " COMMAND --help' tells more.\n"
        << "Exit codes: 0 success, 1 bad input, 2 usage error, 3 the controller did not answer.\n";
}

int VelkorTool::printCommandHelp(const Command& command, std::ostream& out)
{
    out << "Usage: " << synopsisLine(command.name, command.synopsis) << "\n\n" << command.details << "\n";
    bool listed = false;
    for (const auto& option : switches())
        if ((command.flags & option.flag) != 0)
        {
            out << (listed ? "" : "\nOptions:\n") << option.help;
            listed = true;
        }
    return success;
}

juce::String VelkorTool::parseOptions(const Command& command, const juce::StringArray& arguments,
                                      Options& options)
{
    for (int i = 1; i < arguments.size(); ++i)
    {
        const juce::String& argument = arguments[i];
        if (argument == "--help" || argument == "-h")
        {
            options.helpAsked = true;
            return {};
        }
        if (argument == "-" || !argument.startsWith("--"))
        {
            options.positional.add(argument);
        }
        else if (argument == "--")
        {
            while (++i < arguments.size())
                options.positional.add(arguments[i]);
        }
        else if (const auto problem = takeSwitch(command, arguments, i, options); problem.isNotEmpty())
        {
            return problem;
        }
    }
    return {};
}

juce::String VelkorTool::takeSwitch(const Command& command, const juce::StringArray& arguments, int& index,
                                    Options& options)
{
    juce::String name = arguments[index];
    std::optional<juce::String> value;
    if (name.contains("="))
    {
        value = name.fromFirstOccurrenceOf("=", false, false);
        name = name.upToFirstOccurrenceOf("=", false, false);
    }
    const Switch* option = nullptr;
    for (const auto& candidate : switches())
        if (name == candidate.name && (command.flags & candidate.flag) != 0 &&
            (candidate.takesValue || !value))
            option = &candidate;
    if (option == nullptr)
        return juce::String(command.name) + " has no option " + name;
    // The value may be the next argument, whatever it looks like: --port --odd-name is a port.
    if (option->takesValue && !value && index + 1 < arguments.size())
        value = arguments[++index];
    if (option->takesValue && !value)
        return option->refusal;
    return option->apply(value.value_or(juce::String()), options) ? juce::String() : option->refusal;
}

juce::String VelkorTool::checkArguments(const Command& command, const Options& options)
{
    const juce::String name = command.name;
    if ((command.flags & portOption) != 0 && options.port.isEmpty())
        return name + " needs --port NAME";
    if ((command.flags & slotOption) != 0 && options.slot < 0)
        return name + " needs --slot 1|2|3|4|ram";
    const int count = options.positional.size();
    // --syx FILE stands for the folder argument.
    const int least = options.syxFile.isNotEmpty() ? 0 : command.minArguments;
    const int most = options.syxFile.isNotEmpty() ? 0 : command.maxArguments;
    if (count < least || (most >= 0 && count > most))
        return "usage: " + synopsisLine(command.name, command.synopsis);
    // Every argument left is a path, and an empty one would name the working directory.
    if (options.positional.contains(juce::String()))
        return name + ": an empty path names no file";
    return {};
}

namespace
{
// The program of a file, or the message saying why there is none.
std::optional<ByteArray> load(const juce::String& path, juce::String& message)
{
    juce::String problem;
    auto image = ProgramImage::readFile(fileFrom(path), problem);
    if (!image)
        message = path + ": " + problem;
    return image;
}

bool save(const juce::String& path, const ByteArray& image, juce::String& message)
{
    juce::String reason;
    if (ProgramFile::write(fileFrom(path), ProgramImage::toData(image), &reason))
        return true;
    message = path + ": " + reason;
    return false;
}

// .syx files are told by their extension, in any case; everything else is read as a program file.
bool isSysExPath(const juce::String& path)
{
    return fileFrom(path).hasFileExtension(SysExFile::extension);
}

juce::String counted(int count, const juce::String& thing)
{
    return juce::String(count) + " " + thing + (count == 1 ? "" : "s");
}

// "message 2 at offset 117"
juce::String messageAt(const SysExFile::Program& program)
{
    return "message " + juce::String(program.messageNumber) + " at offset " + juce::String(program.offset);
}

// "message 2 at offset 117: PROGRAM 2 (write)"
juce::String describe(const SysExFile::Program& program)
{
    return messageAt(program) + ": " + ProgramChoices::programName(program.programNumber) +
           (program.command == ProgramSysEx::programDumpCommand ? " (dump)" : " (write)");
}

// "slot 3", "slots 2 and 3", "slots 1, 2 and 4"
juce::String slotList(juce::StringArray slots)
{
    const juce::String last = slots[slots.size() - 1];
    slots.remove(slots.size() - 1);
    return slots.isEmpty() ? "slot " + last : "slots " + slots.joinIntoString(", ") + " and " + last;
}

std::optional<SysExFile::Contents> loadSysEx(const juce::String& path, juce::String& message)
{
    juce::String problem;
    auto contents = SysExFile::read(fileFrom(path), problem);
    if (!contents)
        message = path + ": " + problem;
    return contents;
}

// A bank's program messages by slot.
using Bank = std::array<SysExFile::Program, SlotFolder::numSlots>;
std::optional<Bank> loadBank(const juce::String& path, juce::String& message)
{
    const auto contents = loadSysEx(path, message);
    if (!contents)
        return std::nullopt;
    const SysExFile::Bank bank = SysExFile::bankOf(*contents);
    using Fault = SysExFile::Bank::Fault;
    switch (bank.fault)
    {
    case Fault::none:
        return bank.slots;
    case Fault::notASlot:
        message = path + ": " + describe(bank.culprit) + " is not a slot; a bank holds slots 1 to 4";
        break;
    case Fault::repeatedSlot:
        message = path + ": " + describe(bank.culprit) + " repeats the slot of " + messageAt(bank.earlier) +
                  "; a bank holds each slot once";
        break;
    case Fault::missingSlots:
    {
        juce::StringArray missing;
        for (int slot : bank.missing)
            missing.add(juce::String(slot));
        message = path + ": holds no program for " + slotList(missing) + "; a bank holds slots 1 to 4";
        break;
    }
    }
    return std::nullopt;
}

// At most maxJsonBytes + 1 bytes, so that a device or a pipe without end is refused as too large
// rather than read until memory runs out; readChunk returns the count read, 0 at the end.
template <typename ReadChunk> std::string readBounded(ReadChunk&& readChunk)
{
    std::string bytes;
    char buffer[16384];
    while (bytes.size() <= maxJsonBytes)
    {
        const auto got = readChunk(buffer, std::min(sizeof buffer, maxJsonBytes + 1 - bytes.size()));
        if (got <= 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return bytes;
}
} // namespace

int VelkorTool::show(Options& options)
{
    juce::String message;
    const juce::String path = options.positional[0];
    if (isSysExPath(path))
    {
        const auto contents = loadSysEx(path, message);
        if (!contents)
            return options.fail(badInput, message);
        for (std::size_t i = 0; i < contents->programs.size(); ++i)
        {
            const auto& program = contents->programs[i];
            options.out << (i == 0 ? "" : "\n") << path << ": " << describe(program) << "\n\n"
                        << ProgramText::show(ProgramImage::fromData(program.data));
        }
        return success;
    }
    const auto image = load(options.positional[0], message);
    if (!image)
        return options.fail(badInput, message);
    options.out << ProgramText::show(*image);
    return success;
}

int VelkorTool::diff(Options& options)
{
    juce::String message;
    const auto first = load(options.positional[0], message);
    if (!first)
        return options.fail(badInput, message);
    const auto second = load(options.positional[1], message);
    if (!second)
        return options.fail(badInput, message);
    const auto differences = ProgramText::diff(*first, *second);
    for (const auto& line : differences)
        options.out << line << "\n";
    return options.exitCode && !differences.isEmpty() ? programsDiffer : success;
}

int VelkorTool::exportJson(Options& options)
{
    juce::String message;
    const auto image = load(options.positional[0], message);
    if (!image)
        return options.fail(badInput, message);
    options.out << ProgramJson::toText(*image);
    return success;
}

int VelkorTool::importJson(Options& options)
{
    const juce::String source = options.positional[0];
    const juce::String sourceName = source == "-" ? juce::String("standard input") : source;
    std::string bytes;
    if (source == "-")
    {
        bytes = readBounded(
            [this](char* buffer, std::size_t size)
            {
                input->read(buffer, static_cast<std::streamsize>(size));
                return input->gcount();
            });
        if (input->bad())
            return options.fail(badInput, sourceName + ": cannot be read");
    }
    else
    {
        // Read, not sized: a pipe or a device reports a size of 0 whatever it holds.
        const juce::File file = fileFrom(source);
        if (file.isDirectory())
            return options.fail(badInput, source + ": is a folder, not a program's JSON");
        if (!file.exists())
            return options.fail(badInput, source + ": no such file");
        juce::FileInputStream in(file);
        if (!in.openedOk())
            return options.fail(badInput, source + ": cannot be read");
        bytes = readBounded([&in](char* buffer, std::size_t size)
                            { return in.read(buffer, static_cast<int>(size)); });
        if (in.getStatus().failed())
            return options.fail(badInput, source + ": cannot be read");
    }
    if (bytes.size() > maxJsonBytes)
        return options.fail(badInput, sourceName + ": too large for a program's JSON");
    ByteArray image;
    try
    {
        image = ProgramJson::fromBytes(bytes.data(), bytes.size());
    }
    catch (const ProgramJson::Error& error)
    {
        return options.fail(badInput, sourceName + ": " + error.what());
    }
    juce::String message;
    if (!save(options.positional[1], image, message))
        return options.fail(badInput, message);
    return success;
}

int VelkorTool::validate(Options& options)
{
    int result = success;
    for (const auto& path : options.positional)
    {
        juce::String problem;
        if (isSysExPath(path))
        {
            const auto contents = SysExFile::read(fileFrom(path), problem);
            if (!contents)
            {
                options.out << path << ": " << problem << "\n";
                result = badInput;
                continue;
            }
            for (const auto& program : contents->programs)
                options.out << path << ": " << describe(program) << "\n";
            options.out << path << ": ok, "
                        << counted(static_cast<int>(contents->programs.size()), "program");
            juce::StringArray skipped;
            if (contents->skippedMessages > 0)
                skipped.add(counted(contents->skippedMessages, "other SysEx message"));
            if (contents->skippedBytes > 0)
                skipped.add(counted(contents->skippedBytes, "other MIDI byte"));
            if (!skipped.isEmpty())
                options.out << "; skipped " << skipped.joinIntoString(" and ");
            options.out << "\n";
            continue;
        }
        int badBytes = 0;
        const auto image = ProgramImage::readFile(fileFrom(path), problem, &badBytes);
        if (image)
        {
            options.out << path << ": ok\n";
            continue;
        }
        options.out << path << ": " << problem;
        if (badBytes > 1)
            options.out << " (and " << juce::String(badBytes - 1) << " more bad "
                        << (badBytes == 2 ? "byte" : "bytes") << ")";
        options.out << "\n";
        result = badInput;
    }
    return result;
}

int VelkorTool::ports(Options& options)
{
    auto devices = deviceFactory(options.simulator, options.fault);
    const auto list = [&options](const char* heading, const juce::StringArray& names)
    {
        options.out << heading << "\n";
        if (names.isEmpty())
            options.out << "  (none)\n";
        for (const auto& name : names)
            options.out << "  " << name << "\n";
    };
    list("MIDI inputs:", devices->getInputNames());
    list("MIDI outputs:", devices->getOutputNames());
    return success;
}

namespace
{
juce::String portList(MidiDeviceSeam& devices)
{
    juce::StringArray names = devices.getInputNames();
    for (const auto& name : devices.getOutputNames())
        names.addIfNotAlreadyThere(name);
    if (names.isEmpty())
        return "; there are no MIDI ports (--simulator adds the simulated controller)";
    return "; the ports are: \"" + names.joinIntoString("\", \"") + "\"";
}

// The exit code for a reply, and what to say when it is not a program.
int checkReply(const DeviceSession::Reply& reply, const juce::String& port, int slot, int timeoutMs,
               juce::String& message)
{
    if (reply.image)
        return VelkorTool::success;
    // A dump of the wrong length or with a bad value is an answer, only not a program.
    if (reply.badDumps > 0)
    {
        message = "the answer for " + slotName(slot) + " from \"" + port +
                  "\" is not a valid program: " + reply.badDumpProblem;
        return VelkorTool::badInput;
    }
    message = "no answer from \"" + port + "\" for " + slotName(slot) + " within " + juce::String(timeoutMs) +
              " ms";
    return VelkorTool::noAnswer;
}
} // namespace

int VelkorTool::openPort(DeviceSession& session, MidiDeviceSeam& devices, Options& options, bool withInput)
{
    juce::StringArray matches;
    const juce::String found = DeviceSession::findPortName(devices, options.port, matches);
    if (matches.size() > 1)
        return options.fail(badInput, "\"" + options.port + "\" matches several ports: \"" +
                                          matches.joinIntoString("\", \"") + "\"; name one of them");
    if (found.isNotEmpty())
        options.port = found;
    if (const auto problem = session.open(options.port, withInput); problem.isNotEmpty())
        return options.fail(badInput, problem + portList(devices));
    return success;
}

namespace
{
// What a read-back differs in, as diff prints it: the first few values.
juce::String describeDifferences(const juce::StringArray& differences)
{
    constexpr int shown = 3;
    juce::StringArray first(differences);
    first.removeRange(shown, first.size());
    juce::String text = first.joinIntoString(", ");
    if (differences.size() > shown)
        text << " and " << (differences.size() - shown) << " more";
    return text;
}

// What a write replaced is kept as a program file named as a backup names it; RAM as ram.vkr.
juce::File keptFile(const juce::File& folder, int slot)
{
    return slot == ProgramSysEx::ramProgramNumber
               ? folder.getChildFile(juce::String("ram") + ProgramFile::extension)
               : SlotFolder::slotFile(folder, slot);
}

// A kept program is never written over: the names a keep folder must not hold yet.
juce::String firstKeptFileIn(const juce::File& folder)
{
    for (int slot = ProgramSysEx::ramProgramNumber; slot <= SlotFolder::numSlots; ++slot)
        if (keptFile(folder, slot).exists() || keptFile(folder, slot).isSymbolicLink())
            return keptFile(folder, slot).getFileName();
    return {};
}

// A folder of this run's own in parent, velkor-kept-20261209-061530 (-2, -3 when taken), or none.
juce::File makeFreshFolder(const juce::File& parent)
{
    const juce::String stamp = "velkor-kept-" + juce::Time::getCurrentTime().formatted("%Y%m%d-%H%M%S");
    for (int attempt = 1; attempt <= 100; ++attempt)
    {
        const juce::File folder =
            parent.getChildFile(stamp + (attempt == 1 ? juce::String() : "-" + juce::String(attempt)));
        if (folder.exists() || folder.isSymbolicLink())
            continue;
        if (!folder.createDirectory())
            return {};
        return folder;
    }
    return {};
}
} // namespace

int VelkorTool::checkKeepFolder(const Options& options)
{
    if (options.keepFolder.isEmpty())
        return success;
    const juce::File folder = fileFrom(options.keepFolder);
    if (folder.existsAsFile())
        return options.fail(badInput,
                            options.keepFolder +
                                ": is a file, not a folder to keep the slots' programs in; nothing was sent");
    if (const auto held = firstKeptFileIn(folder); held.isNotEmpty())
        return options.fail(
            badInput, options.keepFolder + ": already holds " + held +
                          "; --keep takes a new folder or one without slot files, so that nothing kept is "
                          "written over; nothing was sent");
    return success;
}

int VelkorTool::keepSlots(DeviceSession& session, Options& options, const std::vector<int>& slots,
                          const juce::File& beside)
{
    std::vector<std::pair<int, ByteArray>> kept;
    juce::StringArray unread;
    // A silent controller is exit 3 as elsewhere; a bad answer, 1.
    int refusalCode = badInput;
    for (const int slot : slots)
    {
        const auto reply = session.requestProgram(slot, options.timeoutMs);
        juce::String message;
        const int outcome = checkReply(reply, options.port, slot, options.timeoutMs, message);
        if (outcome == success)
        {
            kept.emplace_back(slot, ProgramFile::makeImage(ProgramImage::toData(*reply.image)));
            continue;
        }
        if (outcome == noAnswer)
            refusalCode = noAnswer;
        unread.add(juce::String(slot));
        if (options.force)
            message << "; writing over " << slotName(slot) << " without keeping it (--force)";
        options.err << toolName << ": " << message << "\n";
    }
    const auto named = [](const juce::StringArray& numbers)
    { return numbers.size() == 1 ? slotName(numbers[0].getIntValue()) : slotList(numbers); };
    if (!unread.isEmpty() && !options.force)
        return options.fail(refusalCode, "could not keep what " + named(unread) +
                                          (unread.size() == 1 ? " holds" : " hold") +
                                          "; nothing was written (--force writes without keeping it)");
    if (kept.empty())
        return success;

    juce::File folder;
    bool made = false;
    if (options.keepFolder.isNotEmpty())
    {
        folder = fileFrom(options.keepFolder);
        made = !folder.isDirectory();
        if (made && !folder.createDirectory())
            folder = juce::File();
    }
    else
    {
        // Beside the file written from, where the user will look; else here.
        folder = makeFreshFolder(beside.getParentDirectory());
        if (folder == juce::File())
            folder = makeFreshFolder(juce::File::getCurrentWorkingDirectory());
        made = true;
    }
    juce::StringArray keptSlots;
    for (const auto& [slot, image] : kept)
        keptSlots.add(juce::String(slot));
    const juce::String refusal = "; what " + named(keptSlots) + (kept.size() == 1 ? " holds" : " hold") +
                                 " could not be kept, so nothing was written";
    if (folder == juce::File())
        return options.fail(badInput, (options.keepFolder.isNotEmpty()
                                           ? options.keepFolder + ": the folder could not be made"
                                           : "no folder could be made beside " + beside.getFullPathName() +
                                                 " nor in the working directory") +
                                          refusal);
    std::vector<juce::File> written;
    for (const auto& [slot, image] : kept)
    {
        const juce::File file = keptFile(folder, slot);
        juce::String reason;
        if (ProgramFile::createSynced(file, image, juce::File(), reason))
        {
            written.push_back(file);
            continue;
        }
        for (const auto& done : written)
            done.deleteFile();
        if (made)
            folder.deleteFile();
        return options.fail(badInput, file.getFullPathName() + ": " + reason + refusal);
    }
    ProgramFile::syncFolder(folder);
    for (const auto& [slot, image] : kept)
        options.out << "Kept what " << slotName(slot) << " held in "
                    << keptFile(folder, slot).getFullPathName() << "\n";
    return success;
}

int VelkorTool::send(Options& options)
{
    juce::String message;
    const auto image = load(options.positional[0], message);
    if (!image)
        return options.fail(badInput, message);

    if (const int code = checkKeepFolder(options); code != success)
        return code;

    auto devices = deviceFactory(options.simulator, options.fault);
    DeviceSession session(*devices);
    if (const int code = openPort(session, *devices, options); code != success)
        return code;
    if (const int code = keepSlots(session, options, {options.slot}, fileFrom(options.positional[0]));
        code != success)
        return code;
    session.sendProgram(*image, options.slot);

    if (options.verify)
    {
        const auto reply = session.requestProgram(options.slot, options.timeoutMs);
        if (const int code = checkReply(reply, options.port, options.slot, options.timeoutMs, message);
            code != success)
            return options.fail(code, message);
        const auto differences = ProgramText::diff(*image, *reply.image);
        if (!differences.isEmpty())
            return options.fail(badInput, slotName(options.slot) + " of \"" + options.port +
                                              "\" holds another program after the write (" + differences[0] +
                                              (differences.size() > 1 ? ", ..." : "") + ")");
    }
    options.out << "Sent " << options.positional[0] << " to " << slotName(options.slot) << " on \""
                << options.port << "\"" << (options.verify ? " and read it back." : ".") << "\n";
    return success;
}

int VelkorTool::get(Options& options)
{
    auto devices = deviceFactory(options.simulator, options.fault);
    DeviceSession session(*devices);
    if (const int code = openPort(session, *devices, options); code != success)
        return code;

    const auto reply = session.requestProgram(options.slot, options.timeoutMs);
    juce::String message;
    if (const int code = checkReply(reply, options.port, options.slot, options.timeoutMs, message);
        code != success)
        return options.fail(code, message);
    if (!save(options.positional[0], *reply.image, message))
        return options.fail(badInput, message);
    options.out << "Saved " << slotName(options.slot) << " of \"" << options.port << "\" to "
                << options.positional[0] << ".\n";
    return success;
}

int VelkorTool::backup(Options& options)
{
    const bool toSysEx = options.syxFile.isNotEmpty();
    const juce::String path = toSysEx ? options.syxFile : options.positional[0];
    const juce::File target = fileFrom(path);
    if (!toSysEx && target.existsAsFile())
        return options.fail(badInput, path + ": is a file, not a folder");
    if (toSysEx && target.isDirectory())
        return options.fail(badInput, path + ": is a folder, not a file");

    auto devices = deviceFactory(options.simulator, options.fault);
    DeviceSession session(*devices);
    if (const int code = openPort(session, *devices, options); code != success)
        return code;

    // All four first: a backup that stops half way would leave old and new files mixed.
    std::array<ByteArray, SlotFolder::numSlots> images;
    for (int slot = 1; slot <= SlotFolder::numSlots; ++slot)
    {
        const auto reply = session.requestProgram(slot, options.timeoutMs);
        juce::String message;
        if (const int code = checkReply(reply, options.port, slot, options.timeoutMs, message);
            code != success)
            return options.fail(code, message + "; nothing was saved");
        images[static_cast<std::size_t>(slot - 1)] = *reply.image;
    }

    juce::String reason;
    if (toSysEx)
    {
        if (!SysExFile::write(target, SysExFile::bankMessages(images), reason))
            return options.fail(badInput, path + ": " + reason);
        options.out << "Saved slots 1 to 4 of \"" << options.port << "\" to " << target.getFullPathName()
                    << "\n";
        return success;
    }
    if (!SlotFolder::write(target, images, reason))
        return options.fail(badInput, reason);
    for (int slot = 1; slot <= SlotFolder::numSlots; ++slot)
        options.out << "Saved slot " << juce::String(slot) << " to "
                    << SlotFolder::slotFile(target, slot).getFullPathName() << "\n";
    return success;
}

int VelkorTool::restore(Options& options)
{
    const juce::String path = options.positional[0];
    const juce::File source = fileFrom(path);
    std::optional<std::array<ByteArray, SlotFolder::numSlots>> images;
    // Where each slot's program comes from, as the output names it.
    std::array<juce::String, SlotFolder::numSlots> origins;
    juce::String reason;
    // A folder is a backup folder; a file, whatever its name, is read as a bank .syx.
    if (source.isDirectory() || (!source.exists() && !isSysExPath(path)))
    {
        images = SlotFolder::read(source, reason);
        for (int slot = 1; slot <= SlotFolder::numSlots; ++slot)
            origins[static_cast<std::size_t>(slot - 1)] =
                SlotFolder::slotFile(source, slot).getFullPathName();
    }
    else if (const auto bank = loadBank(path, reason))
    {
        images.emplace();
        for (std::size_t i = 0; i < bank->size(); ++i)
        {
            (*images)[i] = ProgramImage::fromData((*bank)[i].data);
            origins[i] = source.getFullPathName() + " (" + messageAt((*bank)[i]) + ")";
        }
    }
    if (!images)
        return options.fail(badInput, reason + "; nothing was sent");
    if (const int code = checkKeepFolder(options); code != success)
        return code;

    auto devices = deviceFactory(options.simulator, options.fault);
    DeviceSession session(*devices);
    if (const int code = openPort(session, *devices, options); code != success)
        return code;
    // All four read and kept before the first write, so that a refusal leaves every slot as it was.
    if (const int code = keepSlots(session, options, {1, 2, 3, 4}, source); code != success)
        return code;

    juce::StringArray unverified;
    for (int slot = 1; slot <= SlotFolder::numSlots; ++slot)
    {
        const ByteArray& image = (*images)[static_cast<std::size_t>(slot - 1)];
        session.sendProgram(image, slot);
        const auto reply = session.requestProgram(slot, options.timeoutMs);
        juce::String message;
        const int code = checkReply(reply, options.port, slot, options.timeoutMs, message);
        // Silence means the controller is gone or busy: writing on into it would go unchecked.
        if (code == noAnswer)
        {
            message << "; " << slotName(slot) << " was written but not read back";
            const int left = SlotFolder::numSlots - slot;
            if (left > 0)
                message << (left == 1   ? ", slot 4 was"
                            : left == 2 ? ", slots 3 and 4 were"
                                        : ", slots " + juce::String(slot + 1) + " to 4 were")
                        << " not written";
            return options.fail(noAnswer, message);
        }
        if (code == success)
        {
            const auto differences = ProgramText::diff(image, *reply.image);
            if (differences.isEmpty())
            {
                options.out << "Restored " << slotName(slot) << " on \"" << options.port << "\" from "
                            << origins[static_cast<std::size_t>(slot - 1)] << " and read it back.\n";
                continue;
            }
            message = slotName(slot) + " of \"" + options.port +
                      "\" holds another program after the write (" + describeDifferences(differences) + ")";
        }
        options.err << toolName << ": " << message << "\n";
        unverified.add(juce::String(slot));
    }
    if (unverified.isEmpty())
        return success;
    return options.fail(badInput, slotList(unverified) + " did not read back as restored");
}

int VelkorTool::split(Options& options)
{
    const juce::String source = options.positional[0];
    const juce::String target = options.positional[1];
    juce::String message;
    const auto bank = loadBank(source, message);
    if (!bank)
        return options.fail(badInput, message + "; nothing was written");
    std::array<ByteArray, SlotFolder::numSlots> images;
    for (std::size_t i = 0; i < images.size(); ++i)
        images[i] = ProgramImage::fromData((*bank)[i].data);
    if (!SlotFolder::write(fileFrom(target), images, message))
        return options.fail(badInput, message);
    // Named as the user named the folder, so that the same line reads alike on every system.
    for (int slot = 1; slot <= SlotFolder::numSlots; ++slot)
        options.out << "Saved slot " << juce::String(slot) << " ("
                    << messageAt((*bank)[static_cast<std::size_t>(slot - 1)]) << ") as slot-"
                    << juce::String(slot) << ProgramFile::extension << " in " << target << "\n";
    return success;
}

int VelkorTool::join(Options& options)
{
    const juce::String source = options.positional[0];
    const juce::String target = options.positional[1];
    juce::String reason;
    const auto images = SlotFolder::read(fileFrom(source), reason);
    if (!images)
        return options.fail(badInput, reason + "; nothing was written");
    if (!SysExFile::write(fileFrom(target), SysExFile::bankMessages(*images), reason))
        return options.fail(badInput, target + ": " + reason);
    options.out << "Saved slot-1.vkr to slot-4.vkr in " << source << " as " << target
                << ", program writes to slots 1 to 4\n";
    return success;
}
