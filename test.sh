#!/usr/bin/env bash
# Installs the Debian packages that are missing, builds, and runs every test: first in the
# Release build, then again built with AddressSanitizer and UndefinedBehaviorSanitizer; and the
# tests of the threaded code (the archive's feed and writers, the row writer, the batch
# decoder) built with ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== Release build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"
tools/check-install.sh build

echo "== AddressSanitizer and UndefinedBehaviorSanitizer build"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DORCA5_SANITIZE=ON -DORCA5_BENCHMARKS=OFF
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

echo "== ThreadSanitizer build of the threaded code's tests"
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DORCA5_THREAD_SANITIZE=ON -DORCA5_BENCHMARKS=OFF
cmake --build build-tsan -j "$jobs" --target orca5_tests
# Each in a process of its own: after a test has run Qt's network or process code, which is
# not instrumented, ThreadSanitizer reports the batch decoder's queue, which its mutex
# guards, as a race.
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
build-tsan/tests/orca5_tests --gtest_filter='BatchDecoder.*'
build-tsan/tests/orca5_tests --gtest_filter='MissionArchive.*:SharedArchive.*:ActivityWatch.*'
