#pragma once

// The stand-in's sequencer: clients, their ports, subscriptions and the events between them. Every
// member is used with `mutex` held.
#include <alsa/asoundlib.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

// Hidden: preloaded into the program under test, none of this may stand in for a symbol of its own.
namespace stand_in __attribute__((visibility("hidden")))
{
    using Bytes = std::vector<unsigned char>;
    using Clock = std::chrono::steady_clock;

    constexpr int systemClient = 0;
    constexpr int throughClient = 14;
    constexpr int firstControllerClient = 20;
    constexpr int firstApplicationClient = 128;
    constexpr unsigned int everyCapability = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_WRITE |
                                             SND_SEQ_PORT_CAP_SUBS_READ | SND_SEQ_PORT_CAP_SUBS_WRITE |
                                             SND_SEQ_PORT_CAP_DUPLEX;

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
        unsigned int type;
    };

    struct Event
    {
        snd_seq_event_t event{};
        Bytes data;
    };

    Event sysExEvent(const Bytes& bytes);

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

    class Sequencer
    {
    public:
        static Sequencer& get();

        std::mutex mutex;
        std::map<int, std::unique_ptr<Client>> clients;
        std::set<std::pair<Address, Address>> subscriptions; // sender, receiver

        // Brings the controllers in line with the environment and the unplugged markers.
        void refresh();
        void removeClient(int id);
        void removePort(Address address);
        Client* find(int id);
        const Port* findPort(Address address);
        int subscribe(Address sender, Address receiver, int caller);
        int unsubscribe(Address sender, Address receiver);
        // Hands an event from `sender` to its subscribers, or to one port.
        void dispatch(const Event& event, Address sender, Address destination);
        // Sends SysEx pieces from `from` to its subscribers after `delay`.
        void schedule(Address from, std::vector<Bytes> pieces, Clock::duration delay);

    private:
        Sequencer();
        void enqueue(Client& client, Event event);
        void deliverLateAnswers();

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
    };
} // namespace )
