#!/usr/bin/env bash
# The real editor on an X desktop that gives its scale only as Xft.dpi: the main window's size in
# pixels at 144 and 192 dots per inch, and 1x again once the resource is gone. On a display of its
# own, big enough for 2x, so the resources set here reach no other test.
# Usage: desktop_scale_e2e.sh EDITOR_EXECUTABLE
set -uo pipefail
source "$(dirname "$0")/../support/lib.sh"
start_virtual_display 3840x2400 || exit 1
on_exit stop_virtual_display

size_is() { xdotool getwindowgeometry "$1" 2>/dev/null | grep -q "Geometry: $2\$"; } # window WxH

for case in "144 1800x1125" "192 2400x1500" "none 1200x750"; do
  read -r dpi want <<<"$case"
  if [ "$dpi" = none ]; then xrdb -remove; else echo "Xft.dpi: $dpi" | xrdb -nocpp -merge; fi
  "$1" &
  pids+=($!)
  w=$(wait_for_window '^Velkor Editor - Untitled1$') || true
  wait_until 5 size_is "${w:-none}" "$want" ||
    fail "Xft.dpi $dpi: window ${w:-missing}, $(xdotool getwindowgeometry "${w:-0}" 2>&1 | grep Geometry), not $want"
  kill "${pids[-1]}"
  wait "${pids[-1]}"
done

[ $failures -eq 0 ] && echo "desktop scale end-to-end: all passed"
exit $failures
