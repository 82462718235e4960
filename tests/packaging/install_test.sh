#!/usr/bin/env bash
# Installs the build into a scratch prefix and, with dpkg at hand, builds the Debian package and unpacks
# it into a scratch root; each time the installed velkor-tool must run and the desktop files, manual
# pages, completion and AppStream metadata must be in place and valid. The package must pass lintian
# without an error or a warning.
# Usage: install_test.sh BUILD_DIR
set -uo pipefail
source "$(dirname "$0")/../support/lib.sh"
build=$1
make_work_dir

id=example.harvane.VelkorEditor
check_tree() { # root of an installed /usr-like tree
  local root=$1
  for path in bin/velkor-editor bin/velkor-tool; do
    [ -x "$root/$path" ] || fail "$path is not installed as a program"
  done
  for path in share/applications/$id.desktop share/metainfo/$id.metainfo.xml share/mime/packages/$id.xml \
              share/icons/hicolor/48x48/apps/$id.png share/icons/hicolor/512x512/apps/$id.png \
              share/icons/hicolor/scalable/apps/$id.svg share/doc/velkor-editor/copyright \
              share/doc/velkor-editor/changelog.gz share/man/man1/velkor-editor.1.gz \
              share/man/man1/velkor-tool.1.gz share/bash-completion/completions/velkor-tool; do
    [ -s "$root/$path" ] || fail "$path is missing"
  done
  desktop-file-validate "$root/share/applications/$id.desktop" || fail "the desktop entry is invalid"
  # The one id names the desktop entry, its icon, the metadata and the file type's icon.
  grep -qx "Icon=$id" "$root/share/applications/$id.desktop" || fail "the desktop entry's icon is not $id"
  grep -q "<icon name=\"$id\"/>" "$root/share/mime/packages/$id.xml" || fail "the file type's icon is not $id"
  grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$root/share/metainfo/$id.metainfo.xml" ||
    fail "the metadata does not launch $id.desktop"
  # Warnings fail as errors do; notes (infos) do not.
  appstreamcli validate --no-net "$root/share/metainfo/$id.metainfo.xml" >"$work/appstream.log" 2>&1 &&
    ! grep -qE '^[EW]: ' "$work/appstream.log" || { cat "$work/appstream.log"; fail "appstreamcli validate rejects the metadata"; }

  # The installed tool on a program it made itself from JSON.
  local json="$work/program.json"
  "$root/bin/velkor-tool" backup --simulator --port "Velkor Simulator" "$work/backup" >/dev/null ||
    fail "the installed velkor-tool could not back up the simulated controller"
  "$root/bin/velkor-tool" show "$work/backup/slot-1.vkr" >"$work/show.txt" || fail "the installed velkor-tool show failed"
  grep -q '^ARPEGGIATOR$' "$work/show.txt" || fail "the installed velkor-tool show printed: $(head -3 "$work/show.txt")"
  "$root/bin/velkor-tool" export "$work/backup/slot-1.vkr" >"$json" || fail "the installed export failed"
  rm -rf "$work/backup"
}

# cmake --install into a prefix of one's own, which also refreshes the prefix's file type database.
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
check_tree "$prefix"
if command -v update-mime-database >/dev/null; then
  grep -q 'application/x-velkor-program:\*\.vkr' "$prefix/share/mime/globs2" 2>/dev/null ||
    fail "the .vkr file type is not in the installed MIME database"
  [ -s "$prefix/share/mime/application/x-velkor-program.xml" ] || fail "the MIME type was not compiled"
fi

# The Debian package: dependencies from the binaries, contents under /usr.
if command -v dpkg-deb >/dev/null && command -v dpkg-shlibdeps >/dev/null; then
  (cd "$build" && cpack -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack failed"; }
  deb=$(ls "$work"/package/velkor-editor_*.deb 2>/dev/null | head -n 1)
  if [ -z "$deb" ]; then
    fail "cpack made no .deb"
  else
    depends=$(dpkg-deb -f "$deb" Depends)
    for library in libc6 libasound2 libfreetype6 libx11-6; do
      grep -q "$library" <<<"$depends" || fail "the package does not depend on $library: $depends"
    done
    if dpkg-deb -c "$deb" | grep -q 'share/mime/mime.cache\|share/applications/mimeinfo.cache'; then
      fail "the package carries a generated cache that belongs to the system"
    fi
    dpkg-deb -x "$deb" "$work/root" || fail "the package does not unpack"
    check_tree "$work/root/usr"

    # One version everywhere: the package, its changelog's newest entry and the newest release in
    # the metadata, on the changelog's day.
    version=$(dpkg-deb -f "$deb" Version)
    changelog=$(zcat "$work/root/usr/share/doc/velkor-editor/changelog.gz")
    [[ $(head -n 1 <<<"$changelog") == "velkor-editor ($version) "* ]] ||
      fail "the changelog's newest entry is not $version: $(head -n 1 <<<"$changelog")"
    day=$(date -u -d "$(grep -m 1 '^ -- ' <<<"$changelog" | sed 's/.*>  //')" +%Y-%m-%d)
    grep -m 1 '<release ' "$work/root/usr/share/metainfo/$id.metainfo.xml" |
      grep -q "<release version=\"$version\" date=\"$day\"" || fail "the metadata's releases do not start with $version of $day"

    if command -v lintian >/dev/null; then
      lintian --fail-on error,warning --display-level '>=warning' "$deb" >"$work/lintian.log" 2>&1 ||
        { cat "$work/lintian.log"; fail "lintian finds errors or warnings in the package"; }
    else
      fail "lintian is not installed (scripts/deps installs it)"
    fi
  fi
fi

[ $failures -eq 0 ] && echo "install and package: all checks passed"
exit $((failures > 0))
