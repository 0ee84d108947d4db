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

cmake --build "$native" -j "$jobs" --target brivant_tests brivant-cli brivant_pictures cli_client

# The program: at most 3 MiB.
size=$(($(stat -c %s build/wasm/brivant-cli.js) + $(stat -c %s build/wasm/brivant-cli.wasm)))
echo "wasm: program $size bytes (brivant-cli.js + brivant-cli.wasm)"
if [ "$size" -ge $((3 * 1024 * 1024)) ]; then
  echo "wasm: the program is 3 MiB or more" >&2
  exit 1
fi

tmp=$(mktemp -d)
server=
cleanup() {
  if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; fi
  rm -rf "$tmp"
}
trap cleanup EXIT

# The command line's tests, run against the WebAssembly program: every test that runs the
# command line (through Cli(), CliIn() or CliCommand()) runs it under Node. Left out, each for
# its reason:
skip=(
  # Node hands a program its arguments as Unicode text: a file name that is not UTF-8 cannot
  # reach it.
  CliRun.JsonWithNonUtf8FileName
)
filter="Cli*:AniCli.*:ApplyCli.*:*ApplyCliRecipe.*:BitmapSheet.*:CheckTest.*:ChunkImport.*:DemoImages.*:*DemoImagesFamily.*"
filter+=":ImageDiff.*:WasmBuild.*:*WasmBuildFamily.*"
# These start Node for each command, as a user does: the program's start, its end, its
# arguments, standard streams and terminals. The others hand their commands to workers that
# have the program compiled already (tests/support/node/cli-server.js), each command a fresh
# run of the script with a new instance: starting Node was nearly all of their time.
whole="CliRun.*:CliExitStatus.*"
slots=$((jobs * 2))
workers=$((slots * 2 + 2))
node tests/support/node/cli-server.js "$tmp/cli" "$workers" build/wasm/brivant-cli.js \
  >"$tmp/server.out" &
server=$!
for _ in $(seq 600); do
  grep -q ready "$tmp/server.out" 2>/dev/null && break
  kill -0 "$server" 2>/dev/null || { echo "wasm: the test server did not start" >&2; exit 1; }
  sleep 0.1
done
client="$PWD/$native/tests/cli_client $tmp/cli $workers"

# A command through the server leaves what the same command started with Node leaves: the
# status, the files, and the streams, including a file shared with the shell, one appended
# to, a pipe between two commands, standard input, and a device that refuses writes.
same_both() {
  local way dir status
  for way in node server; do
    dir="$tmp/same-$way"
    rm -rf "$dir" && mkdir -p "$dir"
    if [ "$way" = node ]; then CLI=$cli; else CLI=$client; fi
    status=0
    (cd "$dir" && CLI=$CLI bash -c "$1") >"$dir.out" 2>"$dir.err" || status=$?
    echo "$status" >"$dir.status"
  done
  if ! diff -r "$tmp/same-node" "$tmp/same-server" >/dev/null ||
     ! cmp -s "$tmp/same-node.out" "$tmp/same-server.out" ||
     ! cmp -s "$tmp/same-node.err" "$tmp/same-server.err" ||
     ! cmp -s "$tmp/same-node.status" "$tmp/same-server.status"; then
    echo "wasm: the test server runs this otherwise than Node: $1" >&2
    exit 1
  fi
}
# shellcheck disable=SC2016 # $CLI is the program, expanded where each way runs
{
same_both '{ echo first; $CLI demo x.fls --type 3310; echo last; } >log 2>&1; $CLI info x.fls >>log'
same_both '$CLI demo - --type 3310 | $CLI info -; $CLI info missing.fls; echo "$?"'
same_both '$CLI demo x.fls; { $CLI check x.fls --json; $CLI tones list x.fls; } >both 2>&1 <x.fls'
same_both '$CLI demo - >/dev/full; echo "$?"; $CLI demo x.fls 2>/dev/null; { $CLI info -; $CLI info -; } <x.fls'
}
# Side by side, one process per test from a queue: a test taking long holds up only itself
# (fixed shards left one shard running on alone for minutes). Twice as many at once as jobs,
# so that the processors are kept busy while processes wait. The longest start first: those
# that run many commands on several families (measured: 10 to 25 seconds each), then the
# tests of a family, then the rest.
longest="CliTexts.WhatTheListsPrint*:WasmBuild.*:*ApplyCliRecipe.*:CliLanguages.ShownTexts*"
list() {
  "$native/tests/brivant_tests" --gtest_list_tests --gtest_filter="$1" |
    awk '/^[^ ]/ { suite = $1; next } { print suite $1 }'
}
exclude=$(IFS=:; echo "${skip[*]}")
mapfile -t tests < <(list "$longest-$whole:$exclude" | sed 's/^/server /'
                     { list "$whole-$exclude" | sed 's/^/node /'
                       list "$filter-$whole:$longest:$exclude" | sed 's/^/server /'; } |
                       sort -t/ -k2 -r -s)
run_one() {
  local log program=$cli
  [ "$1" = server ] && program=$client
  if ! log=$(BRIVANT_CLI="$program" "$native/tests/brivant_tests" --gtest_brief=1 \
               --gtest_filter="$2" 2>&1); then
    printf '%s\n' "$log"
    echo "wasm: $2 failed" >&2
    return 1
  fi
}
export -f run_one
export cli client native
# shellcheck disable=SC2016 # $1 and $2 are the way and the test, expanded by the shell xargs starts
if ! printf '%s\n' "${tests[@]}" | xargs -P "$slots" -L 1 bash -c 'run_one "$1" "$2"' _; then
  echo "wasm: the command line's tests failed against the WebAssembly build" >&2
  exit 1
fi
kill "$server"
wait "$server" 2>/dev/null || true
server=
echo "wasm: ${#tests[@]} tests of the command line passed against the WebAssembly build"

# The npm tarball installs into an empty prefix without the network and runs from there.
tarball=build/wasm/brivant-cli-$(node -p 'require("./build/wasm/npm/package.json").version').tgz
npm install -g --offline --no-audit --no-fund --prefix "$tmp/prefix" "$PWD/$tarball" >/dev/null
bin="$tmp/prefix/bin/brivant-cli"
version=$("$bin" --version)
echo "wasm: installed from $(basename "$tarball"): $version"
(cd "$tmp" && "$bin" demo x.fls >/dev/null 2>&1 && "$bin" check x.fls >/dev/null)
[ "$("$native/brivant-cli" --version)" = "$version" ]

# Start-up: info of a 4 MiB image against Node's own start, with the floors beneath it
# (whole processes, best of 10 each; bench/wasm-start.sh says what each line is).
timing=$(bench/wasm-start.sh build/wasm "$native" 10)
printf '%s\n' "$timing" | sed 's/^/wasm: start-up: /'
ratio=$(printf '%s\n' "$timing" | awk '$1 == "info" { sub(/x$/, "", $NF); print int($NF * 100 + 0.5) }')
if [ "$ratio" -gt 150 ]; then
  echo "wasm: warning: info takes more than 1.5 times Node's own start" >&2
fi
