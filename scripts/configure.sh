#!/usr/bin/env bash
# Configures one of the project's two builds, the same way for every script that uses it, so
# that no script compiles what another has already compiled.
# Usage: scripts/configure.sh release|sanitize
#   release   build/release: gcc, optimised, warnings as errors (the programs, the tests,
#             the benchmarks)
#   sanitize  build/sanitize: clang with AddressSanitizer and UndefinedBehaviorSanitizer and
#             libFuzzer's coverage hooks: the tests run under the sanitizers and the fuzz
#             targets are linked from the same objects
set -euo pipefail
cd "$(dirname "$0")/.."
options=()
if command -v ccache >/dev/null 2>&1; then
  # Paths inside the checkout are hashed relative to it, so that a clone in another folder
  # (a CI clone) finds what this one compiled; and files compiled with gcc's precompiled
  # headers are cached too, which ccache does only when told it may.
  launcher="env;CCACHE_BASEDIR=$PWD;CCACHE_SLOPPINESS=pch_defines,time_macros;ccache"
  options=("-DCMAKE_CXX_COMPILER_LAUNCHER=$launcher")
fi
case "${1:-}" in
  release)
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRIVANT_WERROR=ON \
          -DBRIVANT_UNITY=ON "${options[@]}" >/dev/null
    ;;
  sanitize)
    # lld links the many sanitizer programs (tests, fuzz targets) several times faster.
    if command -v ld.lld >/dev/null 2>&1; then
      options+=(-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld -DCMAKE_SHARED_LINKER_FLAGS=-fuse-ld=lld
                 -DCMAKE_MODULE_LINKER_FLAGS=-fuse-ld=lld)
    fi
    CXX=clang++ cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug \
          -DBRIVANT_WERROR=ON -DBRIVANT_SANITIZE=ON -DBRIVANT_FUZZ=ON -DBRIVANT_BENCH=OFF \
          -DBRIVANT_UNITY=ON "${options[@]}" >/dev/null
    ;;
  *)
    echo "usage: scripts/configure.sh release|sanitize" >&2
    exit 2
    ;;
esac
