#!/usr/bin/env bash
# velkor-tool on JUCE's real ALSA MIDI code, with the sequencer stand-in preloaded: the controller's
# port as a musician would name it (whole or by a part), send with read-back, get, backup and restore,
# and a controller that answers in pieces, late, not at all, changes a value, or is unplugged.
# Usage: velkor_tool_alsa.sh VELKOR_TOOL_EXECUTABLE STAND_IN_PRELOAD
set -uo pipefail
source "$(dirname "$0")/../support/lib.sh"
tool=$1
preload=$2 # expect_code runs the tool with it
enter_work_dir

export VELKOR_SEQ_STATE=$work/controller VELKOR_SEQ_DEVICES="Velkor"
mkdir -p controller/device-1 controller/device-2
port=(--port "Velkor MIDI 1")

fault() { echo "$1" >controller/device-1/fault; }

expect_code 0 "$tool" ports
grep -qx '  Velkor MIDI 1' out.txt && grep -qx '  Midi Through Port-0' out.txt || fail "ports listed: $(cat out.txt)"

# A program of our own, written to slot 3 and read back by the tool, then by get and backup.
expect_code 0 "$tool" get "${port[@]}" --slot 1 default.vkr
"$tool" export default.vkr 2>/dev/null | sed 's/"tempo": 128/"tempo": 97/' | "$tool" import - mine.vkr 2>/dev/null ||
  fail "could not make a program"
expect_code 0 "$tool" send "${port[@]}" --slot 3 --verify mine.vkr
cmp -s mine.vkr controller/device-1/slot-3.vkr || fail "the controller holds something else in slot 3"
expect_code 0 "$tool" get "${port[@]}" --slot 3 got.vkr
cmp -s mine.vkr got.vkr || fail "get brought back something else"
expect_code 0 "$tool" backup "${port[@]}" backups
cmp -s mine.vkr backups/slot-3.vkr && cmp -s default.vkr backups/slot-1.vkr || fail "backup differs"

# A dump delivered in pieces, as USB MIDI drivers hand it on, and one answered late but in time.
fault "split 16"
for trip in 1 2 3 4 5; do
  expect_code 0 "$tool" get "${port[@]}" --slot 3 "split-$trip.vkr"
  cmp -s mine.vkr "split-$trip.vkr" || fail "a split dump came back as something else"
done
fault "late 400"
expect_code 0 "$tool" get "${port[@]}" --slot 3 --timeout 2000 late.vkr
cmp -s mine.vkr late.vkr || fail "a late dump came back as something else"

# Too late, silent, corrupt: refused with the exit codes of the other commands, and no file.
fault "late 1500"
expect_code 3 "$tool" get "${port[@]}" --slot 3 --timeout 300 tooLate.vkr
fault silent
expect_code 3 "$tool" backup "${port[@]}" --timeout 200 silent
grep -q 'no answer from "Velkor MIDI 1"' err.txt || fail "silence said: $(cat err.txt)"
fault corrupt
expect_code 1 "$tool" send "${port[@]}" --slot 2 --verify mine.vkr
[ ! -e tooLate.vkr ] && [ ! -e silent ] || fail "a failed command left a file"
fault none

# A controller that keeps a write with one value changed, in slot 2 alone: only the read-back shows it.
printf 'change slot 2\nnone\n' >controller/device-1/fault
expect_code 1 "$tool" send "${port[@]}" --slot 2 --verify mine.vkr
grep -q 'slot 2 of "Velkor MIDI 1" holds another program after the write (Arpeggiator TEMPO: 97 -> 98)' err.txt ||
  fail "a changed value said: $(cat err.txt)"
expect_code 0 "$tool" send "${port[@]}" --slot 1 --verify mine.vkr
fault none

# Unplugged: the port is gone with a clear message; plugged back, it works again.
touch controller/device-1/unplugged
expect_code 1 "$tool" get "${port[@]}" --slot 1 gone.vkr
grep -q 'no MIDI port is named "Velkor MIDI 1"' err.txt || fail "unplugged said: $(cat err.txt)"
rm controller/device-1/unplugged
expect_code 0 "$tool" get "${port[@]}" --slot 1 back.vkr

# Two controllers of one name: the later one is used, as in the editor.
export VELKOR_SEQ_DEVICES="Velkor;Velkor"
expect_code 0 "$tool" send "${port[@]}" --slot 4 --verify mine.vkr
[ -e controller/device-2/slot-4.vkr ] && [ ! -e controller/device-1/slot-4.vkr ] ||
  fail "the earlier of two equally named controllers was written"

# Two controllers: "vel" names both ports and is refused, "2 midi" only the second's. A backup of the
# first restored into the second, fresh, leaves the same slots there.
export VELKOR_SEQ_DEVICES="Velkor;Velkor 2"
rm -f controller/device-2/*
expect_code 1 "$tool" get --port vel --slot 1 ambiguous.vkr
grep -qx 'velkor-tool: "vel" matches several ports: "Velkor MIDI 1", "Velkor 2 MIDI 1"; name one of them' err.txt &&
  [ ! -e controller/device-2/received ] || fail "an ambiguous port said: $(cat err.txt)"
expect_code 0 "$tool" backup "${port[@]}" restoring
expect_code 0 "$tool" restore --port "2 midi" restoring
for slot in 1 2 3 4; do
  cmp -s "restoring/slot-$slot.vkr" "controller/device-2/slot-$slot.vkr" || fail "slot $slot was not restored"
done
grep -q '^Restored slot 4 on "Velkor 2 MIDI 1" from ' out.txt || fail "restore printed: $(cat out.txt)"

# A folder with one bad file sends nothing; a controller that changes slot 3's tempo is caught there.
cp controller/device-2/received received.before
cp default.vkr restoring/slot-1.vkr && head -c 116 default.vkr >restoring/slot-4.vkr
expect_code 1 "$tool" restore --port "2 midi" restoring
grep -q 'restoring/slot-4.vkr: holds 116 bytes; a program file holds exactly 117; nothing was sent$' err.txt ||
  fail "a short slot file said: $(cat err.txt)"
cmp -s received.before controller/device-2/received && cmp -s mine.vkr controller/device-2/slot-1.vkr ||
  fail "a refused restore sent something"
cp default.vkr restoring/slot-4.vkr
echo "change slot 3" >controller/device-2/fault
expect_code 1 "$tool" restore --port "Velkor 2 MIDI 1" restoring
grep -q 'slot 3 of "Velkor 2 MIDI 1" holds another program after the write (Arpeggiator TEMPO: 97 -> 98)' err.txt &&
  grep -qx 'velkor-tool: slot 3 did not read back as restored' err.txt || fail "a changed slot 3 said: $(cat err.txt)"
cmp -s default.vkr controller/device-2/slot-1.vkr && [ "$(grep -c '^Restored' out.txt)" = 3 ] ||
  fail "the slots around a changed one were not restored: $(cat out.txt)"

[ $failures -eq 0 ] && echo "velkor-tool on ALSA: all checks passed"
[ $failures -eq 0 ]
