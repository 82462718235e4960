#!/usr/bin/env bash
# velkor-tool.exe under Wine against the Linux velkor-tool: for every command that works on files, the
# same standard output, standard error and exit code, byte for byte, and the same files written.
# Usage: tool_parity.sh WINDOWS_VELKOR_TOOL_EXE LINUX_VELKOR_TOOL
set -uo pipefail
windows_tool=$(realpath "$1")
linux_tool=$(realpath "$2")
corpus="$(cd "$(dirname "$0")/../.." && pwd)/fuzz/corpus/read_program_file"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
checks=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Runs one command line with both tools in the same folder, with the same standard input.
same() { # [--stdin FILE] arguments...
  local input=/dev/null
  if [ "${1:-}" = --stdin ]; then input=$2; shift 2; fi
  checks=$((checks + 1))
  "$linux_tool" "$@" <"$input" >linux.out 2>linux.err
  local linux_code=$?
  wine "$windows_tool" "$@" <"$input" >windows.out 2>windows.err
  local windows_code=$?
  # Now and then Wine fails to start a process at all: exit 1 and not a byte written. That is Wine,
  # not the tool, so the command is run once more.
  if [ "$windows_code" -eq 1 ] && [ ! -s windows.out ] && [ ! -s windows.err ] && [ "$linux_code" -ne 1 ]; then
    wine "$windows_tool" "$@" <"$input" >windows.out 2>windows.err
    windows_code=$?
  fi
  # A debug build of the framework announces its version; the Windows build is a release build.
  sed -i '/^JUCE v[0-9.]*$/d' linux.err
  [ "$linux_code" -eq "$windows_code" ] || fail "$*: exit $windows_code on Windows, $linux_code on Linux"
  cmp -s linux.out windows.out || fail "$*: standard output differs: $(diff linux.out windows.out | head -n 6)"
  cmp -s linux.err windows.err || fail "$*: standard error differs: $(diff linux.err windows.err | head -n 6)"
}

# Programs: the editor's default, a dump as the controller sends it, one with a zeroed header, and
# variants made through JSON by the Linux tool.
cp "$corpus/default.vkr" default.vkr
cp "$corpus/dump_program3.syx" dump.vkr
cp "$corpus/zero_header.vkr" zero.vkr
"$linux_tool" export default.vkr >default.json 2>/dev/null || fail "the Linux tool could not export the default program"
edits=(
  's/"tempo": 128/"tempo": 96/; s/"Momentary"/"Toggle"/g'
  's/"on": false/"on": true/; s/"note": 3[6-9]/"note": 127/g; s/"transpose": 0/"transpose": -12/'
  's/"hi": 127/"hi": 64/g; s/"lo": 0/"lo": 5/g; s/"octave": 0/"octave": 3/'
)
programs=(default.vkr dump.vkr zero.vkr)
for i in "${!edits[@]}"; do
  sed "${edits[$i]}" default.json >"variant-$i.json"
  "$linux_tool" import "variant-$i.json" "variant-$i.vkr" 2>/dev/null || fail "the Linux tool refused variant $i"
  programs+=("variant-$i.vkr")
done
cp "$corpus/short.vkr" short.vkr
printf 'not a program' >text.vkr
head -c 20 default.vkr >bad-value.vkr && printf '\x80' >>bad-value.vkr && tail -c 96 default.vkr >>bad-value.vkr
mkdir folder.vkr

same --version
same --help
for command in show diff export import validate ports send get backup restore; do
  same help "$command"
  same "$command" --help
done
same
same frobnicate
same show
same get --slot 9 x.vkr
same send --slot 3

for program in "${programs[@]}"; do
  same show "$program"
  same export "$program"
  same validate "$program"
  same diff default.vkr "$program"
done
same validate "${programs[@]}" short.vkr text.vkr bad-value.vkr folder.vkr missing.vkr
same show bad-value.vkr
same export text.vkr
same diff default.vkr short.vkr

# JSON into program files: from a file and from standard input, good and refused.
for i in "${!edits[@]}"; do
  same import "variant-$i.json" "windows-$i.vkr"
  "$linux_tool" import "variant-$i.json" "linux-$i.vkr" 2>/dev/null
  cmp -s "linux-$i.vkr" "windows-$i.vkr" || fail "import of variant $i wrote different files"
  same --stdin "variant-$i.json" import - "stdin-$i.vkr"
  cmp -s "linux-$i.vkr" "stdin-$i.vkr" || fail "import - of variant $i wrote a different file"
done
sed 's/"tempo": 128/"tempo": 300/' default.json >too-fast.json
same import too-fast.json refused.vkr
[ ! -e refused.vkr ] || fail "a refused import wrote a file"
printf '{"format": "Velkor program"' >broken.json
same import broken.json refused.vkr
same --stdin too-fast.json import - refused.vkr

# A name with spaces and letters outside ASCII reaches the Windows tool whole.
cp variant-0.vkr "Live Set – Ünterwegs.vkr"
same show "Live Set – Ünterwegs.vkr"
same export "Live Set – Ünterwegs.vkr"

echo "velkor-tool parity: $checks command lines compared, $failures differences"
exit $failures
