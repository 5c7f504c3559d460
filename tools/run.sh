#!/usr/bin/env bash
# Builds the program and runs it on a scene (the Cornell box by default).
# Without a display it runs under a virtual X server.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/tools/setup.sh"
[ $# -eq 0 ] && set -- "$root/scenes/cornell-box.sce"
if [ -n "${DISPLAY:-}" ]; then
  exec "$root/build/ray-bundle" "$@"
fi
exec xvfb-run -a -s "-screen 0 1024x768x24" "$root/build/ray-bundle" "$@"
