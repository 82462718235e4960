#!/usr/bin/env bash
# Drives the real editor through its keyboard shortcuts, as a person would, on the current display.
# Usage: editor_e2e.sh EDITOR_EXECUTABLE
set -uo pipefail
source "$(dirname "$0")/../support/lib.sh"
editor=$1
make_work_dir

window_count() { xdotool search --onlyvisible --name '^Velkor Editor - ' 2>/dev/null | wc -l; }
windows_are() { [ "$(window_count)" -eq "$1" ]; }


keys() { # window keys...
  local w=$1
  shift
  xdotool windowactivate --sync "$w" >/dev/null 2>&1 || xdotool windowfocus --sync "$w"
  xdotool key --clearmodifiers "$@"
}

# A key press can land before a just-mapped window takes keyboard focus: press again, up to three
# times, before calling it a failure.
press_until() { # window key condition...
  local w=$1 key=$2
  shift 2
  for _ in 1 2 3; do
    keys "$w" "$key"
    wait_until 4 "$@" && return 0
  done
  return 1
}

editor_gone() { ! kill -0 "$1" 2>/dev/null; }

position() { xdotool getwindowgeometry "$1" | sed -n 's/ *Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p'; }

# The default program as a file: header, values, end byte.
default_program() {
  printf '\xf0\x47\x00\x26\x64\x00\x6d\x00\x00\x00\x04\x00\x00\x00\x00\x00\x00\x03\x01\x00\x00\x00\x00\x00\x01\x01\x01'
  for k in 0 1 2 3 4 5 6 7; do printf "\\x$(printf %02x $((0x2c + k)))\\x$(printf %02x $k)\\x$(printf %02x $((k + 1)))\\x01"; done
  for k in 0 1 2 3 4 5 6 7; do printf "\\x$(printf %02x $((0x20 + k)))\\x$(printf %02x $((8 + k)))\\x$(printf %02x $((9 + k)))\\x01"; done
  for k in 0 1 2 3 4 5 6 7; do printf "\\x$(printf %02x $((k + 1)))\\x00\\x7f"; done
  printf '\x0c\xf7'
}

echo "-- --help, --version and no display: an answer and an exit at once, with or without a display"
cd "$work" || exit 1
for display in "$DISPLAY" :4097; do
  expect_code 0 timeout 20 env DISPLAY="$display" "$editor" --help
  grep -q '^Usage: velkor-editor \[--simulator\] \[FILE.vkr...\]$' out.txt || fail "--help printed: $(cat out.txt)"
  expect_code 0 timeout 20 env DISPLAY="$display" "$editor" --simulator --version
  grep -qx 'Velkor Editor [0-9]*\.[0-9]*\.[0-9]*' out.txt || fail "--version printed: $(cat out.txt)"
done
expect_code 1 timeout 20 env DISPLAY=:4097 "$editor" "$work/none.vkr"
grep -q '^velkor-editor: no display: .*":4097"' err.txt || fail "no display, and stderr said: $(cat err.txt)"

echo "-- start-up, Ctrl+N cascade, Ctrl+W"
"$editor" >"$work/first.log" 2>&1 &
pids+=($!)
first=$(wait_for_window '^Velkor Editor - Untitled1$') || true
[ -n "$first" ] || fail "no window titled Untitled1"
if [ -n "$first" ]; then
  read -r x1 y1 < <(position "$first")
  press_until "$first" ctrl+n windows_are 2
  second=$(wait_for_window '^Velkor Editor - Untitled2$') || true
  [ -n "$second" ] || fail "Ctrl+N opened no second window"
  if [ -n "$second" ]; then
    read -r x2 y2 < <(position "$second")
    [ $((x2 - x1)) -eq 15 ] && [ $((y2 - y1)) -eq 15 ] || fail "second window at $x2,$y2, first at $x1,$y1"
    press_until "$second" ctrl+w windows_are 1 || fail "Ctrl+W with two windows left $(window_count)"
  fi
  press_until "$first" ctrl+w editor_gone "${pids[0]}" || fail "Ctrl+W on the last window did not quit"
