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
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release ${RAY_BUNDLE_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
