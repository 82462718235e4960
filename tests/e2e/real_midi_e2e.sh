#!/usr/bin/env bash
# The real editor on JUCE's ALSA MIDI code, with the sequencer stand-in preloaded, used as a musician
# would: a SEND with no port chosen opens Device Setup, the controller's port is chosen, programs go
# to the controller and come back into another window; APPLY before OK, the same port chosen a third
# time, two controllers of one name, and the controller unplugged while open and plugged back. Then
# the Librarian, opened from the Tools menu: Send Here, Read All, Open, and Compare with the window
# changed.
# Usage: real_midi_e2e.sh EDITOR_EXECUTABLE STAND_IN_PRELOAD
set -uo pipefail
source "$(dirname "$0")/../support/lib.sh"
editor=$1
preload=$2
make_work_dir

export VELKOR_SEQ_STATE=$work/controller
mkdir -p "$VELKOR_SEQ_STATE/device-1" "$VELKOR_SEQ_STATE/device-2"
device() { echo "$VELKOR_SEQ_STATE/device-$1"; }

# Device Setup has no title: it is the visible 360 x 425 window.
find_device_setup() {
  local id
  for id in $(xdotool search --onlyvisible --name '^$' 2>/dev/null); do
    xdotool getwindowgeometry "$id" 2>/dev/null | grep -q 'Geometry: 360x425' && { echo "$id"; return 0; }
  done
  return 1
}
# A click can land before a just-mapped window takes it: the click is made again, three times at most.
click_until_device_setup() { # click-command...
  for _ in 1 2 3; do
    "$@"
    wait_until 5 find_device_setup >/dev/null && { find_device_setup; return 0; }
  done
  return 1
}

click() { # window x y
  xdotool windowactivate --sync "$1" >/dev/null 2>&1 || xdotool windowfocus --sync "$1" 2>/dev/null
  click_only "$@"
}
# Device Setup stays on top without asking to be activated; waiting for that would time out.
click_only() { # window x y
  xdotool mousemove --window "$1" "$2" "$3" click 1
  sleep 0.3
}

# The hardware strip, below the 24-pixel menu bar: SEND and GET of slot 1 to 4 share a row.
menu_bar=24
row_y() { local tops=(20 76 129 184); echo $((387 + ${tops[$1 - 1]} + 12 + menu_bar)); }
send() { click "$1" 95 "$(row_y "$2")"; }
get() { click "$1" 172 "$(row_y "$2")"; }
# Device Setup: rows of 22 pixels in the input list at 16,91 and the output list at 16,251.
choose_rows() { # device-setup-window row
  click_only "$1" 120 $((91 + 22 * $2 + 11))
  click_only "$1" 120 $((251 + 22 * $2 + 11))
}
apply() { click_only "$1" 152 402; }
ok() { click_only "$1" 64 402; }

set_tempo() { # window value
  click "$1" 828 $((573 + menu_bar))
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 50 "$2"
  xdotool key --clearmodifiers Return
  sleep 0.3
}

start_editor() { # log
  LD_PRELOAD=$preload "$editor" >"$work/$1" 2>&1 &
  pids+=($!)
}

echo "-- two controllers of one name; SEND opens Device Setup; APPLY then OK; SEND 3, GET 3 elsewhere"
export VELKOR_SEQ_DEVICES="Velkor;Velkor"
start_editor first.log
w1=$(wait_for_window '^Velkor Editor - Untitled1$') || fail "no first window"
if [ -n "${w1:-}" ]; then
  set_tempo "$w1" 97
  setup=$(click_until_device_setup send "$w1" 3) || fail "SEND with no port chosen opened no Device Setup"
  if [ -n "${setup:-}" ]; then
    choose_rows "$setup" 2
    apply "$setup"
    ok "$setup"
    wait_until 5 eval '! find_device_setup >/dev/null' || fail "OK left Device Setup open"
  fi
  send "$w1" 3
  slot3=$(device 2)/slot-3.vkr
  wait_until 5 test -s "$slot3" || fail "SEND 3 stored nothing on the later controller"
  [ "$(tempo_of "$slot3")" = "0 97" ] || fail "slot 3 holds tempo bytes '$(tempo_of "$slot3")'"
  [ ! -e "$(device 1)/slot-3.vkr" ] || fail "the earlier of two equally named controllers was written"

  xdotool key --clearmodifiers ctrl+n
  w2=$(wait_for_window '^Velkor Editor - Untitled2$') || fail "Ctrl+N opened no second window"
  if [ -n "${w2:-}" ]; then
    get "$w2" 3
    sleep 0.5
    send "$w2" 4
    wait_until 5 same_file "$slot3" "$(device 2)/slot-4.vkr" ||
      fail "the window that asked for slot 3 did not take it (slot 4 tempo '$(tempo_of "$(device 2)/slot-4.vkr")')"
  fi
fi
kill "${pids[0]}" 2>/dev/null
wait "${pids[0]}" 2>/dev/null
# The next editor's window has the same title: none of this one's may still be about.
wait_until 10 eval '! has_window "^Velkor Editor - "' || fail "the first editor's windows stayed"

