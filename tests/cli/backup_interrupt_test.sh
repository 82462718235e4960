#!/usr/bin/env bash
# Backups over an old one, stopped at random points by SIGKILL, SIGINT or SIGTERM: the folder holds all
# four old slot files or all four new ones, and the next backup leaves nothing of the stopped one.
# Every other run keeps a file of its own in the folder, which takes the commit-file way; there the
# state is read after a restore, which finishes or drops what the stopped backup left.
# Usage: backup_interrupt_test.sh VELKOR_TOOL_EXECUTABLE [KILLS, default 45]
set -uo pipefail
source "$(dirname "$0")/../support/lib.sh"
tool=$1
kills=${2:-45}
enter_work_dir
sim=(--simulator --port "Velkor Simulator")

"$tool" backup "${sim[@]}" new >/dev/null 2>&1 || fail "a backup did not complete"
# The files are written at the end of a run: the kills fall in its last third and a little after.
now_ms() { echo $(($(date +%s%N) / 1000000)); }
start=$(now_ms)
"$tool" backup "${sim[@]}" warm >/dev/null 2>&1
run_ms=$(($(now_ms) - start + 3))
# The old backup: the same programs at other tempos, so each file tells which set it is from.
cp -r new old
for slot in 1 2 3 4; do
  printf %b "\\x00\\x$((60 + slot))" | dd of="old/slot-$slot.vkr" bs=1 seek=18 conv=notrunc 2>/dev/null
done
"$tool" validate old/slot-*.vkr >/dev/null || fail "the old backup is no backup"
! cmp -s old/slot-1.vkr new/slot-1.vkr || fail "the old backup is the new one"
[ "$failures" -eq 0 ] || exit 1

state() { # folder -> old, new or mixed
  local slot olds=0 news=0
  for slot in 1 2 3 4; do
    same_file "$1/slot-$slot.vkr" "old/slot-$slot.vkr" && olds=$((olds + 1))
    same_file "$1/slot-$slot.vkr" "new/slot-$slot.vkr" && news=$((news + 1))
  done
  if [ $olds = 4 ]; then echo old; elif [ $news = 4 ]; then echo new; else echo mixed; fi
}

leftovers() { ls -A b | grep -vE '^(slot-[1-4]\.vkr|notes\.txt)$'; ls -A | grep -E '^\.b\.'; }
set -m # or background jobs ignore SIGINT
declare -A seen=([old]=0 [new]=0 [mixed]=0 [stopped]=0)
signals=(KILL INT TERM)
for ((i = 0; i < kills; i++)); do
  sig=${signals[i % 3]}
  fail_context="run $i, SIG$sig"
  rm -rf b && cp -r old b
  keep=$(((i / 3) % 2))
  [ $keep = 0 ] || echo "my notes" >b/notes.txt
  "$tool" backup "${sim[@]}" b >/dev/null 2>&1 &
  pid=$!
  ms=$((run_ms * 7 / 10 + RANDOM % (run_ms * 4 / 10)))
  sleep "$((ms / 1000)).$(printf %03d $((ms % 1000)))"
  kill -s "$sig" $pid 2>/dev/null
  wait $pid 2>/dev/null
  [ -z "$(leftovers)" ] || seen[stopped]=$((seen[stopped] + 1))
  [ $keep = 0 ] || "$tool" restore "${sim[@]}" b >/dev/null 2>&1 || fail "the restore after it failed"
  got=$(state b)
  seen[$got]=$((seen[$got] + 1))
  [ "$got" != mixed ] || fail "old and new slot files mixed: $(ls -A b | tr '\n' ' ')"

  "$tool" backup "${sim[@]}" b >/dev/null 2>&1 || fail "the next backup failed"
  [ "$(state b)" = new ] || fail "the next backup is not all new"
  [ -z "$(leftovers)" ] || fail "left behind: $(leftovers)"
  [ $keep = 0 ] || [ "$(cat b/notes.txt 2>/dev/null)" = "my notes" ] || fail "the user's file is gone"
done
unset fail_context
echo "interrupted backups: $kills; all old ${seen[old]}, all new ${seen[new]}, mixed ${seen[mixed]};" \
  "${seen[stopped]} left files that the next backup cleared"
[ "$failures" -eq 0 ] || exit 1
