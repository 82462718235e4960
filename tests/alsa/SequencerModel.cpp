#include "SequencerModel.h"

#include "FakeController.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <thread>

namespace stand_in __attribute__((visibility("hidden")))
{
    Event sysExEvent(const Bytes& bytes)
    {
        Event event;
        snd_seq_ev_clear(&event.event);
        event.event.type = SND_SEQ_EVENT_SYSEX;
        event.event.flags = SND_SEQ_EVENT_LENGTH_VARIABLE;
        event.data = bytes;
        return event;
    }

    Sequencer& Sequencer::get()
    {
        // Never destroyed: JUCE may close its client from a static destructor of its own.
        static Sequencer* instance = new Sequencer();
        return *instance;
    }

    Sequencer::Sequencer()
    {
        auto system = std::make_unique<Client>();
        system->kind = Kind::system;
        system->name = "System";
        // The system ports are typed as nothing a MIDI driver would offer.
        system->ports[0] = {"Timer", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ, 0};
        system->ports[1] = {"Announce", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ, 0};
        clients[systemClient] = std::move(system);

        auto through = std::make_unique<Client>();
        through->kind = Kind::through;
        through->name = "Midi Through";
        through->ports[0] = {"Midi Through Port-0", everyCapability,
                             SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_SOFTWARE |
                                 SND_SEQ_PORT_TYPE_PORT};
        clients[throughClient] = std::move(through);
    }

    void Sequencer::refresh()
    {
        const std::vector<std::string> names = configuredControllerNames();
        for (std::size_t device = 0; device < 16; ++device)
        {
            const int id = firstControllerClient + 4 * static_cast<int>(device);
            const bool present = device < names.size() && !isUnplugged(device);
            const auto found = clients.find(id);
            if (present && (found == clients.end() || found->second->name != names[device]))
            {
                if (found != clients.end())
                    removeClient(id);
                auto controller = std::make_unique<Client>();
                controller->kind = Kind::controller;
                controller->name = names[device];
                controller->device = device;
                controller->ports[0] = {names[device] + " MIDI 1", everyCapability,
                                        SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_HARDWARE |
                                            SND_SEQ_PORT_TYPE_PORT};
                clients[id] = std::move(controller);
            }
            else if (!present && found != clients.end())
                removeClient(id);
        }
    }

    void Sequencer::removeClient(int id)
    {
        for (auto it = subscriptions.begin(); it != subscriptions.end();)
            it = it->first.client == id || it->second.client == id ? subscriptions.erase(it) : std::next(it);
        clients.erase(id);
        scheduled.erase(std::remove_if(scheduled.begin(), scheduled.end(),
                                       [id](const Scheduled& s) { return s.from.client == id; }),
                        scheduled.end());
    }

    void Sequencer::removePort(Address address)
    {
        for (auto it = subscriptions.begin(); it != subscriptions.end();)
            it = it->first == address || it->second == address ? subscriptions.erase(it) : std::next(it);
        if (auto* client = find(address.client))
            client->ports.erase(address.port);
    }

    Client* Sequencer::find(int id)
    {
        const auto found = clients.find(id);
        return found == clients.end() ? nullptr : found->second.get();
    }

    const Port* Sequencer::findPort(Address address)
    {
        auto* client = find(address.client);
        if (client == nullptr)
            return nullptr;
        const auto found = client->ports.find(address.port);
        return found == client->ports.end() ? nullptr : &found->second;
    }

    int Sequencer::subscribe(Address sender, Address receiver, int caller)
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

    int Sequencer::unsubscribe(Address sender, Address receiver)
    {
        return subscriptions.erase({sender, receiver}) == 1 ? 0 : -ENOENT;
    }

    void Sequencer::dispatch(const Event& event, Address sender, Address destination)
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
                takeFromWire(*this, receiver.client, *client, copy);
                break;
            case Kind::system:
                break;
            }
        }
    }

    void Sequencer::enqueue(Client & client, Event event)
    {
        if (client.queue.empty())
        {
            const std::uint64_t one = 1;
            [[maybe_unused]] const auto written = ::write(client.readable, &one, sizeof one);
        }
        client.queue.push_back(std::move(event));
        client.arrived.notify_all();
    }

    void Sequencer::schedule(Address from, std::vector<Bytes> pieces, Clock::duration delay)
    {
        scheduled.push_back({Clock::now() + delay, from, std::move(pieces)});
        scheduleChanged.notify_all();
        if (!workerRunning)
        {
            workerRunning = true;
            std::thread([this] { deliverLateAnswers(); }).detach();
        }
    }

    void Sequencer::deliverLateAnswers()
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
} // namespace )
