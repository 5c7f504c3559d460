#!/usr/bin/env bash
# Builds the programs and renders the README's gallery into docs/gallery/:
# every bundled scene, and the still-life model through obj2sce, with the
# renderer's defaults (4000 iterations, automatic exposure, sRGB), one after
# the other. Takes a few minutes.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/tools/setup.sh"
gallery="$root/docs/gallery"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

render() {  # NAME SCENE [OPTIONS...]
  local name="$1" scene="$2"
  shift 2
  echo "== $name" >&2
  "$root/build/ray-bundle-render" "$scene" -o "$gallery/$name.png" "$@"
}

render cornell-box "$root/scenes/cornell-box.sce" --size 280
render glossy "$root/scenes/glossy.sce" --size 350x280
render many-lights "$root/scenes/many-lights.sce" --size 350x280
render terrain "$root/scenes/terrain.sce" --size 420x280
render transforms "$root/scenes/transforms.sce" --size 280
render example "$root/scenes/example.sce" --size 280
"$root/build/obj2sce" "$root/scenes/models/still-life.obj" -o "$work/still-life.sce"
render still-life "$work/still-life.sce" --size 372x280 \
  --eye 230,170,260 --look-at 0,60,-30 --fov 40
