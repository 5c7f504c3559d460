#!/usr/bin/env bash
# Builds a fuzzer (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# into build-fuzz/ and runs it.
#
#   tools/fuzz.sh [scene|obj|gltf] [SECONDS] [libFuzzer flags...]
#
# "scene" (the default) fuzzes the scene reader, "obj" obj2sce's reader and
# writer, "gltf" the glTF import; 60 seconds by default. The corpus grows in
# build-fuzz/corpus, build-fuzz/obj-corpus or build-fuzz/gltf-corpus (the
# seeds in tests/fuzz/ are only read); crashes, timeouts and out-of-memory
# inputs land in build-fuzz/artifacts/ (obj-artifacts/, gltf-artifacts/), the
# log in build-fuzz/fuzz.log (obj-fuzz.log, gltf-fuzz.log). Exits non-zero
# when the fuzzer finds a fault. See docs/fuzzing.md.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

target=scene
if [ $# -gt 0 ] && { [ "$1" = scene ] || [ "$1" = obj ] || [ "$1" = gltf ]; }; then
  target="$1"
  shift
fi
# Inputs of at most 4 KiB, glTF (JSON with data URIs, or binaries) 16 KiB.
case "$target" in
  scene) fuzzer=scene_reader_fuzzer dict=scene.dict seeds=corpus prefix="" max_len=4096 ;;
  obj) fuzzer=obj_reader_fuzzer dict=obj.dict seeds=obj-corpus prefix="obj-" max_len=4096 ;;
  gltf) fuzzer=gltf_reader_fuzzer dict=gltf.dict seeds=gltf-corpus prefix="gltf-" max_len=16384 ;;
esac

# The fuzz build configures the whole project, so it needs the packages of
# tools/setup.sh as well as clang and its libFuzzer runtime.
packages=(cmake make clang libclang-rt-14-dev freeglut3-dev libglu1-mesa-dev libgl1-mesa-dev
          libegl-dev libgtest-dev libpng-dev libopenexr-dev libtinygltf-dev nlohmann-json3-dev)
"$root/tools/install_packages.sh" "${packages[@]}"

build="${RAY_BUNDLE_FUZZ_BUILD_DIR:-$root/build-fuzz}"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DRAY_BUNDLE_FUZZ=ON -DRAY_BUNDLE_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "$fuzzer" >/dev/null

seconds="${1:-60}"
[ $# -gt 0 ] && shift
corpus="$build/${prefix}corpus"
artifacts="$build/${prefix}artifacts"
mkdir -p "$corpus" "$artifacts"
log="$build/${prefix}fuzz.log"
# Each input may run 10 s and use 2 GiB at most.
if ! "$build/tests/fuzz/$fuzzer" -dict="$root/tests/fuzz/$dict" \
    -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 -max_total_time="$seconds" \
    -artifact_prefix="$artifacts/" -print_final_stats=1 "$@" \
    "$corpus" "$root/tests/fuzz/$seeds" >"$log" 2>&1; then
  tail -n 60 "$log"
  echo "The fuzzer found a fault; the input is in $artifacts/" >&2
  exit 1
fi
grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || true
