#!/bin/sh
# Takes the screenshots of docs/images/ from a build: the main window with a set loaded, the dealing
# window with the emulated machine's panel beside it, and a hand-record page. The program runs on a
# virtual display (Debian's xvfb), driven by key presses (xdotool); ImageMagick's `import` takes the
# pictures and poppler's pdftoppm renders the page.
#
#   scripts/screenshots.sh [BUILD_DIR]        (default: build)
#
# Needs: xvfb xdotool imagemagick poppler-utils.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
out=$root/docs/images
display=:${ORVENIX_SCREENSHOT_DISPLAY:-97}
work=$(mktemp -d)
pids=""

cleanup() {
    for pid in $pids; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

for tool in Xvfb xdotool import pdftoppm; do
    command -v "$tool" >/dev/null || { echo "screenshots.sh: $tool is missing" >&2; exit 1; }
done
mkdir -p "$out"

# A set of 16 boards to show, and its first page of hand records.
"$build/bin/orvenix-cli" generate --first 1 --last 16 "$work/club.pbn" >/dev/null
"$build/bin/orvenix-cli" print "$work/club.pbn" "$work/records.pdf" --from 1 --to 8 --event "Club Pairs" >/dev/null
pdftoppm -png -r 60 -f 1 -l 1 -singlefile "$work/records.pdf" "$out/hand-records"

Xvfb "$display" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
pids="$pids $!"
export DISPLAY="$display"
sleep 1

# Settings and logs of this run stay in the temporary folder.
export XDG_CONFIG_HOME="$work/config"
cd "$work"
"$build/bin/orvenix" --machine emulated --history "$work/history.dat" --seed 42 >/dev/null 2>&1 &
pids="$pids $!"
sleep 3

# Without a window manager the keyboard goes to the window given focus here.
focus() {
    xdotool search --sync --onlyvisible --name "$1" | tail -n 1 | xargs -I{} xdotool windowfocus --sync {}
}
key() {
    xdotool key --delay 100 "$@"
    sleep 1
}
window_shot() { # window title, file name
    id=$(xdotool search --sync --onlyvisible --name "$1" | head -n 1)
    import -window "$id" "$out/$2"
}

# File > Load, the file's path typed into the file dialog.
focus "^Orvenix"
key alt+f l
sleep 1
focus "Open Board Set"
xdotool type --delay 20 "$work/club.pbn"
key Return
sleep 2
window_shot "^Orvenix" main-window.png

# Deal: the dealing window and the panel beside it; the whole screen shows both.
focus "^Orvenix"
key alt+d
sleep 3
import -window root "$out/dealing-window.png"
key Escape