fi

echo "-- a file on the command line, an edit, Ctrl+S"
default_program >"$work/Live Set.vkr"
[ "$(stat -c %s "$work/Live Set.vkr")" -eq 117 ] || fail "test file is not 117 bytes"
"$editor" "$work/Live Set.vkr" >"$work/second.log" 2>&1 &
pids+=($!)
w=$(wait_for_window '^Velkor Editor - Live Set.vkr$') || true
[ -n "$w" ] || fail "the file named on the command line did not open"
if [ -n "$w" ]; then
  # The arpeggiator's TEMPO box sits at 797,566 (62 x 15) on the panel, below the menu bar.
  menu_bar=24
  type_tempo() { # value [Return]
    xdotool windowactivate --sync "$w" >/dev/null 2>&1
    xdotool mousemove --window "$w" 828 $((573 + menu_bar)) click 1
    sleep 0.3
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 50 "$1"
    [ $# -gt 1 ] && xdotool key --clearmodifiers "$2"
    sleep 0.3
  }
  type_tempo 200 Return
  live="$work/Live Set.vkr"
  press_until "$w" ctrl+s tempo_is "$live" "1 72" || fail "tempo bytes after Ctrl+S are '$(tempo_of "$live")', want '1 72'"
  [ "$(stat -c %s "$work/Live Set.vkr")" -eq 117 ] || fail "saved file is not 117 bytes"
  # Typed and not committed with Return: Ctrl+S saves what the box shows.
  type_tempo 99
  press_until "$w" ctrl+s tempo_is "$live" "0 99" || fail "typed 99 without Return, Ctrl+S saved '$(tempo_of "$live")'"
  # A typed value and a paste, both taken back with Ctrl+Z: Ctrl+S then writes the file as it was.
  cp "$work/Live Set.vkr" "$work/before-edits.vkr"
  press_until "$w" ctrl+n windows_are 2
  scratch=$(wait_for_window '^Velkor Editor - Untitled[0-9]*$') || true
  if [ -n "$scratch" ]; then
    keys "$scratch" ctrl+shift+c
    press_until "$scratch" ctrl+w windows_are 1
  fi
  type_tempo 150 Return
  keys "$w" ctrl+shift+v
  sleep 0.3
  keys "$w" ctrl+z
  keys "$w" ctrl+z
  sleep 0.3
  same_as_before() { cmp -s "$work/Live Set.vkr" "$work/before-edits.vkr"; }
  changed_then_saved() { keys "$w" ctrl+s; sleep 0.5; same_as_before; }
  changed_then_saved || fail "after two Ctrl+Z, Ctrl+S wrote tempo bytes '$(tempo_of "$live")', not the file as opened"
  keys "$w" ctrl+shift+z
  press_until "$w" ctrl+s tempo_is "$live" "1 22" || fail "Ctrl+Shift+Z did not bring the typed tempo 150 back"
  press_until "$w" ctrl+q editor_gone "${pids[1]}" || fail "Ctrl+Q did not quit"
fi

echo "-- a file name with a tab in it opens that very file"
tabbed=$'a\tb.vkr'
default_program >"$work/$tabbed"
"$editor" "$work/$tabbed" >"$work/third.log" 2>&1 &
pids+=($!)
w=$(wait_for_window '^Velkor Editor - a.b.vkr$') || true
[ -n "$w" ] || fail "the file named with a tab did not open"
[ -z "$(xdotool search --onlyvisible --name '^Velkor Editor$' 2>/dev/null)" ] || fail "a message came up instead"
[ -n "$w" ] && { press_until "$w" ctrl+q editor_gone "${pids[2]}" || fail "Ctrl+Q did not quit"; }

[ $failures -eq 0 ] && echo "editor end-to-end: all passed"
exit $failures
