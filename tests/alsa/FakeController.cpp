// The program layout below is an intentionally independent copy, not taken from model/: a fault in the
// product's program table must not be mirrored by the controller it is tested against.
#include "FakeController.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>

namespace stand_in __attribute__((visibility("hidden")))
{
    namespace
    {
    constexpr int programCount = 5;
    constexpr std::size_t programSize = 117;

    // The editor's default program as a file image: command 0x64, program number 0.
    constexpr std::array<unsigned char, programSize> defaultProgram = {
        0xf0, 0x47, 0x00, 0x26, 0x64, 0x00, 0x6d, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x03, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x01, 0x01, 0x2c, 0x00, 0x01, 0x01, 0x2d, 0x01, 0x02,
        0x01, 0x2e, 0x02, 0x03, 0x01, 0x2f, 0x03, 0x04, 0x01, 0x30, 0x04, 0x05, 0x01, 0x31, 0x05, 0x06, 0x01,
        0x32, 0x06, 0x07, 0x01, 0x33, 0x07, 0x08, 0x01, 0x20, 0x08, 0x09, 0x01, 0x21, 0x09, 0x0a, 0x01, 0x22,
        0x0a, 0x0b, 0x01, 0x23, 0x0b, 0x0c, 0x01, 0x24, 0x0c, 0x0d, 0x01, 0x25, 0x0d, 0x0e, 0x01, 0x26, 0x0e,
        0x0f, 0x01, 0x27, 0x0f, 0x10, 0x01, 0x01, 0x00, 0x7f, 0x02, 0x00, 0x7f, 0x03, 0x00, 0x7f, 0x04, 0x00,
        0x7f, 0x05, 0x00, 0x7f, 0x06, 0x00, 0x7f, 0x07, 0x00, 0x7f, 0x08, 0x00, 0x7f, 0x0c, 0xf7};

    // Offsets in the whole message, F0 included.
    constexpr std::size_t commandOffset = 4;
    constexpr std::size_t programNumberOffset = 7;
    constexpr std::size_t transpositionOffset = 115;
    // The tempo's bit 7, then bits 0 to 6.
    constexpr std::size_t tempoHighOffset = 18;
    constexpr std::size_t tempoLowOffset = 19;
    constexpr int highestTempo = 255;

    struct Fault
    {
        enum class Type
        {
            none,
            silent,
            late,
            split,
            corrupt,
            change
        } type = Type::none;
        int amount = 0;
    };

    std::string deviceFolder(std::size_t device)
    {
        const char* state = std::getenv("VELKOR_SEQ_STATE");
        if (state == nullptr || *state == 0)
            return {};
        return std::string(state) + "/device-" + std::to_string(device + 1);
    }

    bool exists(const std::string& path)
    {
        struct stat info;
        return ::stat(path.c_str(), &info) == 0;
    }

    std::string programFileName(int program)
    {
        return program == 0 ? "ram.vkr" : "slot-" + std::to_string(program) + ".vkr";
    }

    // Programs held in the process when there is no state folder, kept across replugging; never
    // destroyed, like the sequencer whose lock guards them.
    std::map<std::size_t, std::array<Bytes, programCount>>& memory()
    {
        static auto* programs = new std::map<std::size_t, std::array<Bytes, programCount>>();
        return *programs;
    }

    Bytes loadProgram(std::size_t device, int program)
    {
        const std::string folder = deviceFolder(device);
        if (!folder.empty())
        {
            std::ifstream in(folder + "/" + programFileName(program), std::ios::binary);
            Bytes image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (image.size() == programSize)
                return image;
        }
        else if (!memory()[device][static_cast<std::size_t>(program)].empty())
            return memory()[device][static_cast<std::size_t>(program)];
        return Bytes(defaultProgram.begin(), defaultProgram.end());
    }

