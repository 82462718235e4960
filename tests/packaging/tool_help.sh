# What velkor-tool's own --help lists, one item a line: the one reading of it that the tests holding
# the manual page and the completion to it share.
help_commands() { # tool
  "$1" --help 2>/dev/null | sed -n '/^Commands:/,/^$/p' | grep -oE '^  [a-z]+' | tr -d ' '
}
help_options() { # tool command; each with its argument's name: "--port NAME", "--verify"
  "$1" "$2" --help 2>/dev/null | grep -oE '^  --[a-z-]+( [^ ]+)?' | sed 's/^ *//'
}
help_faults() { # tool
  "$1" ports --help 2>/dev/null | tr '\n' ' ' | sed -E 's/.*misbehave: ([^(]*)\(.*/\1/' | tr -s ', ' '\n\n' | grep .
}
