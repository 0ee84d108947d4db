#!/usr/bin/env bash
# Builds the editor and starts it on the given image, or on a freshly made sample image.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh run
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc 2>/dev/null || echo 2)"
image="${1:-}"
if [ -z "$image" ]; then
  image="build/sample.fls"
  build/release/brivant-cli demo "$image" --type 3310
fi
if [ -x build/release/brivant ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec build/release/brivant "$image"
fi
if [ -x build/release/brivant ]; then
  echo "No display available: showing the image with brivant-cli instead of the window." >&2
fi
exec build/release/brivant-cli info "$image"
