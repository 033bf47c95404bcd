#!/usr/bin/env bash
# Installs the Debian packages that are missing, builds, and starts orca5s.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)"
exec build/orca5s
