#!/usr/bin/env bash
# velkor-tool.exe under Wine against the Linux velkor-tool: for every command that works on files, the
# same standard output, standard error and exit code, byte for byte, and the same files written.
# Usage: tool_parity.sh WINDOWS_VELKOR_TOOL_EXE LINUX_VELKOR_TOOL
set -uo pipefail
source "$(dirname "$0")/../support/lib.sh"
windows_tool=$(realpath "$1")
linux_tool=$(realpath "$2")
enter_work_dir
checks=0

# Runs one command line with each tool in a folder of its own, the two holding the same files, and
# compares what they print, their exit codes and the files they leave: a command that writes nothing
# on one side shows. After a difference the Windows folder is made the Linux one again, so that one
# fault is reported once.
same() { # [--stdin FILE, read in each tool's folder] arguments...
  local input=/dev/null
  if [ "${1:-}" = --stdin ]; then input=$2; shift 2; fi
  checks=$((checks + 1))
  (cd "$work/linux" && "$linux_tool" "$@" <"$input" >"$work/linux.out" 2>"$work/linux.err")
  local linux_code=$?
  (cd "$work/windows" && wine "$windows_tool" "$@" <"$input" >"$work/windows.out" 2>"$work/windows.err")
  local windows_code=$?
  # Now and then Wine fails to start a process at all: exit 1 and not a byte written. That is Wine,
  # not the tool, so the command is run once more.
  if [ "$windows_code" -eq 1 ] && [ ! -s windows.out ] && [ ! -s windows.err ] && [ "$linux_code" -ne 1 ]; then
    (cd "$work/windows" && wine "$windows_tool" "$@" <"$input" >"$work/windows.out" 2>"$work/windows.err")
    windows_code=$?
  fi
  # A debug build of the framework announces its version; the Windows build is a release build.
  sed -i '/^JUCE v[0-9.]*$/d' linux.err
  [ "$linux_code" -eq "$windows_code" ] || fail "$*: exit $windows_code on Windows, $linux_code on Linux"
  cmp -s linux.out windows.out || fail "$*: standard output differs: $(diff linux.out windows.out | head -n 6)"
  cmp -s linux.err windows.err || fail "$*: standard error differs: $(diff linux.err windows.err | head -n 6)"
  if ! diff -rq linux windows >tree.diff 2>&1; then
    fail "$*: the files written differ: $(head -n 6 tree.diff)"
    rm -rf windows && cp -a linux windows
  fi
}

# Programs: the editor's default, a dump as the controller sends it, one with a zeroed header, and
# variants made through JSON by the Linux tool, made in the folder both tools' folders start from.
mkdir inputs && cd inputs || exit 1
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
sed 's/"tempo": 128/"tempo": 300/' default.json >too-fast.json
printf '{"format": "Velkor program"' >broken.json
# A name with spaces and letters outside ASCII reaches the Windows tool whole.
cp variant-0.vkr "Live Set – Ünterwegs.vkr"
# Bank files: four programs joined by the Linux tool, one with a RAM program in front, one of text.
mkdir bank && cp default.vkr bank/slot-1.vkr && cp dump.vkr bank/slot-2.vkr && cp zero.vkr bank/slot-3.vkr &&
  cp variant-1.vkr bank/slot-4.vkr && "$linux_tool" join bank bank.syx >/dev/null 2>&1 || fail "the Linux tool could not join a bank"
cat default.vkr bank.syx >ram.syx
printf 'not a program' >text.syx
cd "$work" && cp -a inputs linux && cp -a inputs windows || exit 1

same --version
same --help
for command in show diff export import validate ports send get backup restore split join; do
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

# JSON into program files: from a file and from standard input, good and refused. Each tool's import
# from a file must be the Linux tool's and its own from standard input.
for i in "${!edits[@]}"; do
  same import "variant-$i.json" "imported-$i.vkr"
  cmp -s "linux/imported-$i.vkr" "windows/imported-$i.vkr" || fail "import of variant $i wrote different files"
  same --stdin "variant-$i.json" import - "stdin-$i.vkr"
  for side in linux windows; do
    cmp -s "linux/imported-$i.vkr" "$side/stdin-$i.vkr" || fail "import - of variant $i wrote a different file on $side"
  done
done
same import too-fast.json refused.vkr
[ ! -e linux/refused.vkr ] && [ ! -e windows/refused.vkr ] || fail "a refused import wrote a file"
same import broken.json refused.vkr
same --stdin too-fast.json import - refused.vkr
[ ! -e linux/refused.vkr ] && [ ! -e windows/refused.vkr ] || fail "a refused import wrote a file"

same show "Live Set – Ünterwegs.vkr"

same validate bank.syx ram.syx text.syx missing.syx
same show bank.syx
same split bank.syx split
same join split joined.syx
cmp -s linux/joined.syx inputs/bank.syx || fail "split then join changed the bank"
same split ram.syx refused
same export "Live Set – Ünterwegs.vkr"

echo "velkor-tool parity: $checks command lines compared, $failures differences"
exit $failures
