#!/usr/bin/env bash
# Takes the pictures in docs/: each program in a real window under Xvfb, a demo capture
# opened through "File" > "Open KISS File" and a chart chosen, as a user would.
# The History window over an archive of 60 days of passes (the demo's beacons as a station hears
# them: four passes of ten minutes a day), whole and zoomed into one pass with the keyboard.
# The Passes window over the same passes heard by three stations. A limits file's colours,
# and the Health window. The orbit's context from element sets.
# Needs Debian's xvfb, xdotool, imagemagick and python3. Usage: tools/docs-screenshots.sh [BUILD_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
work=$(mktemp -d)
capture="$work/2021-02-06_orca5.kss"
"$build/tools/orca5_demo_capture" "$capture" 300

Xvfb :57 -screen 0 1280x900x24 >/dev/null 2>&1 &
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

# orca5s in a folder of its own with a conf.ini of one line; its process id in $program.
start_in() {
    mkdir -p "$work/$1"
    cp "$build/orca5s" "$work/$1/"
    printf '%s\r\n' "$2" >"$work/$1/conf.ini"
    "$work/$1/orca5s" >/dev/null 2>&1 &
    program=$!
    sleep 2
}

mkdir -p docs
shoot orca5s 489 166 "" 740x566+0+0        # Battery 1 Volt, at the window's start size
shoot orca5 257 182 shift 713x778+0+0      # Battery 1..3 Curr side by side, the whole window

# The passes as a SatNOGS export, one beacon a minute; a pass at the mission's middle, and one
# beacon with Battery 1 Volt at 4.6 V.
"$build/tools/orca5_demo_capture" "$work/days.kss" $((60 * 24 * 60))
python3 - "$work/days.kss" "$work/passes.csv" <<'PYTHON'
import sys
data = open(sys.argv[1], "rb").read()
frames = [f[1:].replace(b"\xdb\xdc", b"\xc0").replace(b"\xdb\xdd", b"\xdb") for f in data.split(b"\xc0") if f]
heard, time = [], ""
for f in frames:
    if f.endswith(b"UTC"): time = f.decode()[:19]
    elif len(f) == 216: heard.append((time, f))
