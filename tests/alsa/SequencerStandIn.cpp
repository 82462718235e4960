// A user-space ALSA sequencer for tests, preloaded (LD_PRELOAD) into the unmodified editor and
// velkor-tool. It defines the snd_seq_* calls JUCE's ALSA MIDI backend makes and keeps libasound's
// own snd_midi_event_* codec, so JUCE's real code runs end to end against it.
//
// What it models: clients and their ports with capabilities, subscriptions, one input queue per
// application client whose poll descriptor is readable exactly while events wait, SysEx events whose
// data stays valid until the next read (then it is overwritten), a "Midi Through" client, and one
// stand-in Velkor controller per configured name: client 20, 24, ... with port "<name> MIDI 1". A
// controller stores 117-byte program writes and answers 9-byte program requests with a dump.
//
// Environment, read at every call that lists or connects, so a test may change it between steps:
//   VELKOR_SEQ_DEVICES  controller names separated by ';' (default "Velkor"; empty for none)
//   VELKOR_SEQ_STATE    a folder; controller n (from 1) keeps its programs there as
//                       device-n/slot-1.vkr ... slot-4.vkr and ram.vkr (editor file images), and reads
//                       device-n/fault at each request and each write. While device-n/unplugged exists
//                       the controller is unplugged. Every message it takes is logged to
//                       device-n/received ("request 3", "write 3").
// The fault file holds lines "NAME [AMOUNT] [slot N]". Faults of an answer: "none", "silent",
// "late MS", "split BYTES", "corrupt" (a value out of range); of a write: "change" (stored with the
// tempo one higher, one lower at 255, so still a valid program). A line with "slot N" (0 is RAM)
// applies to program N alone, a line without to every other; the first line that applies counts.
// Without a state folder the programs live in the process and start as the default program.
#include <alsa/asoundlib.h>

#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

struct _snd_seq
{
    int client;
};

struct _snd_seq_system_info
{
    int clients;
};

struct _snd_seq_client_info
{
    int client;
    int ports;
    char name[64];
};

struct _snd_seq_port_info
{
    int client;
    int port;
    unsigned int capability;
    char name[64];
};

namespace
{
using Bytes = std::vector<unsigned char>;
using Clock = std::chrono::steady_clock;

constexpr int systemClient = 0;
constexpr int throughClient = 14;
constexpr int firstControllerClient = 20;
constexpr int firstApplicationClient = 128;
constexpr int programCount = 5;
constexpr std::size_t programSize = 117;
constexpr unsigned int everyCapability = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_WRITE |
                                         SND_SEQ_PORT_CAP_SUBS_READ | SND_SEQ_PORT_CAP_SUBS_WRITE |
                                         SND_SEQ_PORT_CAP_DUPLEX;

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

struct Address
{
    int client;
    int port;
    bool operator<(const Address& other) const
    {
        return client != other.client ? client < other.client : port < other.port;
    }
    bool operator==(const Address& other) const { return client == other.client && port == other.port; }
};

struct Port
{
    std::string name;
    unsigned int capability;
};

struct Event
{
    snd_seq_event_t event{};
    Bytes data;
};

enum class Kind
{
    system,
    through,
    controller,
    application
};

struct Client
{
    Kind kind = Kind::application;
    std::string name;
    std::map<int, Port> ports;

    // Applications: the input queue and what the last read handed out.
    int readable = -1;
    bool nonBlocking = false;
    std::deque<Event> queue;
    Event current;
    std::condition_variable arrived;

    // Controllers: which configured device, and the SysEx being assembled from its input.
    std::size_t device = 0;
    Bytes incoming;
};

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

class Sequencer
{
public:
    static Sequencer& get()
    {
        // Never destroyed: JUCE may close its client from a static destructor of its own.
        static Sequencer* instance = new Sequencer();
        return *instance;
    }

    std::mutex mutex;
    std::map<int, std::unique_ptr<Client>> clients;
    std::set<std::pair<Address, Address>> subscriptions; // sender, receiver

    Sequencer()
    {
        auto system = std::make_unique<Client>();
        system->kind = Kind::system;
        system->name = "System";
        system->ports[0] = {"Timer", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ};
        system->ports[1] = {"Announce", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ};
        clients[systemClient] = std::move(system);

        auto through = std::make_unique<Client>();
        through->kind = Kind::through;
        through->name = "Midi Through";
        through->ports[0] = {"Midi Through Port-0", everyCapability};
        clients[throughClient] = std::move(through);
    }

