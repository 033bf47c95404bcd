#!/usr/bin/env bash
# orca5-decode beside the plain Python decoder (bench/plain_decoder.py) on the same inputs of
# random values: a capture of 480,000 telemetry frames and a SatNOGS export of 200,000 lines.
# Prints the median of three runs of each, in packets a second, and how many times faster
# orca5-decode is (it writes CSV, to /dev/null; Python only decodes). Usage: bench/compare_with_python.sh [BUILD_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
decoder=$(realpath "${1:-build}")/orca5-decode
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 bench/plain_decoder.py capture "$work/varied.kss" 480000
python3 bench/plain_decoder.py export "$work/varied.csv" 200000

median() { sort -g | sed -n 2p; }
for input in varied.kss varied.csv; do
    packets=$(python3 bench/plain_decoder.py decode "$work/$input" | cut -d' ' -f1)
    python=$(for _ in 1 2 3; do python3 bench/plain_decoder.py decode "$work/$input" | cut -d' ' -f2; done | median)
    ours=$(for _ in 1 2 3; do
        start=$(date +%s%N)
        "$decoder" --quiet "$work/$input" > /dev/null
        echo $(( $(date +%s%N) - start ))
    done | median)
    python3 -c "p, py, ns = $packets, $python, $ours / 1e9
print(f'$input: {p} packets; orca5-decode {p / ns:,.0f} packets/s, Python {p / py:,.0f} packets/s, {py / ns:.1f} times')"
done
