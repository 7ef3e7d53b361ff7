#!/bin/sh
# Installs the build into a fresh prefix and checks the installed tree as a
# desktop would use it: the programs start, the desktop file and the
# metainfo pass their validators and name each other, the icon it names is
# there in every size, the manual pages format cleanly and the user's manual
# is there.
# Usage: desktop_install.sh BUILD_DIR PROGRAM...
# Exits 77 (skipped) when desktop-file-validate or appstreamcli is missing.
build="$1"
shift
for tool in desktop-file-validate appstreamcli; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$tool is not installed (scripts/install-deps installs it)"
        exit 77
    fi
done

prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
fail() {
    echo "$*"
    exit 1
}

cmake --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1 || { cat "$prefix.log"; rm -f "$prefix.log"; fail "cmake --install failed"; }
rm -f "$prefix.log"

id=io.github.brixel.Brixel
share="$prefix/share"
for program in "$@"; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program is not installed"
    version="$(QT_QPA_PLATFORM=offscreen "$prefix/bin/$program" --version)"
    [ "$version" = "Brixel 0.54" ] || fail "installed $program --version printed '$version'"
done

desktop="$share/applications/$id.desktop"
[ -f "$desktop" ] || fail "share/applications/$id.desktop is not installed"
desktop-file-validate "$desktop" || fail "desktop-file-validate refused $desktop"
# The entry starts the installed program with the file, and its icon is ours.
grep -qx 'Exec=brixel %f' "$desktop" || fail "Exec is not 'brixel %f'"
[ -x "$prefix/bin/brixel" ] || fail "Exec names brixel, which is not installed"
grep -qx "Icon=$id" "$desktop" || fail "Icon is not $id"
grep -q '^MimeType=.*application/x-gameboy-rom;' "$desktop" || fail "no Game Boy ROM type in MimeType"

metainfo="$share/metainfo/$id.metainfo.xml"
[ -f "$metainfo" ] || fail "share/metainfo/$id.metainfo.xml is not installed"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli refused $metainfo"
grep -q "<id>$id</id>" "$metainfo" || fail "the metainfo id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo does not launch $id.desktop"

[ -f "$share/icons/hicolor/scalable/apps/$id.svg" ] || fail "no scalable icon"
for size in 16 32 48 64 128 256; do
    icon="$share/icons/hicolor/${size}x${size}/apps/$id.png"
    [ -f "$icon" ] || fail "no ${size}x${size} icon"
    # A size folder must hold a picture of that size.
    if command -v file >/dev/null 2>&1; then
        file "$icon" | grep -q "PNG image data, $size x $size," || fail "$icon: $(file -b "$icon")"
    fi
done

for name in brixel-cli brixel; do
    page="$share/man/man1/$name.1"
    [ -f "$page" ] || fail "share/man/man1/$name.1 is not installed"
    if command -v groff >/dev/null 2>&1; then
        warnings="$(groff -man -Tutf8 -ww -z "$page" 2>&1)"
        [ -z "$warnings" ] || fail "groff warns about the manual page $name.1: $warnings"
    fi
done
# Help > User's manual finds the installed copy beside the program's prefix.
[ -s "$share/doc/brixel/manual.md" ] || fail "share/doc/brixel/manual.md is not installed"
echo "installed tree checked in $prefix"
