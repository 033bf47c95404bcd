#!/usr/bin/env bash
# orca5-decode filling an SQLite archive beside a plain Python program inserting the same rows,
# already decoded, into the same tables (bench/plain_archive.py): a capture of 480,000 telemetry
# frames of random bytes, a second apart. Prints the median of three runs of each in packets a
# second: orca5-decode into a fresh archive and into the same archive again (every frame heard
# before), Python into a fresh file, and how the fresh figures compare.
# Usage: bench/archive_with_python.sh [BUILD_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
decoder=$(realpath "${1:-build}")/orca5-decode
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
frames=480000
python3 bench/plain_decoder.py capture "$work/varied.kss" $frames

median() { sort -g | sed -n 2p; }
seconds() { local start=$(date +%s%N); "$@" > /dev/null; echo $(( $(date +%s%N) - start )); }
fresh=$(for _ in 1 2 3; do rm -f "$work"/mission.sqlite*; seconds "$decoder" --quiet --archive "$work/mission.sqlite" "$work/varied.kss"; done | median)
again=$(for _ in 1 2 3; do seconds "$decoder" --quiet --archive "$work/mission.sqlite" "$work/varied.kss"; done | median)
python=$(for _ in 1 2 3; do rm -f "$work"/plain.sqlite*; python3 bench/plain_archive.py "$work/varied.kss" "$work/plain.sqlite"; done | median)
python3 -c "p, fresh, again, py = $frames, $fresh / 1e9, $again / 1e9, $python / 1e9
print(f'orca5-decode fresh {p / fresh:,.0f} packets/s, again {p / again:,.0f}; Python insert {p / py:,.0f}; fresh {py / fresh:.2f} times Python')"
