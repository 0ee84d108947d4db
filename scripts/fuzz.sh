#!/usr/bin/env bash
# Builds the libFuzzer targets (build/sanitize, the clang build the sanitizer tests use too)
# and runs them, as many side by side as there are jobs (JOBS, default the processors).
# Usage: scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]   (default 300 s, every target)
# The corpus grows in build/sanitize/corpus/TARGET (started from the sample builder's seeds);
# a finding is written to build/sanitize/findings/TARGET/ and makes the script fail. At the end
# one line per target gives its executions.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}
shift || true
dir=build/sanitize
scripts/configure.sh sanitize
cmake --build "$dir" -j "${JOBS:-2}" --target fuzz_all >/dev/null
rm -rf "$dir/seeds"
"$dir/fuzz/brivant_fuzz_seeds" "$dir/seeds"

if [ $# -gt 0 ]; then targets=("$@"); else mapfile -t targets <"$dir/fuzz/targets.txt"; fi
# run_target T: one target for $seconds; its summary line goes to findings/T/result.
run_target() {
  local t=$1 log result runs
  mkdir -p "$dir/corpus/$t" "$dir/findings/$t"
  log="$dir/findings/$t/last-run.log"
  # -timeout: one input running longer is a hang; -rss_limit_mb: one growing without end.
  if "$dir/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -print_final_stats=1 -artifact_prefix="$dir/findings/$t/" \
       "$dir/corpus/$t" "$dir/seeds/$t" >"$log" 2>&1; then
    result=ok
  else
    result="FINDING (see $log and $dir/findings/$t/)"
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  printf '%-16s %10s runs  %s\n' "$t" "${runs:-?}" "$result" >"$dir/findings/$t/result"
}
# As many targets side by side as there are jobs: each target is one process.
parallel=${JOBS:-$(nproc 2>/dev/null || echo 2)}
running=0
for t in "${targets[@]}"; do
  rm -f "$dir/findings/$t/result"
  if [ "$running" -ge "$parallel" ]; then
    wait -n || true
    running=$((running - 1))
  fi
  run_target "$t" &
  running=$((running + 1))
done
wait || true
status=0
for t in "${targets[@]}"; do
  if [ -f "$dir/findings/$t/result" ]; then
    cat "$dir/findings/$t/result"
    grep -q ' ok$' "$dir/findings/$t/result" || status=1
  else
    printf '%-16s %10s runs  %s\n' "$t" "?" "did not finish"
    status=1
  fi
done
exit $status
