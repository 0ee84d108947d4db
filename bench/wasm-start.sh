#!/usr/bin/env bash
# Where the start of the WebAssembly command line goes: whole Node processes, best of N runs
# each, taken in turns so that all meet the same load.
#
#   node -e 0          Node's own start
#   image              Node reading a 4 MiB image into fresh WebAssembly memory and touching
#                      it once: what any program that holds the image in its memory pays
#   image + module     the same, and compiling brivant-cli.wasm (not running it)
#   info               brivant-cli.js info of the image
#   native info        the native brivant-cli info of the image, for scale
#
# The first three are floors no change to the program itself can go below; the gap between
# the third and the fourth is what the program's own start and work cost.
#
# Usage: bench/wasm-start.sh [WASM_BUILD] [NATIVE_BUILD] [RUNS]
#        (defaults build/wasm, build/release, 20; builds nothing)
set -euo pipefail

wasm=${1:-build/wasm}
native=${2:-build/release}
runs=${3:-20}
[ -f "$wasm/brivant-cli.js" ] || { echo "no brivant-cli.js in $wasm" >&2; exit 1; }
[ -x "$native/brivant-cli" ] || { echo "no brivant-cli in $native" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/brivant-wasm-start.XXXXXX")
trap 'rm -rf "$work"' EXIT
image="$work/image.fls"
"$native/brivant-cli" demo "$image" --type 3310 --size 4 >/dev/null 2>&1

# The memory is made the way the program makes its own (16 MiB, growing to 2 GiB), and the
# image lands above where the program's stack and data end.
read_image='const fs = require("fs");
const memory = new WebAssembly.Memory({initial: 256, maximum: 32768});
const fd = fs.openSync(process.argv[1]);
const size = fs.fstatSync(fd).size;
fs.readSync(fd, Buffer.from(memory.buffer), 6 << 20, size, 0);
const words = new Uint32Array(memory.buffer);
let sum = 0;
for (let i = (6 << 20) / 4; i < ((6 << 20) + size) / 4; i += 1024) sum += words[i];'
# With the engine settings the program sets for itself before it compiles: its own first
# lines, run as they are.
compile_module='require(process.argv[3]);
new WebAssembly.Module(fs.readFileSync(process.argv[2]));'
pre_js=$(cd "$(dirname "$0")/.." && pwd)/src/core/system/node-pre.js

names=("node -e 0" "image" "image + module" "info" "native info")
run() {
  case $1 in
    0) node -e 0 ;;
    1) node -e "$read_image" "$image" ;;
    2) node -e "$read_image $compile_module" "$image" "$wasm/brivant-cli.wasm" "$pre_js" ;;
    3) node "$wasm/brivant-cli.js" info "$image" ;;
    4) "$native/brivant-cli" info "$image" ;;
  esac
}
best=()
for _ in $(seq "$runs"); do
  for k in "${!names[@]}"; do
    start=$(date +%s%N)
    run "$k" >/dev/null
    end=$(date +%s%N)
    tenths=$(((end - start) / 100000))
    if [ -z "${best[k]:-}" ] || [ "$tenths" -lt "${best[k]}" ]; then best[k]=$tenths; fi
  done
done
base=${best[0]}
for k in "${!names[@]}"; do
  printf '%-16s %6d.%d ms  %d.%02dx\n' "${names[$k]}" $((best[k] / 10)) $((best[k] % 10)) \
    $((best[k] / base)) $((best[k] * 100 / base % 100))
done
