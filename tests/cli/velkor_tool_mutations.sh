#!/usr/bin/env bash
# The real velkor-tool on random damage to program files and to their JSON: every run ends within
# its time with 0 or 1, a refused import writes nothing, and what export prints, import turns back
# into the same program. Seeded, so that a failure can be run again:
#   SEED=n velkor_tool_mutations.sh VELKOR_TOOL_EXECUTABLE
set -uo pipefail
source "$(dirname "$0")/../support/lib.sh"
tool=$1
seed=${SEED:-4711}
rounds=${ROUNDS:-100}
RANDOM=$seed
fail_context="SEED=$seed"
echo "velkor-tool mutations: seed $seed, $rounds rounds of each kind"
enter_work_dir
runs=0
started=$SECONDS

# Runs a command with a time limit; code is what it exited with, which must be 0 or 1.
check() {
  timeout 10 "$@" >out.txt 2>err.txt
  code=$?
  runs=$((runs + 1))
  [ $code -le 1 ] || fail "$* exited $code: $(grep -v '^JUCE v' err.txt | head -3)"
  ! grep -qE 'JUCE Assertion failure|Leaked objects detected|runtime error|Sanitizer' err.txt ||
    fail "$* complained: $(grep -v '^JUCE v' err.txt | head -3)"
}

put_byte() { # file offset value
  # shellcheck disable=SC2059
  printf "$(printf '\\%03o' "$3")" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

# The 108 value bytes, offsets 8 to 115: what a program file keeps whatever its header says.
values_of() { tail -c +9 "$1" | head -c 108 | od -An -tx1; }

"$tool" backup --simulator --port "Velkor Simulator" pool >/dev/null 2>&1 || {
  echo "FAIL: no backup to start from"
  exit 1
}
pool=(pool/slot-1.vkr pool/slot-2.vkr pool/slot-3.vkr pool/slot-4.vkr)

# Damaged program files: checked, shown, and when valid, exported and imported again.
# A loaded machine runs fewer rounds rather than past the test's time limit; the rounds run are the
# same for a seed.
files=0
for ((round = 0; round < rounds && SECONDS - started < 10; round++)); do
  files=$((files + 1))
  base=${pool[RANDOM % ${#pool[@]}]}
  cp "$base" damaged.vkr
  case $((RANDOM % 6)) in
  0 | 1)
    for ((k = RANDOM % 3; k >= 0; k--)); do put_byte damaged.vkr $((RANDOM % 117)) $((RANDOM % 256)); done
    ;;
  2 | 3) # a small value somewhere among the values: often still a program
    put_byte damaged.vkr $((8 + RANDOM % 108)) $((RANDOM % 5))
    ;;
  4) truncate -s $((RANDOM % 117)) damaged.vkr ;;
  5) head -c $((1 + RANDOM % 9)) /dev/urandom >>damaged.vkr ;;
  esac

  check "$tool" validate damaged.vkr
  valid=$code
  check "$tool" show damaged.vkr
  [ "$code" -eq "$valid" ] || fail "show exited $code, validate $valid on $(od -An -tx1 damaged.vkr | tr -d '\n')"
  [ "$valid" -eq 0 ] || continue

  check "$tool" export damaged.vkr
  [ $code -eq 0 ] || fail "export of a valid file exited $code"
  cp out.txt damaged.json
  rm -f again.vkr
  check "$tool" import damaged.json again.vkr
  [ $code -eq 0 ] || fail "import of exported JSON exited $code: $(cat err.txt)"
  [ "$(values_of damaged.vkr)" = "$(values_of again.vkr)" ] ||
    fail "export then import changed $(od -An -tx1 damaged.vkr | tr -d '\n')"
  if cmp -s <(head -c 8 pool/slot-1.vkr) <(head -c 8 damaged.vkr) &&
    [ "$(tail -c 1 damaged.vkr | od -An -tx1)" = " f7" ]; then
    cmp -s damaged.vkr again.vkr || fail "export then import changed the bytes of a whole program file"
  fi
  cp damaged.vkr "pool/valid-$round.vkr"
  pool+=("pool/valid-$round.vkr")
done

# Broken JSON: refused with 1 and nothing written, or read into a valid program.
numbers=(18446744073709551744 1e400 -1E+999 1e-400 -0 0.5 4294967297 99999999999999999999999999 256.0 -129)
chars='{}[]",:0123456789-+eE. \nt'
texts=0
for ((round = 0; round < rounds * 3 / 2 && SECONDS - started < 20; round++)); do
  texts=$((texts + 1))
  "$tool" export "${pool[RANDOM % ${#pool[@]}]}" >base.json 2>/dev/null
  json=$(<base.json)
  for ((k = RANDOM % 3; k >= 0; k--)); do
    length=${#json}
    [ "$length" -gt 0 ] || break
    at=$((RANDOM % length))
    case $((RANDOM % 7)) in
    0) json=${json:0:at} ;;
    1) json=${json:0:at}${json:at+1+RANDOM % 3} ;;
    2) json=${json:0:at}${json:at:1}${json:at} ;;
    3) json=${json:0:at}${chars:RANDOM % ${#chars}:1}${json:at} ;;
    4 | 5) # a number somewhere after the place becomes a huge, tiny or fractional one
      tail=${json:at}
      if [[ $tail =~ ^([^0-9]*)([0-9]+)(.*)$ ]]; then
        json=${json:0:at}${BASH_REMATCH[1]}${numbers[RANDOM % ${#numbers[@]}]}${BASH_REMATCH[3]}
      fi
      ;;
    6) # a value wrapped in arrays, from a little to far too deep
      depth=$((1 + RANDOM % 40))
      ((RANDOM % 8 == 0)) && depth=$((depth * 1000))
      open=$(printf '%*s' "$depth" '' | tr ' ' '[')
      close=$(printf '%*s' "$depth" '' | tr ' ' ']')
      json=${json:0:at}$open${json:at:1}$close${json:at+1}
      ;;
    esac
  done
  rm -f imported.vkr
  if ((round % 2 == 0)); then
    printf '%s' "$json" >broken.json
    check "$tool" import broken.json imported.vkr
  else
    printf "%s" "$json" >broken.json
    check "$tool" import - imported.vkr <broken.json
  fi
  if [ $code -eq 1 ]; then
    [ ! -e imported.vkr ] || fail "a refused import wrote a file: $(head -c 200 <<<"$json")"
    [ -s err.txt ] || fail "a refused import said nothing"
  elif [ $code -eq 0 ]; then
    check "$tool" validate imported.vkr
    [ $code -eq 0 ] || fail "import wrote a file that is not a program: $(cat out.txt)"
  fi
done

echo "velkor-tool mutations: $files program files and $texts JSON texts, $runs runs in $((SECONDS - started)) s"
[ $failures -eq 0 ] && echo "velkor-tool mutations: all checks passed"
exit $((failures > 0))
