# shellcheck shell=bash
# Shared by the shell tests: failures counted, a scratch folder and started processes cleaned up at
# exit, and the waits and readers the tests of the editor and velkor-tool have in common.
# Sourced after `set -uo pipefail`, before the test changes folder.
# shellcheck source=../../scripts/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib.sh"

# Program files to start from: the editor's default, a dump as the controller sends it, damaged ones.
# shellcheck disable=SC2034
corpus=$root/fuzz/corpus/read_program_file

failures=0
fail() { # message; a test's fail_context (its seed, say) goes into every message
  echo "FAIL${fail_context:+ ($fail_context)}: $*"
  failures=$((failures + 1))
}

# At exit the processes in pids are ended, the steps added with on_exit run in order, and $work goes.
# The trap leaves the test's exit code as it was.
pids=()
exit_steps=()
on_exit() { exit_steps+=("$1"); } # command
cleanup() {
  local pid step
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  for step in "${exit_steps[@]}"; do eval "$step"; done
  [ -z "${work:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

make_work_dir() { work=$(mktemp -d) || exit 1; }
enter_work_dir() { make_work_dir && cd "$work" || exit 1; } # the rest of the test runs there

# Runs a command with its output in out.txt and err.txt, under LD_PRELOAD=$preload where the test
# sets preload: it must exit with the code given and say nothing of assertions, leaks or ALSA.
expect_code() { # code command...
  local want=$1 got
  shift
  if [ -n "${preload:-}" ]; then
    LD_PRELOAD=$preload "$@" >out.txt 2>err.txt
  else
    "$@" >out.txt 2>err.txt
  fi
  got=$?
  [ "$got" -eq "$want" ] || fail "$* exited $got, not $want: $(cat err.txt)"
  ! grep -E 'JUCE Assertion failure|Leaked objects detected|ALSA lib' err.txt || fail "$* complained on stderr"
}

find_window() { # title regex -> the first visible window's id
  xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1
}
has_window() { [ -n "$(find_window "$1")" ]; }
# Polls, since one search can fail while other windows come and go.
wait_for_window() { # title regex [seconds, 20] -> window id
  local deadline=$((SECONDS + ${2:-20})) id
  while true; do
    id=$(find_window "$1")
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.2
  done
}

# A program's TEMPO as its file holds it: two 7-bit bytes at offset 18, "1 72" for 200.
tempo_of() { od -An -tu1 -j18 -N2 "$1" 2>/dev/null | tr -s ' ' | sed 's/^ //'; }
tempo_is() { [ "$(tempo_of "$1")" = "$2" ]; } # file "high low"
same_file() { cmp -s "$1" "$2"; }

# Wine's virtual desktop ($desk, the desktop window's id): Wine places a window's client area where
# the editor asks, window n (from 0) at 15n, 15n + 45, and the panel starts below the 24-pixel menu bar.
window_is_up() { xdotool search --name "^$1\$" >/dev/null 2>&1; }
click() { xdotool mousemove --window "$desk" "$1" "$2" click 1; sleep 0.4; }
panel_click() { click $((15 * $1 + $2)) $((15 * $1 + 69 + $3)); } # window-index x y
keys() { xdotool key --clearmodifiers "$@"; sleep 0.3; }
