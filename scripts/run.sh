#!/usr/bin/env bash
# Builds the editor and starts it on the given image, or on a freshly made sample image.
# Only the two programs and the picture module are built here; scripts/test.sh builds the
# rest in the same folder, with the same settings, so it compiles nothing twice.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh run
scripts/configure.sh release
targets=(brivant-cli)
ninja -C build/release -t targets all 2>/dev/null | grep -q '^brivant:' && targets+=(brivant)
ninja -C build/release -t targets all 2>/dev/null | grep -q '^brivant_pictures:' &&
  targets+=(brivant_pictures)
cmake --build build/release -j "$(nproc 2>/dev/null || echo 2)" --target "${targets[@]}"
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
