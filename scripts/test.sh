#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
#   1. the sanitizer build (address and undefined behaviour) and its tests,
#      every input of fuzz/corpus among them;
#   2. the fuzz targets for a bounded time, when clang is present;
#   3. the normal build and its tests, ending with CTest's summary line.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
fuzz_seconds=${VELTRANO_FUZZ_SECONDS:-60}

echo "== sanitizer build"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DVELTRANO_SANITIZE=ON -DVELTRANO_BENCH=OFF -DVELTRANO_WERROR=ON >/dev/null
cmake --build build-asan -j "$jobs"
# The whole output reaches the log: a failing test's output is never cut.
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan -j "$jobs" --output-on-failure --timeout 600 \
  --test-output-size-failed 1000000000

if command -v clang++ >/dev/null 2>&1; then
  echo "== fuzzing (${fuzz_seconds}s per target)"
  CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELTRANO_FUZZ=ON -DVELTRANO_WERROR=ON >/dev/null
  cmake --build build-fuzz -j "$jobs"
  for target in build-fuzz/fuzz/*_fuzz; do
    name=$(basename "$target" _fuzz)
    corpus=$(mktemp -d)
    if [ -d "fuzz/corpus/$name" ]; then cp -r "fuzz/corpus/$name/." "$corpus/"; fi
    # A finding is reported with its input (kept in build-fuzz/findings)
    # for the developers; the bounded run itself does not decide the build.
    mkdir -p build-fuzz/findings
    "$target" -max_total_time="$fuzz_seconds" -max_len=4096 -timeout=10 \
      -artifact_prefix=build-fuzz/findings/ -print_final_stats=0 "$corpus" 2>&1 | tail -n 2 ||
      echo "== fuzz finding in $name: see build-fuzz/findings"
    rm -rf "$corpus"
  done
else
  echo "== fuzzing skipped: clang++ not found"
fi

echo "== build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRANO_WERROR=ON >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build -j "$jobs" --output-on-failure --timeout 600 \
  --test-output-size-failed 1000000000
