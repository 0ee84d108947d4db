#!/usr/bin/env bash
# Builds and runs every test: a release build with warnings as errors, the command line
# built as WebAssembly and tested under Node against it (scripts/wasm.sh), the editor as a web
# page tested in chromium (scripts/web.sh), then one clang build
# under AddressSanitizer and UndefinedBehaviorSanitizer that runs the same tests and links the
# fuzz targets, then a short run of every fuzz target (FUZZ_SECONDS each, default 5). GUI
# tests run offscreen. At the end, how long each stage took.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=offscreen

timings=()
started=$SECONDS
report() {
  local status=$?
  echo
  echo "Stage timings:"
  printf '  %s\n' "${timings[@]}"
  printf '  %-30s %6d s\n' "total" $((SECONDS - started))
  [ "$status" -eq 0 ] || echo "FAILED (exit status $status)"
}
trap report EXIT
# stage NAME COMMAND...: runs the command and keeps how long it took.
stage() {
  local name=$1 t0=$SECONDS
  shift
  echo "== $name" >&2
  "$@"
  timings+=("$(printf '%-30s %6d s' "$name" $((SECONDS - t0)))")
}

stage "packages" scripts/install-deps.sh build

stage "configure release" scripts/configure.sh release
stage "build release" cmake --build build/release -j "$jobs"
stage "test release" ctest --test-dir build/release --output-on-failure -j "$jobs"

# The command line as WebAssembly under Node: built with emscripten, checked by the release
# build's own test program against the native one. Where the packages cannot be installed
# (not root), the stage is left out and says so.
wasm_packages() {
  scripts/install-deps.sh wasm || echo "WebAssembly packages missing: the wasm stage is left out" >&2
}
stage "packages wasm" wasm_packages
if command -v emcc >/dev/null && command -v node >/dev/null && command -v npm >/dev/null; then
  stage "wasm build + test" env JOBS="$jobs" scripts/wasm.sh build/release
else
  echo "== wasm build + test: left out (emcc, node or npm missing)" >&2
fi

# The editor as a web page over the same WebAssembly build, tested in the system's chromium
# against the native program. Left out, and said so, where chromium cannot be installed.
web_packages() {
  scripts/install-deps.sh web || echo "Browser packages missing: the web stage is left out" >&2
}
stage "packages web" web_packages
if command -v emcc >/dev/null && command -v npm >/dev/null && command -v chromium >/dev/null; then
  stage "web build + test" env JOBS="$jobs" scripts/web.sh build/release
else
  echo "== web build + test: left out (emcc, npm or chromium missing)" >&2
fi

stage "configure sanitize" scripts/configure.sh sanitize
stage "build sanitize + fuzz" cmake --build build/sanitize -j "$jobs"
sanitize_tests() {
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build/sanitize --output-on-failure -j "$jobs"
}
stage "test sanitize" sanitize_tests

# The fuzz targets for a few seconds each from the sample seeds: a crash, hang or sanitizer
# report fails the run. scripts/fuzz.sh alone runs them for longer.
stage "fuzz runs" scripts/fuzz.sh "${FUZZ_SECONDS:-5}"
