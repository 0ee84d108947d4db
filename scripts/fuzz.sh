#!/usr/bin/env bash
# Builds the libFuzzer targets (build/sanitize, the clang build the sanitizer tests use too)
# and runs them, as many side by side as there are jobs (JOBS, default the processors).
# Usage: scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]   (default 300 s, every target)
# The corpus grows in build/sanitize/corpus/TARGET (started from the sample builder's seeds);
# a finding is written to build/sanitize/findings/TARGET/ and makes the script fail. At the end
# one line per target gives its executions. With fewer targets than jobs, each target runs as
# several processes sharing its corpus, so `scripts/fuzz.sh 3600 sequence` uses every core.
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
# run_target T N: instance N of target T for $seconds; its summary goes to findings/T/result.N.
run_target() {
  local t=$1 n=$2 log result runs
  log="$dir/findings/$t/last-run.$n.log"
  # -timeout: one input running longer is a hang; -rss_limit_mb: one growing without end.
  if "$dir/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -print_final_stats=1 -artifact_prefix="$dir/findings/$t/" \
       "$dir/corpus/$t" "$dir/seeds/$t" >"$log" 2>&1; then
    result=ok
  else
    result="FINDING (see $log and $dir/findings/$t/)"
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  echo "${runs:-?} $result" >"$dir/findings/$t/result.$n"
}
# As many processes side by side as there are jobs: one per target, or several per target
# when there are fewer targets than jobs.
parallel=${JOBS:-$(nproc 2>/dev/null || echo 2)}
instances=$((parallel / ${#targets[@]}))
[ "$instances" -ge 1 ] || instances=1
running=0
for t in "${targets[@]}"; do
  mkdir -p "$dir/corpus/$t" "$dir/findings/$t"
  rm -f "$dir/findings/$t"/result.*
  for ((n = 1; n <= instances; n++)); do
    if [ "$running" -ge "$parallel" ]; then
      wait -n || true
      running=$((running - 1))
    fi
    run_target "$t" "$n" &
    running=$((running + 1))
  done
done
wait || true
status=0
for t in "${targets[@]}"; do
  total=0 result=ok
  for ((n = 1; n <= instances; n++)); do
    f="$dir/findings/$t/result.$n"
    if [ ! -f "$f" ]; then
      result="did not finish"
      continue
    fi
    read -r runs rest <"$f"
    if [[ "$runs" =~ ^[0-9]+$ ]]; then total=$((total + runs)); fi
    [ "$rest" = ok ] || result=$rest
  done
  printf '%-16s %10s runs  %s\n' "$t" "$total" "$result"
  [ "$result" = ok ] || status=1
done
exit $status
