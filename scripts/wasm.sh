#!/usr/bin/env bash
# Builds the command line as WebAssembly for Node into build/wasm (emscripten), packs it for
# npm, and checks it: the command line's tests run against it under Node, every command on
# every family's demo image gives what the native program gives, the packed tarball installs
# and runs offline, and its size and start-up time are measured.
# Usage: scripts/wasm.sh [NATIVE_BUILD]   (default build/release: its brivant_tests and
# brivant-cli are built there first; the tests compare against them)
set -euo pipefail
cd "$(dirname "$0")/.."
native=${1:-build/release}
jobs=${JOBS:-2}
# shellcheck source=scripts/emscripten-env.sh
. scripts/emscripten-env.sh wasm "$native"
cmake --build build/wasm -j "$jobs" --target brivant-cli npm-pack
cli="node $PWD/build/wasm/brivant-cli.js"

cmake --build "$native" -j "$jobs" --target brivant_tests brivant-cli brivant_pictures

# The program: at most 3 MiB.
size=$(($(stat -c %s build/wasm/brivant-cli.js) + $(stat -c %s build/wasm/brivant-cli.wasm)))
echo "wasm: program $size bytes (brivant-cli.js + brivant-cli.wasm)"
if [ "$size" -ge $((3 * 1024 * 1024)) ]; then
  echo "wasm: the program is 3 MiB or more" >&2
  exit 1
fi

# The command line's tests, run against the WebAssembly program as a process: every test that
# runs the command line (through Cli(), CliIn() or CliCommand()) runs it under Node. Left out,
# each for its reason:
skip=(
  # Node hands a program its arguments as Unicode text: a file name that is not UTF-8 cannot
  # reach it.
  CliRun.JsonWithNonUtf8FileName
)
filter="Cli*:AniCli.*:ApplyCli.*:BitmapSheet.*:CheckTest.*:ChunkImport.*:DemoImages.*:*DemoImagesFamily.*"
filter+=":ImageDiff.*:WasmBuild.*:*WasmBuildFamily.*"
if [ ${#skip[@]} -gt 0 ]; then
  filter+="-$(IFS=:; echo "${skip[*]}")"
fi
# Side by side, one process per test from a queue: nearly all of the time is Node starting the
# program, and a test taking long then holds up only itself (fixed shards left one shard
# running on alone for minutes). Twice as many at once as jobs, so that the processors are
# kept busy while processes wait for Node; the tests of a family (the longest) start first.
mapfile -t tests < <("$native/tests/brivant_tests" --gtest_list_tests --gtest_filter="$filter" |
  awk '/^[^ ]/ { suite = $1; next } { print suite $1 }' | sort -t/ -k2 -r -s)
run_one() {
  local log
  if ! log=$(BRIVANT_CLI="$cli" "$native/tests/brivant_tests" --gtest_brief=1 \
               --gtest_filter="$1" 2>&1); then
    printf '%s\n' "$log"
    echo "wasm: $1 failed" >&2
    return 1
  fi
}
export -f run_one
export cli native
# shellcheck disable=SC2016 # $1 is the test's name, expanded by the shell xargs starts
if ! printf '%s\n' "${tests[@]}" | xargs -P $((jobs * 2)) -n 1 bash -c 'run_one "$1"' _; then
  echo "wasm: the command line's tests failed against the WebAssembly build" >&2
  exit 1
fi
echo "wasm: ${#tests[@]} tests of the command line passed against the WebAssembly build"

# The npm tarball installs into an empty prefix without the network and runs from there.
tarball=build/wasm/brivant-cli-$(node -p 'require("./build/wasm/npm/package.json").version').tgz
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
npm install -g --offline --no-audit --no-fund --prefix "$tmp/prefix" "$PWD/$tarball" >/dev/null
bin="$tmp/prefix/bin/brivant-cli"
version=$("$bin" --version)
echo "wasm: installed from $(basename "$tarball"): $version"
(cd "$tmp" && "$bin" demo x.fls >/dev/null 2>&1 && "$bin" check x.fls >/dev/null)
[ "$("$native/brivant-cli" --version)" = "$version" ]

# Start-up: info of a 4 MiB image, against Node's own start (whole processes, best of 10).
"$native/brivant-cli" demo "$tmp/big.fls" --type 3310 --size 4 >/dev/null 2>&1
best() {
  local best=999999 start end ms
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    ms=$(((end - start) / 1000000))
    [ "$ms" -lt "$best" ] && best=$ms
  done
  echo "$best"
}
node_ms=$(best node -e 0)
info_ms=$(best node build/wasm/brivant-cli.js info "$tmp/big.fls")
native_ms=$(best "$native/brivant-cli" info "$tmp/big.fls")
echo "wasm: info of a 4 MiB image ${info_ms} ms under Node, node -e 0 ${node_ms} ms," \
     "native ${native_ms} ms (best of 10 each)"
if [ $((info_ms * 2)) -gt $((node_ms * 3)) ]; then
  echo "wasm: warning: info takes more than 1.5 times Node's own start" >&2
fi
