#!/usr/bin/env bash
# Builds the programs and computes a scene (the Cornell box by default).
# With a display the window program shows the converging solution; without
# one, ray-bundle-render computes it and writes out/<scene>.png, exposed and
# sRGB-encoded for viewing (further arguments go to the renderer: --size,
# --eye, --exposure, ...).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/tools/setup.sh"
[ $# -eq 0 ] && set -- "$root/scenes/cornell-box.sce"
if [ -n "${DISPLAY:-}" ]; then
  exec "$root/build/ray-bundle" "$@"
fi
name="$(basename "$1")"
mkdir -p "$root/out"
image="$root/out/${name%.sce}.png"
"$root/build/ray-bundle-render" "$1" -o "$image" "${@:2}"
echo "No display: the final image is in $image" >&2
