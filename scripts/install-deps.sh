#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the editor need, when missing.
# Usage: scripts/install-deps.sh [build|run|wasm|web]   (run adds what showing the window needs,
# wasm what the WebAssembly build for Node needs: scripts/wasm.sh, web that and the browser the
# page's test drives: scripts/web.sh)
set -euo pipefail
want=(cmake ninja-build g++ pkg-config googletest libgtest-dev libgmock-dev libbenchmark-dev
      libcli11-dev qt6-base-dev libgl-dev help2man desktop-file-utils shared-mime-info dpkg-dev
      clang libclang-rt-14-dev lld strace libgif-dev lintian appstream shellcheck mandoc
      ccache)
if [ "${1:-build}" = run ]; then
  want+=(xvfb xauth)
fi
if [ "${1:-build}" = wasm ] || [ "${1:-build}" = web ]; then
  want+=(emscripten nodejs libstb-dev)
  # Debian's Node comes without npm; other builds of it bring their own.
  command -v npm >/dev/null || want+=(npm)
fi
if [ "${1:-build}" = web ]; then
  # The system's own browser: the test drives it, nothing downloads one.
  want+=(chromium)
fi
missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "Run as root (or install them with apt-get) and try again." >&2
  exit 1
fi
echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >/dev/null