    // Brings the controllers in line with the environment and the unplugged markers.
    void refresh()
    {
        const std::vector<std::string> names = configuredNames();
        for (std::size_t device = 0; device < 16; ++device)
        {
            const int id = firstControllerClient + 4 * static_cast<int>(device);
            const std::string folder = deviceFolder(device);
            const bool present = device < names.size() && (folder.empty() || !exists(folder + "/unplugged"));
            const auto found = clients.find(id);
            if (present && (found == clients.end() || found->second->name != names[device]))
            {
                if (found != clients.end())
                    removeClient(id);
                auto controller = std::make_unique<Client>();
                controller->kind = Kind::controller;
                controller->name = names[device];
                controller->device = device;
                controller->ports[0] = {names[device] + " MIDI 1", everyCapability};
                clients[id] = std::move(controller);
            }
            else if (!present && found != clients.end())
                removeClient(id);
        }
    }

    void removeClient(int id)
    {
        for (auto it = subscriptions.begin(); it != subscriptions.end();)
            it = it->first.client == id || it->second.client == id ? subscriptions.erase(it) : std::next(it);
        clients.erase(id);
        scheduled.erase(std::remove_if(scheduled.begin(), scheduled.end(),
                                       [id](const Scheduled& s) { return s.from.client == id; }),
                        scheduled.end());
    }

    void removePort(Address address)
    {
        for (auto it = subscriptions.begin(); it != subscriptions.end();)
            it = it->first == address || it->second == address ? subscriptions.erase(it) : std::next(it);
        if (auto* client = find(address.client))
            client->ports.erase(address.port);
    }

    Client* find(int id)
    {
        const auto found = clients.find(id);
        return found == clients.end() ? nullptr : found->second.get();
    }

    const Port* findPort(Address address)
    {
        auto* client = find(address.client);
        if (client == nullptr)
            return nullptr;
        const auto found = client->ports.find(address.port);
        return found == client->ports.end() ? nullptr : &found->second;
    }

    int subscribe(Address sender, Address receiver, int caller)
    {
        const Port* from = findPort(sender);
        const Port* to = findPort(receiver);
        if (from == nullptr || to == nullptr)
            return -ENOENT;
        const unsigned int read =
            SND_SEQ_PORT_CAP_READ | (sender.client == caller ? 0u : SND_SEQ_PORT_CAP_SUBS_READ);
        const unsigned int write =
            SND_SEQ_PORT_CAP_WRITE | (receiver.client == caller ? 0u : SND_SEQ_PORT_CAP_SUBS_WRITE);
        if ((from->capability & read) != read || (to->capability & write) != write)
            return -EPERM;
        if (!subscriptions.insert({sender, receiver}).second)
            return -EBUSY;
        return 0;
    }

    // Hands an event from `sender` to its subscribers, or to one port.
    void dispatch(const Event& event, Address sender, Address destination)
    {
        std::vector<Address> receivers;
        if (destination.client == SND_SEQ_ADDRESS_SUBSCRIBERS)
        {
            for (const auto& subscription : subscriptions)
                if (subscription.first == sender)
                    receivers.push_back(subscription.second);
        }
        else if (findPort(destination) != nullptr)
            receivers.push_back(destination);

        for (const Address receiver : receivers)
        {
            Client* client = find(receiver.client);
            if (client == nullptr)
                continue;
            Event copy = event;
            copy.event.source = {static_cast<unsigned char>(sender.client),
                                 static_cast<unsigned char>(sender.port)};
            copy.event.dest = {static_cast<unsigned char>(receiver.client),
                               static_cast<unsigned char>(receiver.port)};
            switch (client->kind)
            {
            case Kind::application:
                enqueue(*client, std::move(copy));
                break;
            case Kind::through:
                dispatch(copy, receiver, {SND_SEQ_ADDRESS_SUBSCRIBERS, 0});
                break;
            case Kind::controller:
                takeFromWire(receiver.client, *client, copy);
                break;
            case Kind::system:
                break;
            }
        }
    }

    void enqueue(Client& client, Event event)
    {
        if (client.queue.empty())
        {
            const std::uint64_t one = 1;
            [[maybe_unused]] const auto written = ::write(client.readable, &one, sizeof one);
        }
        client.queue.push_back(std::move(event));
        client.arrived.notify_all();
    }

