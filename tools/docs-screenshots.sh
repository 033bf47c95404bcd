#!/usr/bin/env bash
# Takes the pictures in docs/: each program in a real window under Xvfb, a demo capture
# opened through "File" > "Open KISS File" and a chart chosen, as a user would.
# Needs Debian's xvfb, xdotool and imagemagick. Usage: tools/docs-screenshots.sh [BUILD_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
work=$(mktemp -d)
capture="$work/2021-02-06_orca5.kss"
"$build/tools/orca5_demo_capture" "$capture" 300

Xvfb :57 -screen 0 1024x900x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
export DISPLAY=:57
sleep 1

# program, the selector to click (x y), keys held, the part of the screen to keep
shoot() {
    local program=$1 x=$2 y=$3 keys=$4 crop=$5
    "$build/$program" >/dev/null 2>&1 &
    local pid=$!
    sleep 2
    xdotool mousemove 15 8 click 1 && sleep 0.5          # "File"
    xdotool mousemove 60 28 click 1 && sleep 1           # "Open KISS File"
    xdotool type --delay 5 "$capture" && xdotool key Return && sleep 2
    if [[ -n "$keys" ]]; then xdotool keydown "$keys"; fi
    xdotool mousemove "$x" "$y" click 1
    if [[ -n "$keys" ]]; then xdotool keyup "$keys"; fi
    sleep 1
    import -window root -crop "$crop" "docs/$program.png"
    kill "$pid"
}

mkdir -p docs
shoot orca5s 489 166 "" 740x566+0+0        # Battery 1 Volt, at the window's start size
shoot orca5 257 182 shift 713x778+0+0      # Battery 1..3 Curr side by side, the whole window
echo "docs/orca5s.png and docs/orca5.png written"
