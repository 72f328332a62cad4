#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when they are missing. The icons are rendered
# with rsvg-convert; the Debian package is built with dpkg-shlibdeps and file (`make package`) and its menu
# entry, AppStream data and manual pages are checked with desktop-file-validate, appstreamcli and groff.
set -euo pipefail
pkgs=(cmake ninja-build g++ pkg-config make
      qt6-base-dev libgl-dev
      libgtest-dev libgmock-dev libbenchmark-dev
      libsodium-dev libgpiod-dev libdds-dev
      fonts-liberation2 fonts-dejavu-core poppler-utils
      librsvg2-bin dpkg-dev file desktop-file-utils appstream groff-base)
# The fuzz targets (make fuzz) also need clang and its sanitizer runtimes.
if [ "${1:-}" = "--fuzz" ]; then pkgs+=(clang libclang-rt-dev); fi
missing=()
for p in "${pkgs[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
