#!/usr/bin/env bash
# Builds and runs every test: a release build with warnings as errors, then the same tests
# under AddressSanitizer and UndefinedBehaviorSanitizer, then a short run of every fuzz
# target (FUZZ_SECONDS each, default 5). GUI tests run offscreen.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build
jobs=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRIVANT_WERROR=ON >/dev/null
cmake --build build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure -j "$jobs"

cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBRIVANT_WERROR=ON \
      -DBRIVANT_SANITIZE=ON -DBRIVANT_BENCH=OFF >/dev/null
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/asan --output-on-failure -j "$jobs"

# The fuzz targets (clang, libFuzzer) for a few seconds each from the sample seeds: a crash,
# hang or sanitizer report fails the run. scripts/fuzz.sh alone runs them for longer.
scripts/fuzz.sh "${FUZZ_SECONDS:-5}"
