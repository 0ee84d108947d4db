# shellcheck shell=bash
# Sourced by the scripts that build with emscripten (wasm.sh, web.sh): the environment emcc
# needs, the tools checked, and build/wasm and the native build NATIVE configured when missing,
# each the one way every script configures it.
# Usage: . scripts/emscripten-env.sh DEPS NATIVE   (DEPS: install-deps.sh's set that brings
# the missing tools)

# emscripten's JavaScript optimizer finds Debian's acorn here.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
# emcc runs its clang through ccache where there is one: a file compiled before is a cache hit.
if command -v ccache >/dev/null && [ -z "${EM_COMPILER_WRAPPER:-}" ]; then
  export EM_COMPILER_WRAPPER=ccache
  # As configure.sh does for the native builds: a clone in another folder shares the cache.
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
fi
for tool in emcmake node npm; do
  if ! command -v "$tool" >/dev/null; then
    echo "$tool is missing: run scripts/install-deps.sh $1" >&2
    exit 1
  fi
done

if [ ! -f build/wasm/build.ninja ]; then
  emcmake cmake -S . -B build/wasm -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRIVANT_WERROR=ON \
    -DBRIVANT_HARDEN=OFF -DBRIVANT_GUI=OFF -DBRIVANT_BENCH=OFF >/dev/null
fi
if [ ! -f "$2/build.ninja" ]; then
  if [ "$2" = build/release ]; then
    scripts/configure.sh release
  else
    echo "$2 is not configured: configure it or run scripts/configure.sh release" >&2
    exit 1
  fi
fi