    // The controller's side of the wire: raw MIDI bytes, SysEx assembled across events.
    void takeFromWire(int id, Client& controller, const Event& event)
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
                takeMessage(id, controller, controller.incoming);
                controller.incoming.clear();
            }
            else if (byte < 0xf8) // a status byte ends a SysEx without F7; real-time bytes do not
                controller.incoming.clear();
        }
    }

    void takeMessage(int id, const Client& controller, const Bytes& message)
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
            answer(id, controller.device, program);
        }
    }

    void answer(int id, std::size_t device, int program)
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
            schedule(from, std::move(pieces), std::chrono::milliseconds(fault.amount));
            return;
        }
        for (const auto& bytes : pieces)
            dispatch(sysExEvent(bytes), from, {SND_SEQ_ADDRESS_SUBSCRIBERS, 0});
    }

    static Event sysExEvent(const Bytes& bytes)
    {
        Event event;
        snd_seq_ev_clear(&event.event);
        event.event.type = SND_SEQ_EVENT_SYSEX;
        event.event.flags = SND_SEQ_EVENT_LENGTH_VARIABLE;
        event.data = bytes;
        return event;
    }

    // Late answers go out from a thread of the stand-in's own, as a device's answer would.
    struct Scheduled
    {
        Clock::time_point when;
        Address from;
        std::vector<Bytes> pieces;
    };
    std::vector<Scheduled> scheduled;
    std::condition_variable scheduleChanged;
    bool workerRunning = false;

    void schedule(Address from, std::vector<Bytes> pieces, Clock::duration delay)
    {
        scheduled.push_back({Clock::now() + delay, from, std::move(pieces)});
        scheduleChanged.notify_all();
        if (!workerRunning)
        {
            workerRunning = true;
            std::thread([this] { deliverLateAnswers(); }).detach();
        }
    }

    void deliverLateAnswers()
    {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;)
        {
            if (scheduled.empty())
            {
                scheduleChanged.wait(lock);
                continue;
            }
            const auto next =
                std::min_element(scheduled.begin(), scheduled.end(),
                                 [](const Scheduled& a, const Scheduled& b) { return a.when < b.when; });
            if (Clock::now() < next->when)
            {
                scheduleChanged.wait_until(lock, next->when);
                continue;
            }
            const Scheduled due = *next;
            scheduled.erase(next);
            for (const auto& bytes : due.pieces)
                dispatch(sysExEvent(bytes), due.from, {SND_SEQ_ADDRESS_SUBSCRIBERS, 0});
        }
    }

    // Programs held in the process when there is no state folder.
    std::map<std::size_t, std::array<Bytes, programCount>> memory;

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
        else if (!memory[device][static_cast<std::size_t>(program)].empty())
            return memory[device][static_cast<std::size_t>(program)];
        return Bytes(defaultProgram.begin(), defaultProgram.end());
    }

    void storeProgram(std::size_t device, int program, const Bytes& image)
    {
        const std::string folder = deviceFolder(device);
        if (folder.empty())
        {
            memory[device][static_cast<std::size_t>(program)] = image;
            return;
        }
        ::mkdir(folder.c_str(), 0755);
        std::ofstream out(folder + "/" + programFileName(program), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    }

    static std::string programFileName(int program)
    {
        return program == 0 ? "ram.vkr" : "slot-" + std::to_string(program) + ".vkr";
    }

    static std::vector<std::string> configuredNames()
    {
        const char* value = std::getenv("VELKOR_SEQ_DEVICES");
        std::vector<std::string> names;
        std::stringstream list(value != nullptr ? value : "Velkor");
        for (std::string name; std::getline(list, name, ';');)
            if (!name.empty())
                names.push_back(name);
        return names;
    }

    static std::string deviceFolder(std::size_t device)
    {
        const char* state = std::getenv("VELKOR_SEQ_STATE");
        if (state == nullptr || *state == 0)
            return {};
        return std::string(state) + "/device-" + std::to_string(device + 1);
    }

    static bool exists(const std::string& path)
    {
        struct stat info;
        return ::stat(path.c_str(), &info) == 0;
    }

    static Fault readFault(const std::string& folder, int program)
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

    static void log(const std::string& folder, const std::string& line)
    {
        if (folder.empty())
            return;
        ::mkdir(folder.c_str(), 0755);
        std::ofstream(folder + "/received", std::ios::app) << line << "\n";
    }
};

void copyName(char (&target)[64], const std::string& name)
{
    std::snprintf(target, sizeof target, "%s", name.c_str());
}
} // namespace

