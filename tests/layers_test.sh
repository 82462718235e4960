#!/usr/bin/env bash
# Fails when a source file includes from a layer above its own: program < midi < gui, with the tool's
# command line beside gui on top of program and midi. A folder is its layer, but for the widget-bound
# classes the layout itself places in model/ and midi/.
# Usage: layers_test.sh [SOURCE_ROOT]
set -uo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root" || exit 1

gui_exceptions=" model/EditorController model/ProgramClipboard model/ProgramSender midi/DeviceManagerComponent midi/DeviceManagerWindow "

layer_of() { # path -> program | midi | gui | cli
  local stem=${1%.*}
  case " $gui_exceptions " in *" $stem "*) echo gui; return ;; esac
  case $1 in
    model/*) echo program ;;
    midi/*) echo midi ;;
    cli/*) echo cli ;;
    *) echo gui ;;
  esac
}

# What each layer may include, of ours and of JUCE's.
allowed() { # from-layer to-layer
  case "$1:$2" in
    program:program | midi:program | midi:midi) return 0 ;;
    gui:program | gui:midi | gui:gui) return 0 ;;
    cli:program | cli:midi | cli:cli) return 0 ;;
  esac
  return 1
}
juce_layer() { # module -> layer that owns it
  case $1 in
    juce_core) echo program ;;
    juce_events | juce_audio_basics | juce_audio_devices) echo midi ;;
    *) echo gui ;;
  esac
}

violations=0
while IFS= read -r file; do
  from=$(layer_of "$file")
  while IFS= read -r included; do
    case $included in
      \"BinaryData.h\" | \<BinaryData.h\>) to=gui ;;
      \<juce_*) module=${included#<}; to=$(juce_layer "${module%%/*}") ;;
      \"*/*\") path=${included//\"/}; to=$(layer_of "$path") ;;
      *) continue ;;
    esac
    if ! allowed "$from" "$to"; then
      echo "$file ($from) includes $included ($to)"
      violations=$((violations + 1))
    fi
  done < <(sed -n 's/^#include \([<"][^>"]*[>"]\).*/\1/p' "$file")
done < <(find app model midi ui tools cli -name '*.h' -o -name '*.cpp' | sort)

echo "$violations include(s) from a higher layer"
[ "$violations" -eq 0 ]
