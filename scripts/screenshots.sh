#!/usr/bin/env bash
# Makes the README's pictures of the window: a sample image from the sample builder, the
# window started under Xvfb on each tab, one small PNG per tab in docs/screenshots/.
# Usage: scripts/screenshots.sh [BUILD_DIR]   (without one: a release build in build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
out=docs/screenshots
tabs=(tones graphics menu languages operators)

# Always a fresh virtual display, so that the pictures do not take on the theme, fonts or
# scaling of whatever desktop the script happens to be run from.
if [ -z "${BRIVANT_SCREENSHOTS_XVFB:-}" ]; then
  build=${1:-}
  if [ -z "$build" ]; then
    scripts/install-deps.sh run
    cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build build/release -j "$(nproc 2>/dev/null || echo 2)" --target brivant brivant-cli
    build=build/release
  fi
  for exe in brivant brivant-cli; do
    [ -x "$build/$exe" ] || { echo "No $build/$exe: build it first." >&2; exit 1; }
  done
  command -v xvfb-run >/dev/null || { echo "xvfb-run missing: scripts/install-deps.sh run" >&2; exit 1; }
  exec env BRIVANT_SCREENSHOTS_XVFB=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$(cd "$build" && pwd)"
fi

build=$1
repo=$PWD
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
# The file field shows the path as given, so the image is opened by a short relative name.
cd "$work"
unset QT_QPA_PLATFORM
export XDG_RUNTIME_DIR=$work
"$build/brivant-cli" demo sample.fls --type 3310 2>/dev/null
for tab in "${tabs[@]}"; do
  png=$repo/$out/$tab.png
  QT_STYLE_OVERRIDE=Fusion BRIVANT_SCREENSHOT="$tab:$png" timeout 60 "$build/brivant" sample.fls
  size=$(stat -c %s "$png")
  echo "$out/$tab.png: $size bytes" >&2
  [ "$size" -le 61440 ] || echo "warning: $out/$tab.png is larger than 60 KiB" >&2
done
