#!/usr/bin/env bash
# The Windows editor on Wine's virtual desktop, used as a person would: a file with spaces in its
# name given on the command line, a value typed and saved, then through the simulated controller a
# program sent to slot 3 and fetched into a second window opened with Ctrl+O.
# Usage: editor_e2e_wine.sh VELKOR_EDITOR_EXE   (on the current DISPLAY, WINEPREFIX set by the caller)
set -uo pipefail
source "$(dirname "$0")/../support/lib.sh"
editor=$1
make_work_dir
desktop_name="velkor-e2e"

no_editor_window() { ! xdotool search --name '^Velkor Editor - ' >/dev/null 2>&1; }
tempo_box() { import -window root -crop 62x15+797+635 +repage "$1" 2>/dev/null; }

cp "$corpus/default.vkr" "$work/Live Set.vkr"
cp "$corpus/default.vkr" "$work/Other.vkr"

wine explorer "/desktop=$desktop_name,1600x1000" "$editor" --simulator "$(winepath -w "$work/Live Set.vkr")" \
  >"$work/editor.log" 2>&1 &
pids+=($!)

if ! wait_until 60 window_is_up "Velkor Editor - Live Set.vkr"; then
  fail "the file named on the command line did not open (no window 'Velkor Editor - Live Set.vkr')"
  exit $failures
fi
desk=$(xdotool search --name "^$desktop_name - Wine desktop\$" | head -n 1)
xdotool windowactivate --sync "$desk" >/dev/null 2>&1 || xdotool windowfocus "$desk"
sleep 1

echo "-- a value typed into TEMPO, Ctrl+S"
tempo_box "$work/tempo-before.png"
# Typed again when the first keys reached a window still settling after its first paint.
for _ in 1 2 3; do
  panel_click 0 828 573
  keys ctrl+a
  xdotool type --delay 60 "200"
  keys Return
  keys ctrl+s
  wait_until 4 tempo_is "$work/Live Set.vkr" "1 72" && break
done
tempo_is "$work/Live Set.vkr" "1 72" || fail "tempo bytes after Ctrl+S are '$(tempo_of "$work/Live Set.vkr")', want '1 72'"
sleep 0.5
tempo_box "$work/tempo-after.png"
changed=$(compare -metric AE "$work/tempo-before.png" "$work/tempo-after.png" null: 2>&1)
[ "${changed%% *}" -gt 20 ] 2>/dev/null || fail "the TEMPO box looks the same after typing 200 ($changed pixels differ)"

echo "-- SEND 3 opens Device Setup; the simulator chosen; SEND 3"
panel_click 0 95 528
sleep 2
# Device Setup is centred: its lists' first rows and its OK button.
click 736 389
click 736 549
click 684 689
sleep 1
panel_click 0 95 528
sleep 1

echo "-- Ctrl+O opens a second file; GET 3 fills it; Ctrl+S"
keys ctrl+o
wait_until 20 window_is_up "Select File" || fail "Ctrl+O showed no file chooser"
sleep 1
# The chooser opens at the desktop's corner; its file name field, then the name typed over "~".
click 380 432
keys End shift+Home
xdotool type --delay 30 "$(winepath -w "$work/Other.vkr")"
keys Return
wait_until 20 window_is_up "Velkor Editor - Other.vkr" || fail "Ctrl+O did not open Other.vkr"
for _ in 1 2 3; do
  panel_click 1 158 528
  sleep 1
  keys ctrl+s
  wait_until 4 same_file "$work/Other.vkr" "$work/Live Set.vkr" && break
done
same_file "$work/Other.vkr" "$work/Live Set.vkr" ||
  fail "Other.vkr after GET 3 and Ctrl+S differs from the program sent: $(cmp "$work/Other.vkr" "$work/Live Set.vkr")"
[ "$(stat -c %s "$work/Other.vkr")" -eq 117 ] || fail "Other.vkr is not 117 bytes"

echo "-- Ctrl+Q"
import -window root "$(dirname "$editor")/e2e-screenshot.png" 2>/dev/null
keys ctrl+q
wait_until 20 no_editor_window || fail "Ctrl+Q left editor windows open"

grep -E 'JUCE Assertion failure|Leaked objects detected' "$work/editor.log" && fail "the editor complained"
[ $failures -eq 0 ] && echo "editor under Wine: all passed"
exit $failures
