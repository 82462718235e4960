#!/usr/bin/env bash
# velkor-tool's bash completion offers what the tool itself takes: the commands and each command's
# options as its --help lists them, the slots and simulator faults, the ports it lists, and only
# the files each argument may be.
# Usage: completion_test.sh VELKOR_TOOL COMPLETION_FILE
set -uo pipefail
source "$(dirname "$0")/../support/lib.sh"
tool=$1
source "$(dirname "$0")/tool_help.sh"
# shellcheck source=/dev/null
source "$2" || { echo "FAIL: $2 does not load"; exit 1; }
make_work_dir

# What completing the last word of the command line offers, one a line, sorted.
offered() { # words after velkor-tool; the last one is being completed
  COMP_WORDS=("$tool" "$@")
  COMP_CWORD=$#
  COMPREPLY=()
  _velkor_tool
  printf '%s\n' "${COMPREPLY[@]}" | grep . | sort
}
expect() { # expected words (one a line), words after velkor-tool
  local expected found
  expected=$(grep . <<<"$1" | sort)
  shift
  found=$(offered "$@")
  [ "$expected" = "$found" ] ||
    fail "velkor-tool $*: expected [$(tr '\n' ' ' <<<"$expected")] but got [$(tr '\n' ' ' <<<"$found")]"
}
lines() { printf '%s\n' "$@"; }

commands=$(help_commands "$tool")
[ -n "$commands" ] || fail "no commands found in velkor-tool --help"
expect "$commands"$'\nhelp\n--help' ""
expect "$commands" help ""
for command in $commands; do
  expect "--help"$'\n'"$(help_options "$tool" "$command" | cut -d' ' -f1)" "$command" --
done

faults=$(help_faults "$tool")
expect "$faults" get --simulator-fault ""
expect "$(lines 1 2 3 4 ram)" send --port x --slot ""
expect "ram" get --slot r
expect "" send --timeout ""

# Ports come from `velkor-tool ports`, with the simulated controller only when the line asks for it.
expect "Velkor Simulator" send --simulator --port ""
expect "Velkor Simulator" get --simulator-fault flood --port '"Velkor S'
expect "Velkor Simulator" backup --simulator --port 'Velkor\ '
expect "" backup --simulator --port "Midi"
[[ $(offered send --port "") != *"Velkor Simulator"* ]] || fail "the simulator is offered without --simulator"

# Files: program files (any case of .vkr), JSON for import, folders everywhere, never anything else.
cd "$work" && mkdir "sub folder" && touch "live set.vkr" OLD.VKR patch.json notes.txt
vkr=$(lines "live set.vkr" OLD.VKR "sub folder")
expect "$vkr" show ""
expect "$vkr" validate OLD.VKR ""
expect "$vkr" diff OLD.VKR ""
expect "" diff OLD.VKR "live set.vkr" ""
expect "$(lines - patch.json "sub folder")" import ""
expect "$vkr" import patch.json ""
expect "$vkr" send --port "Velkor MIDI 1" --slot 2 ""
expect "$vkr" get --port velkor --slot ram --timeout 500 ""
expect "sub folder" backup --port velkor ""
expect "sub folder" restore --simulator --port velkor ""
expect "live set.vkr" show li
# Bank files (.syx): where a command takes one, beside the folders.
touch bank.SYX
expect "$vkr"$'\nbank.SYX' validate ""
expect "$(lines bank.SYX "sub folder")" split ""
expect "sub folder" split bank.SYX ""
expect "$(lines bank.SYX "sub folder")" backup --port velkor --syx ""
expect "$(lines bank.SYX "sub folder")" restore --port velkor ""

[ $failures -eq 0 ] && echo "completion: all checks passed"
exit $((failures > 0))
