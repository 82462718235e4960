#!/usr/bin/env bash
# The Windows build on Wine's own MIDI driver, with the sequencer stand-in preloaded into every Wine
# process (the wineserver and Wine's services included): velkor-tool.exe lists, sends with read-back,
# gets, backs up and restores, takes a dump that arrives in pieces and meets a silent controller; the
# editor takes the controller through Device Setup, SEND, a GET in pieces and a Librarian
# Read All. Every Wine process must exit 0 and none may be left.
# Usage: wine_midi_test.sh BUILD_WINDOWS_DIR STAND_IN_LIBRARY
#   (on the current DISPLAY, WINEPREFIX set by the caller, with no wineserver running for it)
set -uo pipefail
source "$(dirname "$0")/../support/lib.sh"
out=$(cd "$1" && pwd)
stand_in=$(realpath "$2")
tool=$out/velkor-tool.exe
enter_work_dir

export LD_PRELOAD=$stand_in
export VELKOR_SEQ_STATE=$work/controller VELKOR_SEQ_DEVICES="Velkor"
device=$VELKOR_SEQ_STATE/device-1
mkdir -p "$device"
fault() { echo "$1" >"$device/fault"; }

# The wineserver of this run, started here so that its exit code is seen too.
ulimit -c unlimited
wineserver -f >"$work/wineserver.log" 2>&1 &
server=$!
on_exit "wineserver -k 2>/dev/null"

# Like expect_code, without the preload (exported for every process here) and with Wine's audio probe
# set aside: it finds no sound card and says so through ALSA's error handler.
wine_expect() { # code command...
  local want=$1 got
  shift
  timeout 120 wine "$tool" "$@" >out.txt 2>err.txt
  got=$?
  sed -i '/^ALSA lib \(conf\|confmisc\|pcm\)\.c:/d' err.txt
  [ "$got" -eq "$want" ] || fail "velkor-tool.exe $* exited $got, not $want: $(cat err.txt)"
  ! grep -E 'ALSA lib|err:' err.txt || fail "velkor-tool.exe $* complained on stderr"
  tr -d '\r' <out.txt >out.tmp && mv out.tmp out.txt
}
port=(--port "Velkor MIDI 1")

echo "-- every sequencer call of Wine's MIDI driver served by the stand-in"
driver=$(find /usr/lib /usr/lib64 /opt -path '*x86_64-unix/winealsa.so' 2>/dev/null | head -n 1)
[ -n "$driver" ] || fail "Wine's MIDI driver winealsa.so was not found"
[ -z "$driver" ] || "$root/tests/alsa/stand_in_symbols.sh" "$stand_in" "$driver" || fail "the stand-in lacks calls of $driver"

echo "-- velkor-tool.exe: ports, send --verify, get, backup, restore"
wine_expect 0 ports
grep -qx '  Velkor - Velkor MIDI 1' out.txt || fail "ports listed: $(cat out.txt)"
cp "$corpus/default.vkr" default.vkr
cp default.vkr mine.vkr
printf '\000\141' | dd of=mine.vkr bs=1 seek=18 conv=notrunc status=none # TEMPO 97
wine_expect 0 send "${port[@]}" --slot 3 --verify mine.vkr
cmp -s mine.vkr "$device/slot-3.vkr" || fail "the controller holds something else in slot 3"
wine_expect 0 get "${port[@]}" --slot 3 got.vkr
cmp -s mine.vkr got.vkr || fail "get brought back something else"
# Answers come 20 ms late from here on, as a real controller's do: JUCE's Windows input hands back
# every finished SysEx buffer after each message, and under Wine an answer given within microseconds
# of the request can land in a buffer that is handed back before its arrival is seen, and is lost.
fault "late 20"
wine_expect 0 backup "${port[@]}" backups
cmp -s mine.vkr backups/slot-3.vkr && cmp -s default.vkr backups/slot-1.vkr || fail "backup differs"
cp mine.vkr backups/slot-1.vkr
wine_expect 0 restore "${port[@]}" backups
cmp -s mine.vkr "$device/slot-1.vkr" || fail "restore did not write slot 1"

echo "-- a dump in 16-byte pieces, and a silent controller"
fault "split 16"
wine_expect 0 get "${port[@]}" --slot 3 split.vkr
cmp -s mine.vkr split.vkr || fail "a split dump came back as something else"
fault silent
wine_expect 3 get "${port[@]}" --slot 3 --timeout 300 silent.vkr
grep -q 'no answer from "Velkor - Velkor MIDI 1"' err.txt || fail "silence said: $(cat err.txt)"
[ ! -e silent.vkr ] || fail "a silent controller left a file"
fault none

# The editor on Wine's virtual desktop (its helpers are in tests/support/lib.sh).
desktop_name="velkor-midi"

