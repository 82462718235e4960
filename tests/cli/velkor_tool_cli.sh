#!/usr/bin/env bash
# Runs the real velkor-tool as a musician would from a shell: a backup of the simulated controller,
# then inspecting, diffing, editing through JSON and checking the files, and the exit codes.
# Usage: velkor_tool_cli.sh VELKOR_TOOL_EXECUTABLE
set -uo pipefail
source "$(dirname "$0")/../support/lib.sh"
tool=$1
enter_work_dir

sim=(--simulator --port "Velkor Simulator")

expect_code 0 "$tool" --version
grep -q '^velkor-tool [0-9]' out.txt || fail "--version printed: $(cat out.txt)"
expect_code 0 "$tool" --help
grep -q 'backup' out.txt && grep -q '^  restore ' out.txt || fail "--help lists no backup or restore command"
expect_code 2 "$tool" get --slot 9 x.vkr
grep -q -- "--slot takes 1, 2, 3, 4 or ram" err.txt || fail "bad slot said: $(cat err.txt)"

expect_code 0 "$tool" backup "${sim[@]}" backups
for slot in 1 2 3 4; do
  [ "$(stat -c %s "backups/slot-$slot.vkr" 2>/dev/null)" = 117 ] || fail "backups/slot-$slot.vkr is not 117 bytes"
