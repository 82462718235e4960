#!/usr/bin/env bash
# The Windows build under Wine: the unit tests, velkor-tool against the Linux build byte for byte,
# the real editor end to end on Wine's virtual desktop, both on Wine's MIDI driver through the
# sequencer stand-in, and the installer.
# Usage: wine_tests.sh BUILD_WINDOWS_DIR LINUX_VELKOR_TOOL STAND_IN_LIBRARY
set -uo pipefail
out=$(cd "$1" && pwd)
linux_tool=$2
stand_in=$3
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/lib.sh"

export WINEPREFIX="$out/wine"
export WINEDEBUG=-all
# No Mono or Gecko: nothing here needs them, and Wine would ask to install them.
export WINEDLLOVERRIDES="mscoree,mshtml="
failed=()

on_exit 'wineserver -k 2>/dev/null'
on_exit stop_virtual_display
start_virtual_display || exit 1

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "-- a Wine prefix for the tests (once)"
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
# One wineserver for the whole run: every start after the first then takes well under a second.
wineserver -p

echo "== Unit tests under Wine"
log="$out/velkor_tests.log"
# On Wine's own virtual desktop, where minimising and restoring do not wait on an X window manager.
# Explorer's exit code is not the tests', so their summary decides.
timeout 900 wine explorer /desktop=velkor-unit,1600x1000 "$out/velkor_tests.exe" --gtest_brief=1 >"$log" 2>&1
if tr -d '\r' <"$log" | grep -qE '^\[  PASSED  \] [0-9]+ tests?\.$' &&
   ! grep -qE '^\[  FAILED  \]|JUCE Assertion failure|Leaked objects detected' "$log"; then
  grep -E '^\[  PASSED  \]|tests? ran' "$log" | tr -d '\r'
else
  tail -n 60 "$log" | tr -d '\r'
  failed+=("unit tests")
fi

echo "== velkor-tool: Windows against Linux"
"$here/tool_parity.sh" "$out/velkor-tool.exe" "$linux_tool" || failed+=("velkor-tool parity")

echo "== The editor on Wine's virtual desktop"
"$here/editor_e2e_wine.sh" "$out/velkor-editor.exe" || failed+=("editor end-to-end")

echo "== MIDI through Wine's own driver and the sequencer stand-in"
# With a wineserver of its own, so that the stand-in is in every Wine process; then one for the rest.
wineserver -k 2>/dev/null
wineserver -w
"$here/wine_midi_test.sh" "$out" "$stand_in" || failed+=("Wine MIDI")
wineserver -p

echo "== Installer"
"$here/installer_test.sh" "$out" || failed+=("installer")

if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED under Wine: ${failed[*]}"
  exit 1
fi
echo "Windows tests under Wine: all passed"