echo "-- the editor: SEND opens Device Setup; the controller chosen; SEND 3; GET 1 in pieces"
cp mine.vkr "Live Set.vkr"
cp default.vkr "$device/slot-1.vkr"
printf '\000\157' | dd of="$device/slot-1.vkr" bs=1 seek=18 conv=notrunc status=none # TEMPO 111
rm -f "$device/slot-3.vkr" "$device/received"
timeout 300 wine explorer "/desktop=$desktop_name,1600x1000" "$out/velkor-editor.exe" \
  "$(winepath -w "$work/Live Set.vkr")" >editor.log 2>&1 &
editor=$!
if wait_until 60 window_is_up "Velkor Editor - Live Set.vkr"; then
  desk=$(xdotool search --name "^$desktop_name - Wine desktop\$" | head -n 1)
  xdotool windowactivate --sync "$desk" >/dev/null 2>&1 || xdotool windowfocus "$desk"
  sleep 1
  # Device Setup is centred; its lists' second rows are the controller's, then its OK button.
  for _ in 1 2 3; do
    panel_click 0 95 528
    sleep 2
    click 736 411
    click 736 571
    click 684 689
    sleep 1
    panel_click 0 95 528
    wait_until 5 same_file mine.vkr "$device/slot-3.vkr" && break
  done
  same_file mine.vkr "$device/slot-3.vkr" || fail "SEND 3 through Device Setup stored nothing like the window's program"

  fault "split 16"
  for _ in 1 2 3; do
    panel_click 0 158 419
    sleep 1
    keys ctrl+s
    wait_until 4 same_file "Live Set.vkr" "$device/slot-1.vkr" && break
  done
  same_file "Live Set.vkr" "$device/slot-1.vkr" ||
    fail "GET 1 in pieces and Ctrl+S saved tempo bytes '$(tempo_of "Live Set.vkr")', not slot 1's"

  echo "-- the editor: Tools > Librarian, Read All, the dumps in its log, Compare"
  # An answer within microseconds of its request can complete while JUCE's input callback for the
  # previous one still runs, which then requeues the new buffer unread; no controller is that fast.
  fault "late 20"
  # The menu bar is drawn in the window: "Tools", then its second item. The Librarian is centred.
  lib_click() { click $((330 + $1)) $((160 + $2)); }
  clipboard() { timeout 3 xclip -o -selection clipboard 2>/dev/null | tr -d '\r'; }
  rm -f "$device/received"
  for _ in 1 2 3; do
    window_is_up Librarian || { click 125 57 && click 150 104 && wait_until 5 window_is_up Librarian; } || continue
    lib_click 70 105
    wait_until 5 grep -qx "request 0" "$device/received" && break
  done
  asked=$(head -n 5 "$device/received" 2>/dev/null | tr '\n' ' ')
  [ "$asked" = "request 1 request 2 request 3 request 4 request 0 " ] || fail "Read All asked for: $asked"
  lib_click 870 492 # Copy Log
  wait_until 5 eval 'clipboard | grep -q "program dump, RAM"'
  for slot in "slot 1" "slot 2" "slot 3" "slot 4" RAM; do
    clipboard | grep -q "IN.*117 bytes.*program dump, $slot\$" || fail "the Librarian's log shows no dump of $slot"
  done
  lib_click 816 250 # Compare on PROGRAM 3, then its text copied
  lib_click 470 426
  keys ctrl+a ctrl+c
  wait_until 5 eval 'clipboard | grep -qx "Arpeggiator TEMPO: 97 -> 111"' ||
    fail "Compare on PROGRAM 3 showed: $(clipboard | tr '\n' '|')"
  fault none
  click 600 110 # Ctrl+Q is the main window's
  keys ctrl+q
else
  fail "the editor showed no window 'Velkor Editor - Live Set.vkr'"
  kill "$editor" 2>/dev/null
fi
wait "$editor"
code=$?
[ $code -eq 0 ] || fail "the editor's Wine desktop exited $code"
grep -E 'JUCE Assertion failure|Leaked objects detected' editor.log && fail "the editor complained"

echo "-- every Wine process gone, each with exit code 0"
# The server ends a few seconds after its last client, Wine's services with it.
wait_until 30 eval '! kill -0 "$server" 2>/dev/null' || fail "the wineserver is still running"
wait "$server"
code=$?
[ $code -eq 0 ] || fail "the wineserver exited $code: $(tail -n 5 "$work/wineserver.log")"
left=()
for pid in $(grep -lsz "^WINEPREFIX=$WINEPREFIX\$" /proc/[0-9]*/environ | cut -d/ -f3); do
  case $(readlink "/proc/$pid/exe" 2>/dev/null) in */wine*) left+=("$pid $(tr '\0' ' ' <"/proc/$pid/cmdline")") ;; esac
done
[ ${#left[@]} -eq 0 ] || fail "Wine processes left: ${left[*]}"
cores=$(find "$work" "$WINEPREFIX/drive_c" -maxdepth 3 -name 'core*' -type f 2>/dev/null)
[ -z "$cores" ] || fail "a Wine process dumped core: $cores"

[ $failures -eq 0 ] && echo "Wine MIDI through the stand-in: all passed"
exit $failures
