#!/usr/bin/env bash
# Installs the Windows setup silently into a throwaway Wine prefix, checks what it put on the machine,
# runs the installed programs and the .vkr association, uninstalls and checks it all went; the
# portable zip must hold programs that run on their own.
# Usage: installer_test.sh BUILD_WINDOWS_DIR   (exit code: the number of failed checks)
set -uo pipefail
[ $# -eq 1 ] || { echo "usage: $0 BUILD_WINDOWS_DIR" >&2; exit 2; }
source "$(dirname "$0")/../support/lib.sh"
dir=$(cd "$1" && pwd) || exit 2

finish() { [ "$failures" -eq 0 ] && echo "installer: all passed"; exit $((failures > 125 ? 125 : failures)); }

version=$(project_version)
setup="$dir/VelkorEditor-$version-setup.exe"
portable="$dir/VelkorEditor-$version-portable.zip"
[ -s "$setup" ] || fail "$setup is missing"
[ -s "$portable" ] || fail "$portable is missing"
[ "$failures" -eq 0 ] || finish

export WINEPREFIX="$dir/wine-installer"
export WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko downloads, and no menu entries or MIME types written into this machine's home.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
drive="$WINEPREFIX/drive_c"
instdir="$drive/Program Files/Velkor Editor"
instdir_win='C:\Program Files\Velkor Editor'
shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Velkor Editor.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VelkorEditor'

own_display=0
make_work_dir
log=$work/wine.log
wine_cleanup() {
  timeout 10 wineserver -k >/dev/null 2>&1
  timeout 10 wineserver -w >/dev/null 2>&1
  rm -rf "$WINEPREFIX"
  [ "$own_display" -eq 0 ] || stop_virtual_display
}
on_exit wine_cleanup
if [ -z "${DISPLAY:-}" ]; then
  start_virtual_display || { fail "no virtual display"; finish; }
  own_display=1
fi

# Each Wine program is run with its output in a file: Wine's background services inherit pipes and
# would hold a $(...) open for good.
run() { # seconds program [args...]; prints the program's output with Windows line ends undone
  local seconds=$1 status
  shift
  timeout "$seconds" wine "$@" >"$log" 2>&1 </dev/null
  status=$?
  tr -d '\r' <"$log"
  return $status
}

reg_value() { # key [value name; default value if none]
  local key=$1
  if [ $# -gt 1 ]; then run 20 reg query "$key" /v "$2" /reg:64; else run 20 reg query "$key" /ve /reg:64; fi |
    sed -n 's/.*    REG_[A-Z_]*    //p'
}
reg_exists() { run 20 reg query "$1" /reg:64 >/dev/null; }

# Only windows of this prefix's processes count: another Wine on the display may show the same names.
window_shown() { # pattern
  local window pid
  for window in $(xdotool search --name "$1" 2>/dev/null); do
    pid=$(xdotool getwindowpid "$window" 2>/dev/null) || continue
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
  done
  return 1
}

no_editor_shown() { ! window_shown '^Velkor Editor'; }
gone() { [ ! -e "$1" ]; }

close_editors() {
  run 20 taskkill /f /im velkor-editor.exe >/dev/null
  wait_until 10 no_editor_shown
}

started=$SECONDS
# A prefix left by an interrupted run may still have its server.
[ -d "$WINEPREFIX" ] && timeout 10 wineserver -k >/dev/null 2>&1
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
wineserver -p || { fail "wineserver did not start"; finish; }
run 120 wineboot -i >/dev/null || { fail "the Wine prefix could not be made: $(tail -3 "$log")"; finish; }

# Install
run 120 "$setup" /S >/dev/null || { fail "the silent install exited with $?"; finish; }
for file in velkor-editor.exe velkor-tool.exe; do
  cmp -s "$dir/$file" "$instdir/$file" || fail "$file is not installed, or is not the one just built"
done
for file in Uninstall.exe README.md LICENSE LICENSE-fonts.txt velkor-editor.ico; do
  [ -s "$instdir/$file" ] || fail "$file is not installed"
done
[ -s "$shortcut" ] || fail "no Start menu shortcut"
grep -aqF "$instdir_win\\velkor-editor.exe" "$shortcut" 2>/dev/null || fail "the Start menu shortcut does not lead to the editor"

[ "$(reg_value 'HKCR\.vkr')" = VelkorEditor.Program ] || fail ".vkr is not associated: $(reg_value 'HKCR\.vkr')"
[ "$(reg_value 'HKCR\VelkorEditor.Program')" = "Velkor program" ] || fail "the .vkr type has no name"
command=$(reg_value 'HKCR\VelkorEditor.Program\shell\open\command')
[ "$command" = "\"$instdir_win\\velkor-editor.exe\" \"%1\"" ] || fail "the .vkr open command is: $command"
[ "$(reg_value "$uninstall_key" DisplayVersion)" = "$version" ] || fail "no uninstall entry for $version"
[ "$(reg_value "$uninstall_key" UninstallString)" = "\"$instdir_win\\Uninstall.exe\"" ] ||
  fail "the uninstall entry runs: $(reg_value "$uninstall_key" UninstallString)"
[ "$(reg_value "$uninstall_key" InstallLocation)" = "$instdir_win" ] || fail "the uninstall entry has no install location"

# The installed programs run
output=$(run 30 "$instdir/velkor-tool.exe" --version) || fail "the installed velkor-tool --version failed"
[ "$output" = "velkor-tool $version" ] || fail "the installed velkor-tool --version printed: $output"

wine "$instdir/velkor-editor.exe" >/dev/null 2>&1 </dev/null &
if wait_until 30 window_shown '^Velkor Editor - Untitled1'; then
  # An update while the editor runs cannot replace it; that must not be reported as success.
  run 60 "$setup" /S >/dev/null && fail "a silent install over the running editor reported success"
else
  fail "the installed editor showed no window within 30 seconds"
fi
close_editors

# Opening a file through the association; the space in the path tests the quoting of "%1".
mkdir -p "$drive/users/Public/Velkor test"
cp "$corpus/default.vkr" "$drive/users/Public/Velkor test/assoc check.vkr"
run 20 start 'C:\users\Public\Velkor test\assoc check.vkr' >/dev/null || fail "start on a .vkr file failed"
wait_until 30 window_shown '^Velkor Editor - assoc check\.vkr' || fail "a .vkr file opened from the shell showed no editor window"
close_editors

# Uninstall. The uninstaller hands over to a copy of itself and returns at once, so wait for its work.
run 60 "$instdir/Uninstall.exe" /S >/dev/null || fail "the silent uninstall exited with $?"
wait_until 30 gone "$instdir" || fail "the install folder is still there: $(ls "$instdir" | tr '\n' ' ')"
[ -e "$shortcut" ] && fail "the Start menu shortcut is still there"
reg_exists 'HKCR\.vkr' && fail ".vkr is still registered"
reg_exists 'HKCR\VelkorEditor.Program' && fail "the .vkr type is still registered"
reg_exists "$uninstall_key" && fail "the uninstall entry is still there"

# Into a folder of the user's own, with .vkr since taken by another program: uninstalling must take
# only what the installer brought.
mkdir -p "$drive/Tools"
echo keep >"$drive/Tools/notes.txt"
run 120 "$setup" /S '/D=C:\Tools' >/dev/null || fail "the silent install into C:\\Tools exited with $?"
[ -s "$drive/Tools/velkor-editor.exe" ] || fail "/D did not choose the install folder"
run 20 reg add 'HKLM\Software\Classes\.vkr' /ve /d Other.Program /f /reg:64 >/dev/null
run 60 "$drive/Tools/Uninstall.exe" /S >/dev/null || fail "the second silent uninstall exited with $?"
wait_until 30 gone "$drive/Tools/Uninstall.exe" || fail "the uninstaller in C:\\Tools did not finish"
[ -e "$drive/Tools/velkor-editor.exe" ] && fail "the editor in C:\\Tools was not removed"
[ "$(cat "$drive/Tools/notes.txt" 2>/dev/null)" = keep ] || fail "uninstalling removed a file the user had in the folder"
[ "$(reg_value 'HKCR\.vkr')" = Other.Program ] || fail "uninstalling took .vkr from the program that had it"

# Portable zip
listing=$(unzip -l "$portable" 2>&1) || fail "the portable zip cannot be read: $listing"
for file in velkor-editor.exe velkor-tool.exe README.md LICENSE LICENSE-fonts.txt; do
  grep -qF " Velkor Editor/$file" <<<"$listing" || fail "the portable zip has no Velkor Editor/$file"
done
unzip -q "$portable" -d "$drive/portable" || fail "the portable zip does not unpack"
output=$(run 30 "$drive/portable/Velkor Editor/velkor-tool.exe" --version)
[ "$output" = "velkor-tool $version" ] || fail "velkor-tool from the portable zip printed: $output"

echo "installer: checks took $((SECONDS - started)) s"
finish