echo "-- GET with no port chosen; APPLY twice; unplugged while open; plugged back, APPLY a third time"
export VELKOR_SEQ_DEVICES="Velkor"
cp "$(device 2)/slot-3.vkr" "$(device 1)/slot-2.vkr" 2>/dev/null
start_editor second.log
w=$(wait_for_window '^Velkor Editor - Untitled1$') || fail "no window"
if [ -n "${w:-}" ]; then
  setup=$(click_until_device_setup get "$w" 2) || fail "GET with no port chosen opened no Device Setup"
  if [ -n "${setup:-}" ]; then
    choose_rows "$setup" 1
    apply "$setup"
    apply "$setup"
    get "$w" 2
    sleep 0.5
    send "$w" 4
    wait_until 5 same_file "$(device 1)/slot-2.vkr" "$(device 1)/slot-4.vkr" ||
      fail "after APPLY twice the window did not take slot 2"

    touch "$(device 1)/unplugged"
    rm -f "$(device 1)/slot-4.vkr"
    get "$w" 1
    send "$w" 4
    box=$(wait_for_window '^Velkor Editor$') || fail "no word after 3 seconds without an answer"
    [ -e "$(device 1)/slot-4.vkr" ] && fail "an unplugged controller took a write"
    if [ -n "${box:-}" ]; then
      xdotool windowactivate --sync "$box" >/dev/null 2>&1
      xdotool key --clearmodifiers Return
      wait_until 5 eval '! has_window "^Velkor Editor\$"' || fail "the message did not close"
    fi

    rm "$(device 1)/unplugged"
    apply "$setup"
    get "$w" 2
    sleep 0.5
    send "$w" 4
    wait_until 5 same_file "$(device 1)/slot-2.vkr" "$(device 1)/slot-4.vkr" ||
      fail "plugged back and applied again, the port did not work"
    kill -0 "${pids[1]}" 2>/dev/null || fail "the editor is gone"
  fi
fi
kill "${pids[1]}" 2>/dev/null
wait "${pids[1]}" 2>/dev/null
wait_until 10 eval '! has_window "^Velkor Editor - "' || fail "the second editor's windows stayed"

# JUCE opens a menu bar's menu when the mouse moves with the button held, and takes the item the
# button is released on.
open_librarian() { # main-window
  xdotool windowactivate --sync "$1" >/dev/null 2>&1
  xdotool mousemove --window "$1" 125 10 mousedown 1
  sleep 0.4
  xdotool mousemove --window "$1" 127 12
  local menu
  menu=$(wait_for_window '^menu$') || { xdotool mouseup 1; return 1; }
  xdotool mousemove --window "$menu" 40 36
  sleep 0.3
  xdotool mouseup 1
}
# The Librarian's rows: PROGRAM 1 to 4 and RAM, 40 pixels apart, with Open, Compare and Send Here.
librarian_row() { # window row(1-5) button(open|compare|send)
  local x
  case $3 in open) x=751 ;; compare) x=816 ;; send) x=887 ;; esac
  click "$1" "$x" $((152 + 40 * ($2 - 1) + 18))
}
clipboard() { xclip -o -selection clipboard 2>/dev/null; }

echo "-- the Librarian: Send Here, Read All, Open PROGRAM 2, Compare with that window changed"
rm -f "$(device 1)"/slot-*.vkr "$(device 1)/fault"
start_editor third.log
w=$(wait_for_window '^Velkor Editor - Untitled1$') || fail "no window"
if [ -n "${w:-}" ]; then
  set_tempo "$w" 99
  open_librarian "$w" || fail "the Tools menu did not open"
  lib=$(wait_for_window '^Librarian$') || fail "Tools > Librarian opened nothing"
  setup=$(wait_until 5 find_device_setup && find_device_setup) || fail "no output chosen, yet no Device Setup"
  if [ -n "${lib:-}" ] && [ -n "${setup:-}" ]; then
    choose_rows "$setup" 1
    ok "$setup"
    librarian_row "$lib" 2 send
    wait_until 5 tempo_is "$(device 1)/slot-2.vkr" "0 99" ||
      fail "Send Here stored tempo bytes '$(tempo_of "$(device 1)/slot-2.vkr")' in slot 2"
    click "$lib" 70 105
    sleep 1.5
    librarian_row "$lib" 2 open
    w2=$(wait_for_window '^Velkor Editor - Untitled2$') || fail "Open made no window"
    if [ -n "${w2:-}" ]; then
      set_tempo "$w2" 111
      librarian_row "$lib" 2 compare
      click "$lib" 470 426
      xdotool key --clearmodifiers ctrl+a ctrl+c
      sleep 0.3
      clipboard | grep -q '^Arpeggiator TEMPO: 99 -> 111$' ||
        fail "Compare showed: $(clipboard | head -n 3 | tr '\n' '|')"
    fi
    click "$lib" 870 492
    sleep 0.3
    log=$(clipboard)
    for expected in 'OUT.*program write, slot 2' 'IN.*program dump, slot 1' 'IN.*program dump, RAM'; do
      grep -q "$expected" <<<"$log" || fail "the copied log has no '$expected'"
    done
  fi
  xdotool windowactivate --sync "$w" >/dev/null 2>&1
  xdotool key --clearmodifiers ctrl+q
  wait_until 10 eval '! kill -0 "${pids[2]}" 2>/dev/null' || fail "Ctrl+Q did not end the editor"
fi
! grep -E 'JUCE Assertion failure|Leaked objects detected' "$work"/*.log || fail "JUCE complained"

[ $failures -eq 0 ] && echo "real MIDI end-to-end: all passed"
exit $failures
