#!/usr/bin/env bash
# Whole-process timings of brivant-cli on a 4 MiB sample image, side by side with `cat` of
# the same file (read commands) and `cp` of it (editing commands): median wall and CPU time
# of N runs, the ratios to the plain copy, and the peak memory of one run. When BUILD_DIR
# also holds the window (brivant) and xvfb-run is installed, the window's start-up too.
#
# Usage: bench/cli-timing.sh BUILD_DIR [RUNS]     (builds nothing; BUILD_DIR holds brivant-cli)
# Goals: read commands within 1.5x of cat, editing commands within 2x of cp, peak memory at
# most 3x the image size. Nothing here fails on a missed goal: the figures are for people.
set -euo pipefail

build=${1:?usage: $0 BUILD_DIR [RUNS]}
runs=${2:-10}
cli="$build/brivant-cli"
[ -x "$cli" ] || { echo "no brivant-cli in $build" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/brivant-timing.XXXXXX")
trap 'rm -rf "$work"' EXIT
image="$work/image.fls"
out="$work/out.fls"
"$cli" demo "$image" --size 4 2>/dev/null
"$cli" chunk export "$image" TONE "$work/tone.bin" 2>/dev/null
size_kib=$(( $(stat -c %s "$image") / 1024 ))

# Warm the page cache and the dynamic loader once.
cat "$image" >/dev/null
"$cli" --help >/dev/null

now() { date +%s%N; }

# Wall and CPU times in microseconds of `runs` runs each of a command and of its base (cat or
# cp), taken in turns so that both meet the same load: "WALL BASE_WALL CPU BASE_CPU", wall as
# medians, CPU (user + system) as perf's mean task clock when perf is there, else as medians
# of the shell's 1 ms figures. The output file is removed before each run.
median() { sort -n | awk '{ a[NR] = $1 } END {
    if (NR % 2) print a[(NR + 1) / 2]; else print int((a[NR / 2] + a[NR / 2 + 1]) / 2) }'; }
wall_us() {
    local t0 t1
    rm -f "$out" "$out.bak"
    t0=$(now)
    "$@" >/dev/null 2>&1
    t1=$(now)
    echo $(( (t1 - t0) / 1000 ))
}
TIMEFORMAT='%3U %3S'
cpu_us() {
    if command -v perf >/dev/null && perf stat -x, -e task-clock -o "$work/cpu" true 2>/dev/null; then
        rm -f "$out" "$out.bak"
        perf stat -x, -e task-clock -r "$runs" -o "$work/cpu" -- "$@" >/dev/null 2>&1
        awk -F, '/task-clock/ { printf "%d", $1 * 1000 }' "$work/cpu"
    else
        local i u s cpus=()
        for ((i = 0; i < runs; i++)); do
            rm -f "$out" "$out.bak"
            { time "$@" >/dev/null 2>&1; } 2>"$work/cpu"
            read -r u s <"$work/cpu"
            cpus+=("$(awk -v u="$u" -v s="$s" 'BEGIN { printf "%d", (u + s) * 1000000 }')")
        done
        printf '%s\n' "${cpus[@]}" | median
    fi
}
side_by_side() {  # base command (one word list, eval'd), then the command
    local base=$1 i w=() bw=()
    shift
    for ((i = 0; i < runs; i++)); do
        bw+=("$(eval "wall_us $base")")
        w+=("$(wall_us "$@")")
    done
    echo "$(printf '%s\n' "${w[@]}" | median) $(printf '%s\n' "${bw[@]}" | median)" \
        "$(cpu_us "$@") $(eval "cpu_us $base")"
}

# Peak resident memory in KiB of one run, or "-" without GNU time.
peak_kib() {
    if [ -x /usr/bin/time ]; then
        rm -f "$out" "$out.bak"
        /usr/bin/time -f %M -o "$work/mem" "$@" >/dev/null 2>&1 || true
        tail -n 1 "$work/mem"
    else
        echo -
    fi
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
ms() { awk -v t="$1" 'BEGIN { printf "%.2f", t / 1000 }'; }

row() {  # label, base command, goal ratio, command...
    local label=$1 base=$2 goal=$3
    shift 3
    local t bt c bc m r rc mem_ratio verdict
    read -r t bt c bc <<<"$(side_by_side "$base" "$@")"
    m=$(peak_kib "$@")
    r=$(ratio "$t" "$bt")
    rc=$(ratio "$c" "$bc")
    if [ "$m" = - ]; then mem_ratio=-; else mem_ratio=$(ratio "$m" "$size_kib"); fi
    verdict=$(awk -v r="$r" -v g="$goal" -v m="$mem_ratio" 'BEGIN {
        ok = r <= g && (m == "-" || m <= 3); print ok ? "ok" : "MISSED" }')
    printf '%-31s %6s %6s %5sx %6s %6s %5sx %7s %4sx  %s\n' "$label" "$(ms "$t")" "$(ms "$bt")" \
        "$r" "$(ms "$c")" "$(ms "$bc")" "$rc" "$m" "$mem_ratio" "$verdict"
}

echo "image: $size_kib KiB; $runs runs each, command and base (cat or cp) in turns"
echo "wall: medians in ms; cpu: user + system in ms; peak RSS in KiB (x image size)"
echo "load: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
printf '%-31s %6s %6s %6s %6s %6s %6s %7s %5s\n' command wall base ratio cpu base ratio peak mem
read -r help_us _ help_cpu _ <<<"$(side_by_side "true" "$cli" --help)"
printf '%-31s %6s %13s %6s\n' "brivant-cli --help" "$(ms "$help_us")" "" "$(ms "$help_cpu")"

cat_base="cat \"\$image\""
cp_base="cp \"\$image\" \"\$out\""
echo "-- read commands (goal: wall within 1.5x cat)"
row "info --json" "$cat_base" 1.5 "$cli" info "$image" --json
row "search 12x00 (absent)" "$cat_base" 1.5 "$cli" search "$image" 000000000000000000000000 --from 8192
row "search 12xFF" "$cat_base" 1.5 "$cli" search "$image" FFFFFFFFFFFFFFFFFFFFFFFF
row "search Tdumfile --all" "$cat_base" 1.5 "$cli" search "$image" Tdumfile --all
row "tones list" "$cat_base" 1.5 "$cli" tones list "$image"
row "lang list" "$cat_base" 1.5 "$cli" lang list "$image"
row "ops list" "$cat_base" 1.5 "$cli" ops list "$image"
row "checksum" "$cat_base" 1.5 "$cli" checksum "$image"

echo "-- editing commands (goal: wall within 2x cp)"
row "tones delete 0 -o OUT" "$cp_base" 2 "$cli" tones delete "$image" 0 -o "$out"
row "space adjust --mcu 4096 -o OUT" "$cp_base" 2 "$cli" space adjust "$image" --mcu 4096 -o "$out"
row "chunk import TONE -o OUT" "$cp_base" 2 "$cli" chunk import "$image" TONE "$work/tone.bin" -o "$out"
# The editor flushes a saved file to the disk before it puts it in place of the old one (so a
# crash never leaves a half-written image under the name); cp leaves that to the system.
echo "-- the same against cp and a sync of the copy (a like-for-like base)"
cp_sync_base="sh -c 'cp \"\$0\" \"\$1\" && sync \"\$1\"' \"\$image\" \"\$out\""
row "tones delete 0 -o OUT" "$cp_sync_base" 2 "$cli" tones delete "$image" 0 -o "$out"
row "space adjust --mcu 4096 -o OUT" "$cp_sync_base" 2 "$cli" space adjust "$image" --mcu 4096 -o "$out"
row "chunk import TONE -o OUT" "$cp_sync_base" 2 "$cli" chunk import "$image" TONE "$work/tone.bin" -o "$out"

# The window: first paint and first list rows, timed inside the program (from the start of
# main) and from outside (start of the process to its end right after those rows).
gui="$build/brivant"
if [ -x "$gui" ] && command -v xvfb-run >/dev/null; then
    echo "-- window start-up under Xvfb (goal: first list rows within 200 ms)"
    # The inner script gets its values as arguments; it expands them itself.
    # shellcheck disable=SC2016
    xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
        gui=$1 image=$2 runs=$3
        BRIVANT_STARTUP_TIMING=exit timeout 30 "$gui" "$image" >/dev/null 2>&1  # warm-up
        painted=() rows=() whole=()
        for ((i = 0; i < runs; i++)); do
            t0=$(date +%s%N)
            line=$(BRIVANT_STARTUP_TIMING=exit timeout 30 "$gui" "$image" 2>&1 >/dev/null |
                   grep "^startup:")
            t1=$(date +%s%N)
            [ -n "$line" ] || { echo "no start-up figures (is the timer in this build?)"; exit 0; }
            painted+=($(sed -E "s/.*painted after ([0-9]+) ms.*/\1/" <<<"$line"))
            rows+=($(sed -E "s/.*rows after ([0-9]+) ms.*/\1/" <<<"$line"))
            whole+=($(( (t1 - t0) / 1000000 )))
        done
        med() { printf "%s\n" "$@" | sort -n | awk "{ a[NR] = \$1 } END { print a[int((NR + 1) / 2)] }"; }
        printf "%-34s %6s ms\n" "window first painted (in main)" "$(med "${painted[@]}")"
        printf "%-34s %6s ms\n" "first list rows (in main)" "$(med "${rows[@]}")"
        printf "%-34s %6s ms\n" "process start to quit after rows" "$(med "${whole[@]}")"
    ' _ "$gui" "$image" "$runs"
else
    echo "-- window start-up skipped (needs $gui and xvfb-run: scripts/install-deps.sh run)"
fi