done
expect_code 0 "$tool" validate backups/slot-1.vkr backups/slot-4.vkr
[ "$(cat out.txt)" = "backups/slot-1.vkr: ok
backups/slot-4.vkr: ok" ] || fail "validate printed: $(cat out.txt)"

expect_code 0 "$tool" show backups/slot-1.vkr
grep -q '^  TEMPO  *128$' out.txt || fail "show has no tempo line: $(cat out.txt)"
grep -q '^PADS ' out.txt && grep -q '^  B8 ' out.txt || fail "show has no pad table"

# Edit through JSON in a pipe, then see the change.
"$tool" export backups/slot-1.vkr | sed 's/"tempo": 128/"tempo": 96/' | "$tool" import - faster.vkr ||
  fail "export | import failed"
expect_code 0 "$tool" diff backups/slot-1.vkr faster.vkr
[ "$(cat out.txt)" = "Arpeggiator TEMPO: 128 -> 96" ] || fail "diff printed: $(cat out.txt)"
"$tool" export faster.vkr | "$tool" import - again.vkr && cmp -s faster.vkr again.vkr ||
  fail "export then import changed the file"
expect_code 1 "$tool" diff --exit-code backups/slot-1.vkr faster.vkr
expect_code 0 "$tool" diff --exit-code faster.vkr again.vkr
[ "$("$tool" export faster.vkr | tr -cd '\r' | wc -c)" = 0 ] || fail "export writes carriage returns"

expect_code 0 "$tool" send "${sim[@]}" --slot 3 --verify faster.vkr
expect_code 3 "$tool" get "${sim[@]}" --slot 2 --simulator-fault no-reply --timeout 150 late.vkr
grep -q 'no answer from "Velkor Simulator" for slot 2 within 150 ms' err.txt || fail "timeout said: $(cat err.txt)"
[ ! -e late.vkr ] || fail "a timed-out get wrote a file"
expect_code 1 "$tool" get "${sim[@]}" --slot 2 --simulator-fault wrong-length late.vkr
grep -q 'is not a valid program: it holds 118 bytes' err.txt || fail "a wrong-length answer said: $(cat err.txt)"

printf 'not a program' >bad.vkr
expect_code 1 "$tool" validate bad.vkr faster.vkr
grep -q '^bad.vkr: holds 13 bytes' out.txt || fail "validate printed: $(cat out.txt)"

# A backup with a program of our own written back and read back slot by slot, by a part of the port's name.
cp -r backups restoring && cp faster.vkr restoring/slot-3.vkr
expect_code 0 "$tool" restore --simulator --port sim restoring
[ "$(grep -c '^Restored slot [1-4] on "Velkor Simulator" from .* and read it back\.$' out.txt)" = 4 ] ||
  fail "restore printed: $(cat out.txt)"
# What the slots held is kept first, as backup saves it, for send to put back; never over a kept file,
# and a slot that is silent stops everything unless --force.
expect_code 0 "$tool" restore "${sim[@]}" --keep kept restoring
for slot in 1 2 3 4; do
  cmp -s "kept/slot-$slot.vkr" "backups/slot-$slot.vkr" || fail "kept/slot-$slot.vkr is not what slot $slot held"
done
grep -q '^Kept what slot 4 held in /.*/kept/slot-4\.vkr$' out.txt || fail "restore --keep printed: $(cat out.txt)"
expect_code 0 "$tool" send "${sim[@]}" --slot 3 --verify kept/slot-3.vkr
expect_code 1 "$tool" restore "${sim[@]}" --keep kept restoring
grep -q 'kept: already holds slot-1.vkr; .*nothing was sent$' err.txt || fail "a used --keep folder said: $(cat err.txt)"
expect_code 3 "$tool" restore "${sim[@]}" --simulator-fault no-reply --timeout 100 --keep silent restoring
grep -qx 'velkor-tool: could not keep what slots 1, 2, 3 and 4 hold; nothing was written (--force writes without keeping it)' err.txt &&
  [ ! -e silent ] || fail "a silent controller said: $(cat err.txt)"
# One file that is not a program refuses the whole folder; a controller that changes a value is caught.
cp bad.vkr restoring/slot-2.vkr
expect_code 1 "$tool" restore "${sim[@]}" restoring
grep -q 'restoring/slot-2.vkr: holds 13 bytes; a program file holds exactly 117; nothing was sent$' err.txt &&
  [ ! -s out.txt ] || fail "a bad slot file said: $(cat err.txt) $(cat out.txt)"
cp backups/slot-2.vkr restoring/slot-2.vkr
expect_code 1 "$tool" restore "${sim[@]}" --simulator-fault changes-value restoring
grep -q 'slot 3 of "Velkor Simulator" holds another program after the write (Arpeggiator TEMPO: 96 -> 97)' err.txt &&
  grep -q 'slots 1, 2, 3 and 4 did not read back as restored$' err.txt || fail "a changed value said: $(cat err.txt)"

# A bank file: backup --syx, split and join both ways giving the same bytes, restore from one.
expect_code 0 "$tool" backup "${sim[@]}" --syx bank.syx
[ "$(od -An -tx1 -j117 -N8 bank.syx)" = " f0 47 00 26 64 00 6d 02" ] && [ "$(stat -c %s bank.syx)" = 468 ] ||
  fail "backup --syx wrote no bank of writes to slots 1 to 4"
expect_code 0 "$tool" split bank.syx bank
cp faster.vkr bank/slot-3.vkr
expect_code 0 "$tool" join bank joined.syx
expect_code 0 "$tool" split joined.syx again
diff -r bank again >/dev/null || fail "join then split changed the folder"
cp backups/slot-3.vkr bank/slot-3.vkr && "$tool" join bank same.syx >/dev/null && cmp -s bank.syx same.syx ||
  fail "split then join changed the bank"
expect_code 0 "$tool" validate joined.syx
[ "$(sed -n 3p out.txt)" = "joined.syx: message 3 at offset 234: PROGRAM 3 (write)" ] || fail "validate printed: $(cat out.txt)"
expect_code 0 "$tool" restore "${sim[@]}" joined.syx
grep -q '^Restored slot 4 on "Velkor Simulator" from /.*/joined.syx (message 4 at offset 351) and read it back\.$' out.txt ||
  fail "restore of a bank file printed: $(cat out.txt)"
expect_code 1 "$tool" restore "${sim[@]}" --simulator-fault changes-value joined.syx
grep -q 'slot 3 of "Velkor Simulator" holds another program after the write (Arpeggiator TEMPO: 96 -> 97)' err.txt ||
  fail "restore of a bank file said: $(cat err.txt)"
cat joined.syx bank.syx >twice.syx
expect_code 1 "$tool" restore "${sim[@]}" twice.syx
grep -qx 'velkor-tool: twice.syx: message 5 at offset 468: PROGRAM 1 (write) repeats the slot of message 1 at offset 0; a bank holds each slot once; nothing was sent' err.txt ||
  fail "a bank with a slot twice said: $(cat err.txt)"

# Sources without a size of their own are read only up to the limit; FIFOs are legitimate pipes.
for source in /dev/zero /dev/urandom; do
  timeout 20 "$tool" import "$source" zero.vkr >out.txt 2>err.txt
  [ $? -eq 1 ] && grep -q "too large for a program's JSON" err.txt || fail "import $source said: $(cat err.txt)"
done
yes | timeout 20 "$tool" import - endless.vkr >out.txt 2>err.txt
[ $? -eq 1 ] && grep -q "standard input: too large" err.txt || fail "an endless pipe said: $(cat err.txt)"
mkfifo json.fifo
"$tool" export faster.vkr >json.fifo 2>/dev/null &
expect_code 0 timeout 20 "$tool" import json.fifo piped.vkr
wait
cmp -s faster.vkr piped.vkr || fail "JSON through a FIFO gave another program"
yes >json.fifo 2>/dev/null &
writer=$!
expect_code 1 timeout 20 "$tool" import json.fifo endless.vkr
kill "$writer" 2>/dev/null
wait "$writer" 2>/dev/null
[ ! -e zero.vkr ] && [ ! -e endless.vkr ] || fail "a refused import wrote a file"

# A FIFO or a device in the way of a program file stays as it was.
expect_code 1 "$tool" get "${sim[@]}" --slot 1 json.fifo
grep -q 'json.fifo: is not a regular file' err.txt && [ -p json.fifo ] || fail "get into a FIFO: $(cat err.txt)"
expect_code 1 timeout 20 "$tool" import - json.fifo < <("$tool" export faster.vkr 2>/dev/null)
[ -p json.fifo ] || fail "import replaced a FIFO"

# Output lost on a full disk or a closed standard output is a failure, whatever printed it.
for command in "--help" "--version" "show faster.vkr" "export faster.vkr" "validate faster.vkr" \
  "diff backups/slot-1.vkr faster.vkr" "backup --simulator --port Simulator lost"; do
  # shellcheck disable=SC2086
  "$tool" $command >/dev/full 2>err.txt
  code=$?
  [ $code -eq 1 ] && grep -q 'standard output could not be written' err.txt || fail "$command >/dev/full exited $code: $(cat err.txt)"
  # shellcheck disable=SC2086
  timeout 20 "$tool" $command >&- 2>err.txt
  code=$?
  [ $code -eq 1 ] && grep -q 'standard output could not be written' err.txt || fail "$command >&- exited $code: $(cat err.txt)"
done
# A closed standard input is refused at once, not waited on.
timeout 20 "$tool" import - closed.vkr <&- >out.txt 2>err.txt
code=$?
[ $code -eq 1 ] && grep -q 'standard input: cannot be read' err.txt && [ ! -e closed.vkr ] ||
  fail "import - with standard input closed exited $code: $(cat err.txt)"

expect_code 2 "$tool" backup "${sim[@]}" ""
[ -z "$(ls -A . | grep -E '^slot-')" ] || fail "backup \"\" wrote into the working directory"

[ $failures -eq 0 ] && echo "velkor-tool: all checks passed"
exit $((failures > 0))
