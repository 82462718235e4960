// A user-space ALSA sequencer for tests, preloaded (LD_PRELOAD) into the unmodified editor and
// velkor-tool. It defines the snd_seq_* calls JUCE's ALSA MIDI backend makes and keeps libasound's
// own snd_midi_event_* codec, so JUCE's real code runs end to end against it. This file is that C
// interface; SequencerModel holds the sequencer, FakeController the stand-in controllers.
//
// What it models: clients and their ports with capabilities, subscriptions, one input queue per
// application client whose poll descriptor is readable exactly while events wait, SysEx events whose
// data stays valid until the next read (then it is overwritten), a "Midi Through" client, and one
// stand-in Velkor controller per configured name (see FakeController.h).
//
// Environment, read at every call that lists or connects, so a test may change it between steps:
//   VELKOR_SEQ_DEVICES  controller names separated by ';' (default "Velkor"; empty for none)
//   VELKOR_SEQ_STATE    a folder where the controllers keep their programs, faults and logs
//
// It is also preloaded into every Wine process (the wineserver included), so it does nothing until a
// sequencer call arrives: no thread and no work at load, and nothing to destroy at exit.
#include "SequencerModel.h"

#include <dlfcn.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

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
    snd_seq_client_type_t type;
    int ports;
    char name[64];
};

struct _snd_seq_port_info
{
    int client;
    int port;
    snd_seq_addr_t address;
    unsigned int capability;
    unsigned int type;
    char name[64];
};

using namespace stand_in;

namespace
{
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

    // Wine's MIDI driver keeps a Windows thread waiting here for notifications. At process exit Wine
    // ends that thread from a signal on a stack it has reused, and glibc then runs the clean-up the
    // wait registered on that stack: a jump into garbage, so the process ends with SIGSEGV once
    // its work is done. The driver's waits become short sleeps (spurious wake-ups, which its loop
    // allows), which register nothing; every other caller gets the real wait.
    int pthread_cond_wait(pthread_cond_t* condition, pthread_mutex_t* mutex)
    {
        using Wait = int (*)(pthread_cond_t*, pthread_mutex_t*);
        static const auto real =
            reinterpret_cast<Wait>(dlvsym(RTLD_NEXT, "pthread_cond_wait", "GLIBC_2.3.2"));
        Dl_info caller;
        if (dladdr(__builtin_return_address(0), &caller) != 0 && caller.dli_fname != nullptr &&
            std::strstr(caller.dli_fname, "/winealsa.so") != nullptr)
        {
            pthread_mutex_unlock(mutex);
            ::usleep(2000);
            pthread_mutex_lock(mutex);
            return 0;
        }
        return real(condition, mutex);
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

    int snd_seq_create_simple_port(snd_seq_t* handle, const char* name, unsigned int caps, unsigned int type)
    {
        auto& seq = Sequencer::get();
        const std::lock_guard<std::mutex> lock(seq.mutex);
        auto* client = seq.find(handle->client);
        if (client == nullptr)
            return -ENOENT;
        int port = 0;
        while (client->ports.count(port) != 0)
            ++port;
        client->ports[port] = {name != nullptr ? name : "", caps, type};
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

    int snd_seq_disconnect_from(snd_seq_t* handle, int myport, int src_client, int src_port)
    {
        auto& seq = Sequencer::get();
        const std::lock_guard<std::mutex> lock(seq.mutex);
        return seq.unsubscribe({src_client, src_port}, {handle->client, myport});
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
        // Wine lists without asking for the system's summary first.
        seq.refresh();
        const auto next = seq.clients.upper_bound(info->client);
        if (next == seq.clients.end())
            return -ENOENT;
        info->client = next->first;
        info->type = next->second->kind == Kind::application ? SND_SEQ_USER_CLIENT : SND_SEQ_KERNEL_CLIENT;
        info->ports = static_cast<int>(next->second->ports.size());
        copyName(info->name, next->second->name);
        return 0;
    }

    void snd_seq_client_info_set_client(snd_seq_client_info_t* info, int client)
    {
        info->client = client;
    }

    int snd_seq_client_info_get_client(const snd_seq_client_info_t* info)
    {
        return info->client;
    }

    snd_seq_client_type_t snd_seq_client_info_get_type(const snd_seq_client_info_t* info)
    {
        return info->type;
    }

    const char* snd_seq_client_info_get_name(snd_seq_client_info_t* info)
    {
        return info->name;
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
        info->address = {static_cast<unsigned char>(info->client), static_cast<unsigned char>(info->port)};
        info->capability = next->second.capability;
        info->type = next->second.type;
        copyName(info->name, next->second.name);
        return 0;
    }

    unsigned int snd_seq_port_info_get_capability(const snd_seq_port_info_t* info)
    {
        return info->capability;
    }

    unsigned int snd_seq_port_info_get_type(const snd_seq_port_info_t* info)
    {
        return info->type;
    }

    const snd_seq_addr_t* snd_seq_port_info_get_addr(const snd_seq_port_info_t* info)
    {
        return &info->address;
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