in_pass = lambda minute: any(start <= minute % 1440 < start + 10 for start in ((minute // 1440 * 37 + k * 357) % 1430 for k in range(4)))
spike = 17 * 1440 + 601
kept = [minute for minute in range(len(heard)) if in_pass(minute) or minute == spike]
middle = (kept[0] + kept[-1]) // 2  # where the window's whole mission has its middle
kept = sorted(set(kept) | set(range(middle - 5, middle + 6)))
with open(sys.argv[2], "w") as out:
    for minute in kept:
        time, beacon = heard[minute]
        if minute == spike: beacon = beacon[:85] + (4600).to_bytes(2, "big") + beacon[87:]
        out.write(time + "|" + beacon.hex().upper() + "\r\n")
PYTHON
"$build/orca5-decode" --archive "$work/mission.sqlite" "$work/passes.csv" >/dev/null
start_in program "ARCHIVE = $work/mission.sqlite"
xdotool mousemove 489 166 click 1 && sleep 0.5                # Battery 1 Volt
xdotool mousemove 117 8 click 1 && sleep 0.5                  # "Archive"
xdotool mousemove 140 48 click 1 && sleep 2                   # "History"
history=$(xdotool search --name '^History$' | head -1)
xdotool windowmove "$history" 0 0 windowraise "$history" && sleep 1
xdotool mousemove 373 200 && sleep 0.5                       # the readout under the pointer
import -window "$history" docs/history-mission.png
xdotool click 1 && sleep 0.3                                 # the chart takes the keys
for _ in $(seq 12); do xdotool key plus; sleep 0.2; done    # into the pass at the middle
sleep 1
xdotool mousemove 592 236 && sleep 0.5
import -window "$history" docs/history-pass.png
kill "$program"

# Archive > Passes: the same passes heard by three stations, DL1ABC two seconds later and
# missing every third beacon, G4XYZ a second earlier in the afternoons only.
python3 - "$work/passes.csv" "$work" <<'PYTHON'
import datetime, sys
lines = open(sys.argv[1]).read().splitlines()
def shifted(line, seconds):
    time = datetime.datetime.strptime(line[:19], "%Y-%m-%d %H:%M:%S") + datetime.timedelta(seconds=seconds)
    return time.strftime("%Y-%m-%d %H:%M:%S") + line[19:] + "\r\n"
with open(sys.argv[2] + "/dl1abc.csv", "w", newline="") as out:
    out.writelines(shifted(line, 2) for k, line in enumerate(lines) if k % 3)
with open(sys.argv[2] + "/g4xyz.csv", "w", newline="") as out:
    out.writelines(shifted(line, -1) for line in lines if 12 <= int(line[11:13]) < 18)
PYTHON
for heard in "N0CALL passes" "DL1ABC dl1abc" "G4XYZ g4xyz"; do
    set -- $heard
    "$build/orca5-decode" --archive "$work/network.sqlite" --station "$1" "$work/$2.csv" >/dev/null 2>&1
done
start_in network "ARCHIVE = $work/network.sqlite"
xdotool mousemove 117 8 click 1 && sleep 0.5                  # "Archive"
xdotool mousemove 140 68 click 1 && sleep 2                   # "Passes"
passes=$(xdotool search --name '^Passes$' | head -1)
xdotool windowmove "$passes" 0 0 windowraise "$passes" && sleep 1
import -window "$passes" docs/passes.png
kill "$program"

# Limits: the demo capture against a limits file, a packet with values out of limits shown, and
# View > Health beside it.
mkdir "$work/limited"
cat >"$work/limited/limits.txt" <<'LIMITS'
LIMIT "Battery 1 Volt" 3.7 3.9 4.1 4.2
LIMIT "Z+ Temperature" -15 -10 30 40
LIMIT "X+ Temperature" -30 -20 40 50
LIMIT "UHF Temperature" 0 5 25 35
LIMIT "Urbv" 7.5 8.0 8.5 9.0 PERSIST 2
STALE 360
LIMITS
start_in limited "LIMITS = limits.txt"
xdotool mousemove 15 8 click 1 && sleep 0.5                  # "File"
xdotool mousemove 60 28 click 1 && sleep 1                   # "Open KISS File"
xdotool type --delay 5 "$capture" && xdotool key Return && sleep 2
xdotool mousemove 489 166 click 1 && sleep 1                  # Battery 1 Volt
import -window root -crop 900x520+0+0 docs/limits.png
xdotool key alt+v && sleep 0.5 && xdotool key h && sleep 1.5       # View > Health
health=$(xdotool search --name '^Health$' | head -1)
xdotool windowmove "$health" 0 0 windowraise "$health" && sleep 1
import -window "$health" docs/health.png
kill "$program"
# Orbit context: the demo capture against element sets of its day and of today, the eclipses
# shaded behind Battery 1 Volt, the packet's place and the next pass in the menu bar's corner.
mkdir "$work/orbit"
python3 - "$work/orbit/orbit.tle" <<'PYTHON'
import datetime, sys
def checked(line): return line + str(sum(int(c) if c.isdigit() else c == "-" for c in line) % 10)
now = datetime.datetime.now(datetime.timezone.utc)
today = "%02d%012.8f" % (now.year % 100, now.timetuple().tm_yday + (now.hour * 60 + now.minute) / 1440)
lines = ["ORCA-5"]
for epoch in ("21037.58333333", today):
    lines.append(checked("1 99999U 21999A   %s  .00001000  00000-0  50000-4 0  999" % epoch))
    lines.append(checked("2 99999  97.5000 120.0000 0010000  90.0000 270.0000 15.2000000000010"))
open(sys.argv[1], "w").write("\n".join(lines) + "\n")
PYTHON
printf 'TLE = orbit.tle\r\nLATITUDE = 48.1\r\nLONGITUDE = 11.6\r\nALTITUDE = 520\r\n' >"$work/orbit/conf.ini"
cp "$build/orca5s" "$work/orbit/"
"$work/orbit/orca5s" >/dev/null 2>&1 &
program=$!
sleep 2
xdotool mousemove 15 8 click 1 && sleep 0.5                  # "File"
xdotool mousemove 60 28 click 1 && sleep 1                   # "Open KISS File"
xdotool type --delay 5 "$capture" && xdotool key Return && sleep 2
xdotool search --pid "$program" | while read -r window; do xdotool windowsize "$window" 760 830; done
sleep 1
xdotool mousemove 489 166 click 1 && sleep 1                  # Battery 1 Volt
xdotool mousemove 662 714 click 1 && sleep 1                  # "B" off: a line, the bands behind it
import -window root -crop 760x775+0+0 docs/orbit.png
kill "$program"
echo "docs/orca5s.png, docs/orca5.png, docs/history-mission.png, docs/history-pass.png, docs/passes.png, docs/limits.png, docs/health.png and docs/orbit.png written"
