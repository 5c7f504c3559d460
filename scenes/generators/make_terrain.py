#!/usr/bin/env python3
"""Writes scenes/terrain-mesh.inc: the body of a heightfield object (its vertex
list and its triangles) for scenes/terrain.sce.

The surface spans x and z from -200 to 200 on a grid of 5 units; its heights
reach above the snow line (113), so a "rock" material turns to "snow" on the
peaks. Every triangle faces up."""
import math
import sys

HALF = 200
STEP = 5

def height(x, z):
    ridge = 70 * math.exp(-((x - 60) ** 2 + (z - 40) ** 2) / 9000.0)
    peak = 95 * math.exp(-((x + 70) ** 2 + (z - 90) ** 2) / 5000.0)
    hills = 12 * math.sin(x / 37.0) * math.cos(z / 29.0) + 8 * math.sin((x + z) / 23.0)
    return max(0.0, 20 + ridge + peak + hills)

def main():
    n = 2 * HALF // STEP + 1
    out = ["% Heightfield body made by scenes/generators/make_terrain.py; included by terrain.sce.\n",
           "vrtxPstn\n"]
    for i in range(n):
        z = -HALF + i * STEP
        row = []
        for j in range(n):
            x = -HALF + j * STEP
            row.append(f"{x} {height(x, z):.2f} {z}")
        out.append("  " + "  ".join(row) + "\n")
    out.append("end\ncmplxPly\n")
    for i in range(n - 1):
        for j in range(n - 1):
            p00 = i * n + j          # (x0, z0)
            p10 = p00 + 1            # (x1, z0)
            p01 = p00 + n            # (x0, z1)
            p11 = p01 + 1
            out.append(f"  plygn {p00} {p01} {p10} end  plygn {p10} {p01} {p11} end\n")
    out.append("end\n")
    sys.stdout.write("".join(out))

main()
