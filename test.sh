#!/usr/bin/env bash
# Installs what is missing, builds and runs every test headless; then the same
# tests again in a build with AddressSanitizer and UndefinedBehaviorSanitizer;
# then bounded fuzzing runs of the block-file reader, the checks and the DXF
# import when clang is present (MRB_FUZZ_SECONDS for the first, MRB_FUZZ_DXF_SECONDS
# and MRB_FUZZ_CHECKS_SECONDS for the others).
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh test
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
# A compiler cache makes repeated runs on one machine quick; it changes nothing else.
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

echo "== Release build and tests"
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build build-test -j "$jobs"
ctest --test-dir build-test --output-on-failure -j "$jobs"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build and tests"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMRB_SANITIZE=ON -DMRB_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

if command -v clang++ >/dev/null 2>&1; then
  echo "== Fuzzing the block-file reader, the checks and the DXF import (bounded)"
  cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DMRB_FUZZ=ON -DBUILD_TESTING=OFF -DMRB_BENCH=OFF >/dev/null
  cmake --build build-fuzz -j "$jobs" --target fuzz_blockfile fuzz_checks fuzz_dxf
  corpus=$(mktemp -d)
  trap 'rm -rf "$corpus"' EXIT
  build-fuzz/fuzz/fuzz_blockfile -max_total_time="${MRB_FUZZ_SECONDS:-30}" -max_len=8192 \
    -rss_limit_mb=2048 -print_final_stats=1 "$corpus" tests/data/fuzz_seed
  mkdir "$corpus/checks" "$corpus/dxf"
  build-fuzz/fuzz/fuzz_checks -max_total_time="${MRB_FUZZ_CHECKS_SECONDS:-20}" -max_len=8192 \
    -rss_limit_mb=2048 -print_final_stats=1 "$corpus/checks" tests/data/fuzz_seed
  build-fuzz/fuzz/fuzz_dxf -max_total_time="${MRB_FUZZ_DXF_SECONDS:-20}" -max_len=16384 \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "$corpus/dxf" tests/data/fuzz_seed_dxf
else
  echo "== clang++ not found: fuzzing skipped"
fi
echo "== All tests passed"
