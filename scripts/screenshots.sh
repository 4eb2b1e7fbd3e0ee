#!/bin/sh
# SPDX-License-Identifier: MIT
# Takes the README's two screenshots from the real program under a virtual display:
# the main window after a finished search over a full roster (result lines with two-digit
# rows) with the best team selected and marked on the roster, and the help window.
#   scripts/screenshots.sh            (after `make run` or `make test` has built build/)
set -eu
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}
OUT=${OUT:-docs}
SUDO=$([ "$(id -u)" = 0 ] || echo sudo)

missing=""
for p in xvfb xdotool imagemagick fonts-dejavu-core fonts-dejavu-extra; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
[ -z "$missing" ] || { $SUDO apt-get update -q && $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q $missing; }
[ -x "$BUILD/bin/korvane" ] || { echo "Build first: make test (or make run)."; exit 1; }

# The program runs from a folder of its own, so the user's roster is never touched.
work=$(mktemp -d)
cp "$BUILD/bin/korvane" data/help.rtf "$work/"
cp "${ROSTER:-bench/rosters/full.txt}" "$work/players.txt"
display=${XVFB_DISPLAY:-:97}   # another free display number when :97 is taken
Xvfb $display -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $korvane $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT INT TERM
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.2; done
export DISPLAY=$display XDG_RUNTIME_DIR="$work"
"$work/korvane" &
korvane=$!

wait_for() { # a window by its exact title
    for _ in $(seq 50); do
        id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1) && [ -n "$id" ] && { echo "$id"; return; }
        sleep 0.2
    done
    echo "no window \"$1\" appeared" >&2
    exit 1
}

main=$(wait_for Korvane)
sleep 1
xdotool mousemove --window "$main" 28 95 click 1     # untick Centres row 2: rows 1-2 held, blue
sleep 0.5
xdotool mousemove --window "$main" 28 257 click 1    # tick Centres down to row 12
sleep 0.5
xdotool mousemove --window "$main" 268 289 click 1   # tick Wingers down to row 14
sleep 0.5
xdotool mousemove --window "$main" 546 141 click 1   # Find Best Team
sleep 2
xdotool mousemove --window "$main" 560 166 click 1   # the first result line, then End and up past
sleep 0.5                                            # the two closing counts: the best team, marked
xdotool key End Up Up                                # on the roster
sleep 0.5
mkdir -p "$OUT"
import -window "$main" "$OUT/main-window.png"
xdotool mousemove --window "$main" 652 633 click 1   # Help
help=$(wait_for Help)
sleep 1
import -window "$help" "$OUT/help-window.png"
echo "Wrote $OUT/main-window.png and $OUT/help-window.png"
