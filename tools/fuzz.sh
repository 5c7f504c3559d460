#!/usr/bin/env bash
# Builds the scene reader fuzzer (clang, libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) into build-fuzz/ and runs it.
#
#   tools/fuzz.sh [SECONDS] [libFuzzer flags...]      (60 seconds by default)
#
# The corpus grows in build-fuzz/corpus (the seeds in tests/fuzz/corpus are
# only read); crashes, timeouts and out-of-memory inputs land in
# build-fuzz/artifacts/, the log in build-fuzz/fuzz.log. Exits non-zero when
# the fuzzer finds a fault. See docs/fuzzing.md.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# The fuzz build configures the whole project, so it needs the packages of
# tools/setup.sh as well as clang and its libFuzzer runtime.
packages=(cmake make clang libclang-rt-14-dev freeglut3-dev libglu1-mesa-dev libgl1-mesa-dev
          libegl-dev libgtest-dev libpng-dev libopenexr-dev)
"$root/tools/install_packages.sh" "${packages[@]}"

build="${RAY_BUNDLE_FUZZ_BUILD_DIR:-$root/build-fuzz}"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DRAY_BUNDLE_FUZZ=ON -DRAY_BUNDLE_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target scene_reader_fuzzer >/dev/null

seconds="${1:-60}"
[ $# -gt 0 ] && shift
mkdir -p "$build/corpus" "$build/artifacts"
log="$build/fuzz.log"
# Inputs of at most 4 KiB; each may run 10 s and use 2 GiB at most.
if ! "$build/tests/fuzz/scene_reader_fuzzer" -dict="$root/tests/fuzz/scene.dict" \
    -max_len=4096 -timeout=10 -rss_limit_mb=2048 -max_total_time="$seconds" \
    -artifact_prefix="$build/artifacts/" -print_final_stats=1 "$@" \
    "$build/corpus" "$root/tests/fuzz/corpus" >"$log" 2>&1; then
  tail -n 60 "$log"
  echo "The fuzzer found a fault; the input is in $build/artifacts/" >&2
  exit 1
fi
grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || true
