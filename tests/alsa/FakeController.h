#pragma once

// The stand-in Velkor controllers, one per configured name: client 20, 24, ... with port
// "<name> MIDI 1". A controller stores 117-byte program writes and answers 9-byte program requests
// with a dump.
//
// With VELKOR_SEQ_STATE set, controller n (from 1) keeps its programs there as device-n/slot-1.vkr ...
// slot-4.vkr and ram.vkr (editor file images), and reads device-n/fault at each request and each
// write. While device-n/unplugged exists the controller is unplugged. Every message it takes is logged
// to device-n/received ("request 3", "write 3").
// The fault file holds lines "NAME [AMOUNT] [slot N]". Faults of an answer: "none", "silent",
// "late MS", "split BYTES", "corrupt" (a value out of range); of a write: "change" (stored with the
// tempo one higher, one lower at 255, so still a valid program). A line with "slot N" (0 is RAM)
// applies to program N alone, a line without to every other; the first line that applies counts.
// Without a state folder the programs live in the process and start as the default program.
#include "SequencerModel.h"

#include <cstddef>
#include <string>
#include <vector>

namespace stand_in __attribute__((visibility("hidden")))
{
    // From VELKOR_SEQ_DEVICES, read afresh at each call.
    std::vector<std::string> configuredControllerNames();
    bool isUnplugged(std::size_t device);

    // Raw MIDI bytes arriving at `controller`, client `id`: SysEx is assembled across events, and
    // answers go out through `sequencer`, whose lock the caller holds.
    void takeFromWire(Sequencer & sequencer, int id, Client& controller, const Event& event);
} // namespace )
