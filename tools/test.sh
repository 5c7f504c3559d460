#!/usr/bin/env bash
# Builds the project and runs the whole test suite. The window tests need an
# X server: without a display the suite runs under a virtual one.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/tools/setup.sh"
build="${RAY_BUNDLE_BUILD_DIR:-$root/build}"
cd "$build"
if [ -n "${DISPLAY:-}" ]; then
  exec ctest --output-on-failure -j"$(nproc)" "$@"
fi
exec xvfb-run -a -s "-screen 0 1024x768x24" ctest --output-on-failure -j"$(nproc)" "$@"