extern "C"
{
    // Lets a test ask whether it runs against the stand-in.
    int velkor_seq_stand_in()
    {
        return 1;
    }

    int snd_seq_open(snd_seq_t** handle, const char* name, int streams, int mode)
    {
        if (handle == nullptr || name == nullptr || std::strcmp(name, "default") != 0 ||
            (streams & SND_SEQ_OPEN_DUPLEX) == 0)
            return -ENOENT;
        auto& seq = Sequencer::get();
        const std::lock_guard<std::mutex> lock(seq.mutex);
        int id = firstApplicationClient;
        while (seq.clients.count(id) != 0)
            ++id;
        auto client = std::make_unique<Client>();
        client->name = "Client-" + std::to_string(id);
        client->readable = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        client->nonBlocking = (mode & SND_SEQ_NONBLOCK) != 0;
        if (client->readable < 0)
            return -errno;
        seq.clients[id] = std::move(client);
        *handle = new snd_seq_t{id};
        return 0;
    }

    int snd_seq_close(snd_seq_t* handle)
    {
        if (handle == nullptr)
            return -EINVAL;
        auto& seq = Sequencer::get();
        {
            const std::lock_guard<std::mutex> lock(seq.mutex);
            if (auto* client = seq.find(handle->client))
                ::close(client->readable);
            seq.removeClient(handle->client);
        }
        delete handle;
        return 0;
    }

    int snd_seq_nonblock(snd_seq_t* handle, int nonblock)
    {
        auto& seq = Sequencer::get();
        const std::lock_guard<std::mutex> lock(seq.mutex);
        if (auto* client = seq.find(handle->client))
            client->nonBlocking = nonblock != 0;
        return 0;
    }

    int snd_seq_set_client_name(snd_seq_t* handle, const char* name)
    {
        auto& seq = Sequencer::get();
        const std::lock_guard<std::mutex> lock(seq.mutex);
        if (auto* client = seq.find(handle->client); client != nullptr && name != nullptr)
            client->name = name;
        return 0;
    }

    int snd_seq_client_id(snd_seq_t* handle)
    {
        return handle->client;
    }

    int snd_seq_create_simple_port(snd_seq_t* handle, const char* name, unsigned int caps, unsigned int)
    {
        auto& seq = Sequencer::get();
        const std::lock_guard<std::mutex> lock(seq.mutex);
        auto* client = seq.find(handle->client);
        if (client == nullptr)
            return -ENOENT;
        int port = 0;
        while (client->ports.count(port) != 0)
            ++port;
        client->ports[port] = {name != nullptr ? name : "", caps};
        return port;
    }

    int snd_seq_delete_simple_port(snd_seq_t* handle, int port)
    {
        auto& seq = Sequencer::get();
        const std::lock_guard<std::mutex> lock(seq.mutex);
        if (seq.findPort({handle->client, port}) == nullptr)
            return -ENOENT;
        seq.removePort({handle->client, port});
        return 0;
    }

    int snd_seq_connect_from(snd_seq_t* handle, int myport, int src_client, int src_port)
    {
        auto& seq = Sequencer::get();
        const std::lock_guard<std::mutex> lock(seq.mutex);
        seq.refresh();
        return seq.subscribe({src_client, src_port}, {handle->client, myport}, handle->client);
    }

    int snd_seq_connect_to(snd_seq_t* handle, int myport, int dest_client, int dest_port)
    {
        auto& seq = Sequencer::get();
        const std::lock_guard<std::mutex> lock(seq.mutex);
        seq.refresh();
        return seq.subscribe({handle->client, myport}, {dest_client, dest_port}, handle->client);
    }

    int snd_seq_event_output_direct(snd_seq_t* handle, snd_seq_event_t* ev)
    {
        if (ev == nullptr)
            return -EINVAL;
        auto& seq = Sequencer::get();
        const std::lock_guard<std::mutex> lock(seq.mutex);
        seq.refresh();
        const Port* port = seq.findPort({handle->client, ev->source.port});
        if (port == nullptr || (port->capability & SND_SEQ_PORT_CAP_READ) == 0)
            return -EINVAL;
        Event event;
        event.event = *ev;
        if (snd_seq_ev_is_variable(ev))
        {
            const auto* data = static_cast<const unsigned char*>(ev->data.ext.ptr);
            event.data.assign(data, data + ev->data.ext.len);
        }
        seq.dispatch(event, {handle->client, ev->source.port}, {ev->dest.client, ev->dest.port});
        return static_cast<int>(sizeof(snd_seq_event_t) + event.data.size());
    }

    int snd_seq_event_input(snd_seq_t* handle, snd_seq_event_t** ev)
    {
        auto& seq = Sequencer::get();
        std::unique_lock<std::mutex> lock(seq.mutex);
        auto* client = seq.find(handle->client);
        if (client == nullptr)
            return -ENODEV;
        while (client->queue.empty())
        {
            if (client->nonBlocking)
                return -EAGAIN;
            client->arrived.wait(lock);
        }
        // The previous event's data is only good until this read, as with the real sequencer.
        std::fill(client->current.data.begin(), client->current.data.end(), 0xfd);
        client->current = std::move(client->queue.front());
        client->queue.pop_front();
        if (client->queue.empty())
        {
            std::uint64_t count = 0;
            [[maybe_unused]] const auto taken = ::read(client->readable, &count, sizeof count);
        }
        if (snd_seq_ev_is_variable(&client->current.event))
        {
            client->current.event.data.ext.ptr = client->current.data.data();
            client->current.event.data.ext.len = static_cast<unsigned int>(client->current.data.size());
        }
        *ev = &client->current.event;
        return static_cast<int>(client->queue.size());
    }

    int snd_seq_event_input_pending(snd_seq_t* handle, int)
    {
        auto& seq = Sequencer::get();
        const std::lock_guard<std::mutex> lock(seq.mutex);
        auto* client = seq.find(handle->client);
        return client == nullptr ? 0 : static_cast<int>(client->queue.size());
    }

    int snd_seq_free_event(snd_seq_event_t*)
    {
        return 0;
    }

    int snd_seq_poll_descriptors_count(snd_seq_t*, short events)
    {
        return (events & POLLIN) != 0 ? 1 : 0;
    }

    int snd_seq_poll_descriptors(snd_seq_t* handle, struct pollfd* pfds, unsigned int space, short events)
    {
        if (space < 1 || (events & POLLIN) == 0)
            return 0;
        auto& seq = Sequencer::get();
        const std::lock_guard<std::mutex> lock(seq.mutex);
        auto* client = seq.find(handle->client);
        if (client == nullptr)
            return 0;
        pfds[0].fd = client->readable;
        pfds[0].events = POLLIN;
        pfds[0].revents = 0;
        return 1;
    }

    size_t snd_seq_system_info_sizeof()
    {
        return sizeof(snd_seq_system_info_t);
    }

    int snd_seq_system_info(snd_seq_t*, snd_seq_system_info_t* info)
    {
        auto& seq = Sequencer::get();
        const std::lock_guard<std::mutex> lock(seq.mutex);
        seq.refresh();
        info->clients = static_cast<int>(seq.clients.size());
        return 0;
    }

    int snd_seq_system_info_get_cur_clients(const snd_seq_system_info_t* info)
    {
        return info->clients;
    }

    size_t snd_seq_client_info_sizeof()
    {
        return sizeof(snd_seq_client_info_t);
    }

    int snd_seq_query_next_client(snd_seq_t*, snd_seq_client_info_t* info)
    {
        auto& seq = Sequencer::get();
        const std::lock_guard<std::mutex> lock(seq.mutex);
        const auto next = seq.clients.upper_bound(info->client);
        if (next == seq.clients.end())
            return -ENOENT;
        info->client = next->first;
        info->ports = static_cast<int>(next->second->ports.size());
        copyName(info->name, next->second->name);
        return 0;
    }

    int snd_seq_client_info_get_client(const snd_seq_client_info_t* info)
    {
        return info->client;
    }

    int snd_seq_client_info_get_num_ports(const snd_seq_client_info_t* info)
    {
        return info->ports;
    }

    size_t snd_seq_port_info_sizeof()
    {
        return sizeof(snd_seq_port_info_t);
    }

    void snd_seq_port_info_set_client(snd_seq_port_info_t* info, int client)
    {
        info->client = client;
    }

    void snd_seq_port_info_set_port(snd_seq_port_info_t* info, int port)
    {
        info->port = port;
    }

    int snd_seq_query_next_port(snd_seq_t*, snd_seq_port_info_t* info)
    {
        auto& seq = Sequencer::get();
        const std::lock_guard<std::mutex> lock(seq.mutex);
        auto* client = seq.find(info->client);
        if (client == nullptr)
            return -ENOENT;
        const auto next = client->ports.upper_bound(info->port);
        if (next == client->ports.end())
            return -ENOENT;
        info->port = next->first;
        info->capability = next->second.capability;
        copyName(info->name, next->second.name);
        return 0;
    }

    unsigned int snd_seq_port_info_get_capability(const snd_seq_port_info_t* info)
    {
        return info->capability;
    }

    const char* snd_seq_port_info_get_name(const snd_seq_port_info_t* info)
    {
        return info->name;
    }

    int snd_seq_port_info_get_port(const snd_seq_port_info_t* info)
    {
        return info->port;
    }
}
