#!/usr/bin/env bash
# The manual pages say what velkor-tool's own --help says: the same commands with the same usage,
# the same options and simulator faults, the same exit codes; and both pages format without a
# warning.
# Usage: manual_pages_test.sh VELKOR_TOOL PAGES_DIR (holding velkor-tool.1 and velkor-editor.1)
set -uo pipefail
source "$(dirname "$0")/../support/lib.sh"
source "$(dirname "$0")/tool_help.sh"
tool=$1
pages=$2
same() { # what, expected (from --help), found (in the page)
  [ "$2" = "$3" ] || fail "$1 differ: --help has [$(tr '\n' ' ' <<<"$2")], the page has [$(tr '\n' ' ' <<<"$3")]"
}

for page in velkor-tool velkor-editor; do
  warnings=$(groff -ww -z -man "$pages/$page.1" 2>&1)
  [ -z "$warnings" ] || fail "$page.1 formats with warnings: $warnings"
done

# The page's source with font changes and escaped hyphens undone.
source=$(sed -e 's/\\f[BIRP]//g' -e 's/\\-/-/g' "$pages/velkor-tool.1")
section() { awk -v name="$1" '/^\.SH / { inside = (substr($0, 5) == name || substr($0, 5) == "\"" name "\""); next } inside' <<<"$source"; }
# The tag lines of a section's .TP entries; with "nested", those of its indented (.RS) list.
tags() {
  section "$1" | awk -v nested="${2:-}" '
    /^\.RS/ { depth++; next } /^\.RE/ { depth--; next }
    tag { tag = 0; if ((depth > 0) == (nested != "")) { sub(/^\.B /, ""); print } next }
    /^\.TP/ { tag = 1 }'
}

help=$("$tool" --help 2>/dev/null)
commands=$(help_commands "$tool" | sort)
[ -n "$commands" ] || fail "no commands found in velkor-tool --help"
same "the commands" "$commands" "$(tags COMMANDS | awk '{ print $1 }' | grep -vx help | sort)"

synopsis=$(section SYNOPSIS)
help_listed=--help
for command in $commands; do
  usage=$("$tool" "$command" --help 2>/dev/null | sed -n 's/^Usage: //p' | sed 's/ *$//')
  # Optional parts are the page's additions; what remains must be the usage itself.
  line=$(grep -E "^velkor-tool $command( |$)" <<<"$synopsis" | sed -E 's/ \[[^]]*\]//g')
  same "the usage of $command" "$usage" "$line"
  help_listed+=$'\n'$(help_options "$tool" "$command")
done
same "the options" "$(grep . <<<"$help_listed" | sort -u)" "$(tags OPTIONS | sort -u)"

faults=$(help_faults "$tool" | sort)
same "the simulator faults" "$faults" "$(tags OPTIONS nested | sort)"

# "Exit codes: 0 success, 1 bad input, ..." against the page's EXIT STATUS entries.
codes=$(grep '^Exit codes:' <<<"$help" | sed -E 's/^Exit codes: //; s/\.$//' | sed 's/, \([0-9]\) /\n\1 /g')
[ -n "$codes" ] || fail "no exit codes found in velkor-tool --help"
while IFS= read -r entry; do
  code=${entry%% *}
  meaning=${entry#* }
  found=$(section "EXIT STATUS" | awk -v code="$code" '$0 == ".B " code { getline; print }')
  [[ $found == "$meaning"* ]] || fail "exit code $code: --help says \"$meaning\", the page \"$found\""
done <<<"$codes"
same "the exit codes" "$(cut -d' ' -f1 <<<"$codes" | sort)" "$(tags "EXIT STATUS" | sort)"

# The editor takes one option; the pages carry the version they describe.
grep -q '^\\fB\\-\\-simulator\\fR$' "$pages/velkor-editor.1" || fail "velkor-editor.1 does not describe --simulator"
for page in velkor-tool velkor-editor; do
  grep -qE '^\.TH .*"[^"]* [0-9]+\.[0-9]+\.[0-9]+"' "$pages/$page.1" || fail "$page.1 carries no version"
done

[ $failures -eq 0 ] && echo "manual pages: all checks passed"
exit $((failures > 0))
