#!/bin/sh
# Makes the Debian package of the build and checks what it holds and that
# dpkg-shlibdeps filled in its dependencies.
# Usage: deb_package.sh BUILD_DIR PROGRAM...
# Exits 77 (skipped) when cpack, dpkg-deb or dpkg-shlibdeps is missing.
build="$1"
shift
for tool in cpack dpkg-deb dpkg-shlibdeps; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$tool is not installed (cpack comes with cmake, the dpkg tools with dpkg-dev)"
        exit 77
    fi
done

out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
fail() {
    echo "$*"
    exit 1
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 ||
    { cat "$out/cpack.log"; fail "cpack -G DEB failed"; }
deb="$(ls "$out"/*.deb 2>/dev/null)"
if [ -z "$deb" ] || [ "$(echo "$deb" | wc -l)" -ne 1 ]; then
    fail "expected one .deb, found: $deb"
fi
case "$(basename "$deb")" in
    brixel_0.54_*.deb) ;;
    *) fail "package file $(basename "$deb") is not brixel_0.54_<arch>.deb" ;;
esac

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = brixel ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = 0.54 ] || fail "Version is '$(field Version)'"
[ "$(field Section)" = graphics ] || fail "Section is '$(field Section)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
depends="$(field Depends)"
for library in libc6 libqt6widgets6 zlib1g; do
    echo "$depends" | grep -q "\\b$library\\b" || fail "Depends lacks $library: '$depends'"
done

dpkg-deb -c "$deb" | awk '{print $NF}' >"$out/files"
id=io.github.brixel.Brixel
for path in $(for p in "$@"; do echo "usr/bin/$p"; done) \
    usr/share/applications/$id.desktop \
    usr/share/metainfo/$id.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/$id.svg \
    usr/share/icons/hicolor/16x16/apps/$id.png \
    usr/share/icons/hicolor/256x256/apps/$id.png \
    usr/share/man/man1/brixel-cli.1 \
    usr/share/man/man1/brixel.1 \
    usr/share/doc/brixel/manual.md; do
    grep -qx "\./$path" "$out/files" || fail "the package lacks /$path"
done
echo "$(basename "$deb"): Depends: $depends"