    void storeProgram(std::size_t device, int program, const Bytes& image)
    {
        const std::string folder = deviceFolder(device);
        if (folder.empty())
        {
            memory()[device][static_cast<std::size_t>(program)] = image;
            return;
        }
        ::mkdir(folder.c_str(), 0755);
        std::ofstream out(folder + "/" + programFileName(program), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    }

    Fault readFault(const std::string& folder, int program)
    {
        if (folder.empty())
            return {};
        std::ifstream in(folder + "/fault");
        std::optional<Fault> forAll;
        for (std::string line; std::getline(in, line);)
        {
            std::istringstream words(line);
            std::string name;
            if (!(words >> name))
                continue;
            Fault fault;
            fault.type = name == "silent"    ? Fault::Type::silent
                         : name == "late"    ? Fault::Type::late
                         : name == "split"   ? Fault::Type::split
                         : name == "corrupt" ? Fault::Type::corrupt
                         : name == "change"  ? Fault::Type::change
                                             : Fault::Type::none;
            std::string word;
            if (words >> word && word != "slot")
            {
                fault.amount = std::atoi(word.c_str());
                word.clear();
                words >> word;
            }
            int slot = -1;
            if (word == "slot" && !(words >> slot))
                slot = -2; // names no program
            if (slot == program)
                return fault;
            if (slot == -1 && !forAll)
                forAll = fault;
        }
        return forAll.value_or(Fault{});
    }

    void log(const std::string& folder, const std::string& line)
    {
        if (folder.empty())
            return;
        ::mkdir(folder.c_str(), 0755);
        std::ofstream(folder + "/received", std::ios::app) << line << "\n";
    }

    void answer(Sequencer& sequencer, int id, std::size_t device, int program)
    {
        const Fault fault = readFault(deviceFolder(device), program);
        if (fault.type == Fault::Type::silent)
            return;
        Bytes dump = loadProgram(device, program);
        dump[commandOffset] = 0x67;
        dump[programNumberOffset] = static_cast<unsigned char>(program);
        if (fault.type == Fault::Type::corrupt)
            dump[transpositionOffset] = 25;

        // A USB MIDI driver hands a long SysEx on in pieces, each its own event.
        const std::size_t piece = fault.type == Fault::Type::split && fault.amount > 0
                                      ? static_cast<std::size_t>(fault.amount)
                                      : dump.size();
        std::vector<Bytes> pieces;
        for (std::size_t start = 0; start < dump.size(); start += piece)
            pieces.emplace_back(dump.begin() + static_cast<long>(start),
                                dump.begin() + static_cast<long>(std::min(dump.size(), start + piece)));

        const Address from{id, 0};
        if (fault.type == Fault::Type::late)
        {
            sequencer.schedule(from, std::move(pieces), std::chrono::milliseconds(fault.amount));
            return;
        }
        for (const auto& bytes : pieces)
            sequencer.dispatch(sysExEvent(bytes), from, {SND_SEQ_ADDRESS_SUBSCRIBERS, 0});
    }

    void takeMessage(Sequencer& sequencer, int id, const Client& controller, const Bytes& message)
    {
        const bool velkor = message.size() > 5 && message[1] == 0x47 && message[3] == 0x26;
        if (!velkor)
            return;
        const std::string folder = deviceFolder(controller.device);
        const int program = message.size() > programNumberOffset ? message[programNumberOffset] : -1;
        if (message.size() == programSize && message[commandOffset] == 0x64 && program < programCount)
        {
            Bytes image = message;
            image[programNumberOffset] = 0;
            if (readFault(folder, program).type == Fault::Type::change)
            {
                const int tempo = (image[tempoHighOffset] << 7) | image[tempoLowOffset];
                const int changed = tempo < highestTempo ? tempo + 1 : tempo - 1;
                image[tempoHighOffset] = static_cast<unsigned char>(changed >> 7);
                image[tempoLowOffset] = static_cast<unsigned char>(changed & 0x7f);
            }
            storeProgram(controller.device, program, image);
            log(folder, "write " + std::to_string(program));
        }
        else if (message.size() == 9 && message[commandOffset] == 0x66 && program < programCount)
        {
            log(folder, "request " + std::to_string(program));
            answer(sequencer, id, controller.device, program);
        }
    }
    } // namespace

    std::vector<std::string> configuredControllerNames()
    {
        const char* value = std::getenv("VELKOR_SEQ_DEVICES");
        std::vector<std::string> names;
        std::stringstream list(value != nullptr ? value : "Velkor");
        for (std::string name; std::getline(list, name, ';');)
            if (!name.empty())
                names.push_back(name);
        return names;
    }

    bool isUnplugged(std::size_t device)
    {
        const std::string folder = deviceFolder(device);
        return !folder.empty() && exists(folder + "/unplugged");
    }

    void takeFromWire(Sequencer & sequencer, int id, Client& controller, const Event& event)
    {
        Bytes bytes;
        if (snd_seq_ev_is_variable(&event.event))
            bytes = event.data;
        else
        {
            snd_midi_event_t* decoder = nullptr;
            if (snd_midi_event_new(16, &decoder) < 0)
                return;
            unsigned char buffer[16];
            const long size = snd_midi_event_decode(decoder, buffer, sizeof buffer, &event.event);
            snd_midi_event_free(decoder);
            if (size > 0)
                bytes.assign(buffer, buffer + size);
        }
        for (const unsigned char byte : bytes)
        {
            if (byte == 0xf0)
                controller.incoming.assign(1, byte);
            else if (!controller.incoming.empty() && byte < 0x80)
                controller.incoming.push_back(byte);
            else if (!controller.incoming.empty() && byte == 0xf7)
            {
                controller.incoming.push_back(byte);
                takeMessage(sequencer, id, controller, controller.incoming);
                controller.incoming.clear();
            }
            else if (byte < 0xf8) // a status byte ends a SysEx without F7; real-time bytes do not
                controller.incoming.clear();
        }
    }
} // namespace )
