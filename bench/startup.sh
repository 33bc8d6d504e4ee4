#!/usr/bin/env bash
# Start-up to the first painted window: the editor against a bare QMainWindow
# program, both launched the same way, several times each, interleaved.
# Usage: bench/startup.sh [build-dir] [runs]
set -euo pipefail
build=${1:-build-test}
runs=${2:-15}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

ms() { # milliseconds of one launch
  local t0 t1
  t0=$(date +%s%N)
  "$1" >/dev/null 2>&1
  t1=$(date +%s%N)
  echo $(((t1 - t0) / 1000000))
}
median() { sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }

ours=() bare=()
for _ in $(seq "$runs"); do
  bare+=("$(ms "$build/bench/bench_startup_bare")")
  ours+=("$(ms "$build/bench/bench_startup")")
done
mo=$(printf '%s\n' "${ours[@]}" | median)
mb=$(printf '%s\n' "${bare[@]}" | median)
echo "start-up to first paint, median of $runs: editor ${mo} ms, bare QMainWindow ${mb} ms," \
  "ratio $(awk -v a="$mo" -v b="$mb" 'BEGIN {printf "%.2f", a / b}') (target <= 1.5)"
