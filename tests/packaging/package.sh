#!/usr/bin/env bash
# The Debian package as a user gets it: built with cpack from this build folder (nothing is compiled
# again), its contents and control data, its maintainer scripts where udev does not run, and the programs,
# menu entry, AppStream data, icons and manual pages unpacked from it.
set -u
build="$1"
cpack="$2"
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail=0
check() { # description, condition result
    if [ "$2" -ne 0 ]; then echo "FAIL: $1"; fail=1; else echo "ok: $1"; fi
}

# The package is made from what is built already: on this Ninja build cpack runs no build step of its
# own, which the programs' unchanged times show.
before=$(stat -c '%n %Y' "$build"/bin/orvenix*)
(cd "$build" && "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out") > "$work/cpack.log" 2>&1
check "cpack builds the package" $?
[ "$(stat -c '%n %Y' "$build"/bin/orvenix*)" = "$before" ]; check "cpack built nothing again" $?
debs=("$work"/out/orvenix-desk_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "FAIL: no package file orvenix-desk_*.deb"
    cat "$work/cpack.log"
    exit 1
fi
deb="${debs[0]}"
version=$(dpkg-deb -f "$deb" Version)
arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "orvenix-desk_${version}_${arch}.deb" ]; check "file name orvenix-desk_${version}_${arch}.deb" $?
grep -q "^CMAKE_PROJECT_VERSION:[A-Z]*=${version}$" "$build/CMakeCache.txt"; check "version $version is the project's" $?

# ---- Control data ----
[ "$(dpkg-deb -f "$deb" Package)" = orvenix-desk ]; check "package name" $?
[ "$(dpkg-deb -f "$deb" Architecture)" = "$arch" ]; check "architecture" $?
depends=$(dpkg-deb -f "$deb" Depends)
for dep in fonts-liberation2 fonts-dejavu-core libc6 libqt6widgets6; do
    echo "$depends" | grep -q "\b$dep\b"; check "depends on $dep" $?
done
dpkg-deb -f "$deb" Description | sed -n 2p | grep -q .; check "extended description" $?

# ---- Contents ----
dpkg-deb -c "$deb" | awk '{print $1, $2, $6}' > "$work/contents"
check "contents listed" $?
has() { grep -q " \./usr/$1$" "$work/contents"; }
for f in bin/orvenix bin/orvenix-cli bin/orvenix-machine-emulator \
    share/applications/org.orvenix.Desk.desktop share/metainfo/org.orvenix.Desk.metainfo.xml \
    share/icons/hicolor/scalable/apps/org.orvenix.Desk.svg \
    share/man/man1/orvenix.1.gz share/man/man1/orvenix-cli.1.gz share/man/man1/orvenix-machine-emulator.1.gz \
    share/bash-completion/completions/orvenix-cli lib/udev/rules.d/70-orvenix-machine.rules \
    share/doc/orvenix/README.md share/doc/orvenix-desk/copyright share/doc/orvenix-desk/changelog.gz; do
    has "$f"; check "contains /usr/$f" $?
done
for size in 16 22 24 32 48 64 128 256; do
    has "share/icons/hicolor/${size}x${size}/apps/org.orvenix.Desk.png"; check "contains the ${size}x${size} icon" $?
done
! grep -v ' \./usr/' "$work/contents" | grep -qv ' \./$'; check "everything is under /usr" $?
[ "$(grep -c ' \./usr/bin/.' "$work/contents")" -eq 3 ]; check "the three programs and nothing else in /usr/bin" $?
! grep -q 'test_\|bench_\|\.a$\|/include/' "$work/contents"; check "no tests, benchmarks, libraries or headers" $?
! grep -v ' root/root ' "$work/contents" | grep -q .; check "every file belongs to root" $?
! grep -q '^.....w\|^........w' "$work/contents"; check "no file is writable by others than its owner" $?

# ---- Maintainer scripts, where udev does not run or fails ----
dpkg-deb -e "$deb" "$work/control"
for script in postinst postrm; do
    [ -x "$work/control/$script" ] && sh -n "$work/control/$script"; check "$script is an executable shell script" $?
done
mkdir -p "$work/no-udev" "$work/failing-udev"
printf '#!/bin/sh\necho "$@" >> "%s/udevadm.log"\nexit 1\n' "$work" > "$work/failing-udev/udevadm"
chmod +x "$work/failing-udev/udevadm"
for path in "$work/no-udev" "$work/failing-udev:/usr/bin:/bin"; do
    PATH="$path" /bin/sh "$work/control/postinst" configure; check "postinst configure with PATH=$path" $?
    for action in remove purge upgrade; do
        PATH="$path" /bin/sh "$work/control/postrm" $action; check "postrm $action with PATH=$path" $?
    done
done

# ---- The unpacked programs ----
root="$work/root"
dpkg-deb -x "$deb" "$root"; check "unpacked with dpkg-deb -x" $?
[ "$("$root/usr/bin/orvenix-cli" --version)" = "orvenix-cli $version" ]; check "unpacked orvenix-cli --version" $?
[ "$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/orvenix" --version)" = "orvenix $version" ]
check "unpacked orvenix --version" $?
"$root/usr/bin/orvenix-machine-emulator" --help | grep -q '^usage: orvenix-machine-emulator'
check "unpacked orvenix-machine-emulator --help" $?
! file -L "$root"/usr/bin/* | grep -q 'not stripped'; check "the programs are stripped" $?

# ---- Menu entry, AppStream data, icons ----
desktop="$root/usr/share/applications/org.orvenix.Desk.desktop"
desktop-file-validate "$desktop"; check "desktop-file-validate" $?
exec_line=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$root/usr/bin/$exec_line" ]; check "the menu entry starts a program of the package ($exec_line)" $?
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ]; check "the menu entry's icon $icon is installed" $?
for size in 16 48 256; do
    file "$root/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png" | grep -q "PNG image data, $size x $size,"
    check "the ${size}x${size} icon is a PNG of that size" $?
done
metainfo="$root/usr/share/metainfo/org.orvenix.Desk.metainfo.xml"
appstreamcli validate --no-net "$metainfo" > "$work/appstream.log" 2>&1
check "appstreamcli validate --no-net" $?
grep -q "<release version=\"$version\" date=\"[0-9-]*\"" "$metainfo"; check "AppStream release $version" $?
grep -q "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "$metainfo"
check "AppStream launchable is the menu entry" $?

# ---- Manual pages, changelog, udev rule ----
for page in orvenix orvenix-cli orvenix-machine-emulator; do
    gz="$root/usr/share/man/man1/$page.1.gz"
    zcat "$gz" > "$work/$page.1" && grep -q "^\.TH .* \"Orvenix Desk $version\"" "$work/$page.1"
    check "$page(1) carries version $version" $?
    [ -z "$(groff -man -Tutf8 -ww -z "$work/$page.1" 2>&1)" ]; check "$page(1) formats without warnings" $?
done
zcat "$root/usr/share/doc/orvenix-desk/changelog.gz" | head -n 1 | grep -q "^orvenix-desk ($version) "
check "changelog's entry for $version" $?
cmp -s "$root/usr/lib/udev/rules.d/70-orvenix-machine.rules" "$source_dir/packaging/70-orvenix-machine.rules"
check "the udev rule is the one in packaging/" $?

[ $fail -eq 0 ] && echo "package: all checks passed"
exit $fail
