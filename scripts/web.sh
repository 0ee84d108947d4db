#!/usr/bin/env bash
# Builds the editor as a web page into build/web (from the WebAssembly build in build/wasm,
# configured as scripts/wasm.sh does when missing) and, unless --build-only, tests it in the
# system's chromium: tests/web/page-test.js, against the native program of NATIVE_BUILD.
# Usage: scripts/web.sh [--build-only] [NATIVE_BUILD]   (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
test_page=1
if [ "${1:-}" = --build-only ]; then
  test_page=0
  shift
fi
native=${1:-build/release}
jobs=${JOBS:-2}
# shellcheck source=scripts/emscripten-env.sh
. scripts/emscripten-env.sh web "$native"
cmake --build build/wasm -j "$jobs" --target brivant-web-page
rm -rf build/web
cp -r build/wasm/web build/web
size=$(du -cb build/web/* | tail -1 | cut -f1)
echo "web: page in build/web, $size bytes"
if [ "$size" -ge $((4 * 1024 * 1024)) ]; then
  echo "web: the page is 4 MiB or more" >&2
  exit 1
fi
[ "$test_page" -eq 1 ] || exit 0

browser=${CHROMIUM:-$(command -v chromium || true)}
if [ -z "$browser" ]; then
  echo "chromium is missing: run scripts/install-deps.sh web" >&2
  exit 1
fi
cmake --build "$native" -j "$jobs" --target brivant-cli brivant_pictures
# The test's driver from the lock file; from npm's cache once it was installed.
(cd tests/web && npm ci --no-audit --no-fund --prefer-offline >/dev/null)
CHROMIUM="$browser" BRIVANT_CLI="$PWD/$native/brivant-cli" node tests/web/page-test.js build/web
