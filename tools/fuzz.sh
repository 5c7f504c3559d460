#!/usr/bin/env bash
# Builds a fuzzer (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# into build-fuzz/ and runs it: the scene reader's by default, or the glTF
# import's.
#
#   tools/fuzz.sh [scene|gltf] [SECONDS] [libFuzzer flags...]   (60 seconds by default)
#
# The corpus grows in build-fuzz/corpus (scene) or build-fuzz/corpus-gltf (the
# seeds in tests/fuzz/corpus and tests/fuzz/gltf-corpus are only read);
# crashes, timeouts and out-of-memory inputs land in build-fuzz/artifacts/,
# the log in build-fuzz/fuzz.log or build-fuzz/fuzz-gltf.log. Exits non-zero
# when the fuzzer finds a fault. See docs/fuzzing.md.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

target=scene
if [ "${1:-}" = scene ] || [ "${1:-}" = gltf ]; then
  target="$1"
  shift
fi

# The fuzz build configures the whole project, so it needs the packages of
# tools/setup.sh as well as clang and its libFuzzer runtime.
packages=(cmake make clang libclang-rt-14-dev freeglut3-dev libglu1-mesa-dev libgl1-mesa-dev
          libegl-dev libgtest-dev libpng-dev libopenexr-dev libtinygltf-dev nlohmann-json3-dev)
"$root/tools/install_packages.sh" "${packages[@]}"

build="${RAY_BUNDLE_FUZZ_BUILD_DIR:-$root/build-fuzz}"
if [ "$target" = gltf ]; then
  # glTF inputs: JSON with data URIs or binaries, up to 16 KiB.
  fuzzer=gltf_reader_fuzzer dict=gltf.dict seeds=gltf-corpus corpus=corpus-gltf
  log="$build/fuzz-gltf.log" prefix=gltf- max_len=16384
else
  fuzzer=scene_reader_fuzzer dict=scene.dict seeds=corpus corpus=corpus
  log="$build/fuzz.log" prefix="" max_len=4096
fi
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DRAY_BUNDLE_FUZZ=ON -DRAY_BUNDLE_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "$fuzzer" >/dev/null

seconds="${1:-60}"
[ $# -gt 0 ] && shift
mkdir -p "$build/$corpus" "$build/artifacts"
# Each input may run 10 s and use 2 GiB at most.
if ! "$build/tests/fuzz/$fuzzer" -dict="$root/tests/fuzz/$dict" \
    -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 -max_total_time="$seconds" \
    -artifact_prefix="$build/artifacts/$prefix" -print_final_stats=1 "$@" \
    "$build/$corpus" "$root/tests/fuzz/$seeds" >"$log" 2>&1; then
  tail -n 60 "$log"
  echo "The fuzzer found a fault; the input is in $build/artifacts/" >&2
  exit 1
fi
grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || true
