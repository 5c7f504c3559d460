#!/usr/bin/env bash
# Installs what the build needs (Debian packages, only when missing) and
# configures and builds the project into build/. Safe to run again.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

packages=(cmake g++ make freeglut3-dev libglu1-mesa-dev libgl1-mesa-dev libgl1-mesa-dri
          libegl-dev libgtest-dev libbenchmark-dev libpng-dev libopenexr-dev libtinygltf-dev
          nlohmann-json3-dev xvfb xauth)
"$root/tools/install_packages.sh" "${packages[@]}"

build="${RAY_BUNDLE_BUILD_DIR:-$root/build}"

# The Khronos glTF validator that a test runs on the renderer's meshes: npm's
# gltf-validator, installed into the build folder with the machine's npm.
# Without it that test is skipped, and fails when CI is set.
validator="$build/npm/node_modules/gltf-validator/package.json"
if [ ! -f "$validator" ]; then
  mkdir -p "$build/npm"
  if ! command -v npm >/dev/null ||
     ! npm install --prefix "$build/npm" --no-audit --no-fund --silent \
         gltf-validator@2.0.0-dev.3.10 >/dev/null 2>&1; then
    echo "warning: the glTF validator (npm package gltf-validator) could not be installed;" \
         "its test is skipped, or fails when CI is set" >&2
  fi
fi

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release ${RAY_BUNDLE_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
