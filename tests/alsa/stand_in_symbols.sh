#!/usr/bin/env bash
# Every snd_seq_* function the binaries import must come from the stand-in, or a test would reach the
# real sequencer (absent here) without anyone noticing.
# Usage: stand_in_symbols.sh STAND_IN_LIBRARY BINARY...
set -uo pipefail
source "$(dirname "$0")/../support/lib.sh"
stand_in=$1
shift
defined=$(nm -D --defined-only "$stand_in" | awk '{print $3}' | grep '^snd_seq_' | sort -u)
for binary in "$@"; do
  imported=$(nm -D --undefined-only "$binary" | awk '{print $2}' | sed 's/@.*//' | grep '^snd_seq_' | sort -u)
  [ -n "$imported" ] || fail "$binary imports no snd_seq_ function"
  missing=$(comm -23 <(echo "$imported") <(echo "$defined"))
  if [ -n "$missing" ]; then
    fail "$binary imports what the stand-in lacks: $missing"
  else
    echo "$(basename "$binary"): $(echo "$imported" | wc -l) snd_seq_ functions, all in the stand-in"
  fi
done
exit $((failures > 0))
