#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a scratch root as a package would, checks that the desktop finds
# everything it needs there, and starts the installed program the way its menu entry does.
# Usage: install_test.sh <build dir> <application id> <version>
set -euo pipefail
build="$1"
id="$2"
version="$3"
scratch="$(mktemp -d)"
pid=""
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

root="$scratch/root"
DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
usr="$root/usr"

[ -x "$usr/bin/nerova2002" ] || fail "no executable"
desktop="$usr/share/applications/$id.desktop"
metainfo="$usr/share/metainfo/$id.metainfo.xml"
for f in "$desktop" "$metainfo" "$usr/share/icons/hicolor/scalable/apps/$id.svg" \
    "$usr/share/icons/hicolor/48x48/apps/$id.png" "$usr/share/man/man1/nerova2002.1.gz" \
    "$usr/share/doc/nerova2002/copyright" "$usr/share/doc/nerova2002/changelog.gz"; do
    [ -s "$f" ] || fail "missing ${f#"$root"}"
done

desktop-file-validate "$desktop" || fail "desktop file"
appstreamcli validate --no-net "$metainfo" || fail "metainfo"
# A version bump that forgets the release notes leaves stale metadata behind.
grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo lacks release $version"
zcat "$usr/share/doc/nerova2002/changelog.gz" | head -1 | grep -qF "($version)" ||
    fail "changelog does not start with $version"
# The menu entry must name the installed program and the installed icon.
exec_line="$(sed -n 's/^Exec=//p' "$desktop")"
[ -x "$usr/bin/${exec_line%% *}" ] || fail "Exec names no installed program: $exec_line"
[ "$(sed -n 's/^Icon=//p' "$desktop")" = "$id" ] || fail "Icon is not $id"
if command -v groff >/dev/null; then
    warnings="$(zcat "$usr/share/man/man1/nerova2002.1.gz" | groff -man -ww -z 2>&1)"
    [ -z "$warnings" ] || fail "man page: $warnings"
else
    echo "groff is missing: the man page is not checked"
fi

# Started as the menu starts it, from the home folder: the preferences file must appear in
# the configuration folder (created on the way) and not where it was started.
home="$scratch/home"
mkdir -p "$home"
cd "$home"
HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
    "$usr/bin/nerova2002" ${exec_line#* } >"$scratch/out.txt" 2>&1 &
pid=$!
prefs="$home/config/nerova2002/Nrva2002.ini"
for _ in $(seq 1 300); do
    [ -f "$prefs" ] && [ "$(stat -c %s "$prefs")" -eq 992 ] && break
    kill -0 "$pid" 2>/dev/null || { cat "$scratch/out.txt"; fail "the program ended early"; }
    sleep 0.1
done
[ -f "$prefs" ] || fail "no preferences file in the configuration folder"
[ ! -e "$home/Nrva2002.ini" ] || fail "preferences file written to the start folder"
