#!/bin/sh
# The Debian package as a user gets it: built with CPack from this build tree
# (into a temporary folder), its control fields and files read back with
# dpkg-deb, unpacked into a temporary root with dpkg -x (no root needed), and
# the installed programs, desktop entry and manual pages tried from there.
# Usage: check-package.sh BUILD_DIR VERSION
set -eu
build=$1 version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" > "$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(ls "$work"/out/quillstone_"$version"_*.deb 2>/dev/null || true)
[ -f "$deb" ] || { ls "$work/out"; echo "FAIL: no quillstone_${version}_*.deb"; exit 1; }

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = quillstone ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)'"
depends=$(field Depends)
for lib in libqt6core6 libqt6widgets6 libqt6network6 libqt6printsupport6 libqcustomplot libtelnet libmosquitto1 libmicrohttpd12; do
    case "$depends" in *"$lib"*) ;; *) fail "Depends names no $lib: $depends" ;; esac
done
# A summary line, and a long description after it.
[ "$(field Description | wc -l)" -ge 3 ] || fail "no long description"

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./||' > "$work/files"
for f in usr/bin/quillstone usr/bin/kiss488-sim \
         usr/share/applications/quillstone.desktop \
         usr/share/icons/hicolor/scalable/apps/quillstone.svg \
         usr/share/man/man1/quillstone.1.gz usr/share/man/man1/kiss488-sim.1.gz \
         usr/share/doc/quillstone/README.md usr/share/doc/quillstone/copyright \
         usr/share/doc/quillstone/quillstone.service; do
    grep -qx "$f" "$work/files" || fail "the package holds no $f"
done

root=$work/root
dpkg -x "$deb" "$root"
# The installed programs run from where they were unpacked: nothing points
# back into the build tree.
if readelf -d "$root/usr/bin/quillstone" | grep -q 'R.*PATH'; then fail "quillstone keeps a run path"; fi
out=$("$root/usr/bin/quillstone" --version) || fail "quillstone --version failed"
[ "$out" = "quillstone $version" ] || fail "quillstone --version said '$out'"
"$root/usr/bin/kiss488-sim" --help | grep -q 'KISS-488' || fail "kiss488-sim --help says nothing of the adapter"

desktop=$root/usr/share/applications/quillstone.desktop
if ! desktop-file-validate "$desktop" > "$work/validate" 2>&1 || [ -s "$work/validate" ]; then
    cat "$work/validate"; fail "desktop-file-validate finds fault with quillstone.desktop"
fi
grep -qx 'Exec=quillstone --own-folder' "$desktop" || fail "the desktop entry does not start quillstone in its own folder"
grep -q '<svg' "$root/usr/share/icons/hicolor/scalable/apps/quillstone.svg" || fail "the icon is no SVG"

# Each page renders without a warning and names every option of its
# program's --help.
for name in quillstone kiss488-sim; do
    LC_ALL=C MANWIDTH=100 man --warnings -l "$root/usr/share/man/man1/$name.1.gz" \
        > "$work/$name.page" 2> "$work/$name.warnings" || fail "man -l $name.1.gz failed"
    [ ! -s "$work/$name.warnings" ] || { cat "$work/$name.warnings"; fail "$name.1 renders with warnings"; }
    grep -q '^NAME' "$work/$name.page" || fail "$name.1 renders no NAME section"
    "$root/usr/bin/$name" --help > "$work/$name.help"
    for option in $(grep -o -- '--[a-z-]*' "$work/$name.help" | sort -u); do
        grep -q -- "$option" "$work/$name.page" || fail "$name.1 does not name $option"
    done
done

[ "$failures" = 0 ] || exit 1
echo "package $(basename "$deb"): control, files, programs, desktop entry and manual pages checked"
