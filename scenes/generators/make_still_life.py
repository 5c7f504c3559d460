#!/usr/bin/env python3
"""Writes scenes/models/still-life.obj and still-life.mtl: a small Wavefront
model, as a modelling program would export it (y up, centimetres), for the
README's "Rendering your own model". A table with a vase and a bowl, two
stools and two walls on a floor, under a square ceiling lamp. Every face
is a rectangle whose corners run counter-clockwise seen from its front."""
import os

def box(x0, y0, z0, x1, y1, z1, bottom=True):
    """The corners and outward faces (1-based, relative) of an axis-aligned box."""
    v = [(x0, y0, z0), (x1, y0, z0), (x1, y1, z0), (x0, y1, z0),
         (x0, y0, z1), (x1, y0, z1), (x1, y1, z1), (x0, y1, z1)]
    f = [(1, 4, 3, 2), (5, 6, 7, 8), (1, 5, 8, 4), (2, 3, 7, 6), (4, 8, 7, 3)]
    if bottom:
        f.append((1, 2, 6, 5))
    return v, f

def table():
    parts = [box(-60, 70, -40, 60, 75, 40)]  # the top
    for x in (-56, 52):
        for z in (-36, 32):
            parts.append(box(x, 0, z, x + 4, 70, z + 4, bottom=False))
    return parts

def stool(x, z):
    return [box(x - 16, 42, z - 16, x + 16, 46, z + 16),
            box(x - 4, 0, z - 4, x + 4, 42, z + 4, bottom=False)]

OBJECTS = [  # name, material, parts
    ("lamp", "lamp", [([(-30, 200, -30), (30, 200, -30), (30, 200, 30), (-30, 200, 30)],
                       [(1, 2, 3, 4)])]),
    ("floor", "oak", [([(-200, 0, -200), (-200, 0, 200), (200, 0, 200), (200, 0, -200)],
                       [(1, 2, 3, 4)])]),
    ("wall.back", "plaster", [([(-200, 0, -200), (200, 0, -200), (200, 240, -200),
                                (-200, 240, -200)], [(1, 2, 3, 4)])]),
    ("wall.left", "plaster", [([(-200, 0, -200), (-200, 240, -200), (-200, 240, 200),
                                (-200, 0, 200)], [(1, 2, 3, 4)])]),
    ("table", "white", table()),
    ("vase", "cobalt", [box(-30, 75, -10, -14, 115, 6, bottom=False)]),
    ("bowl", "copper", [box(10, 75, -5, 40, 85, 20, bottom=False)]),
    ("stool.left", "red", stool(-100, 10)),
    ("stool.right", "teal", stool(95, -20)),
]

MTL = """# Materials of still-life.obj
newmtl lamp
Kd 0 0 0
Ke 14 13 11
newmtl oak
Kd 0.55 0.4 0.25
newmtl plaster
Kd 0.75 0.77 0.8
newmtl white
Kd 0.8 0.8 0.78
Ks 0.1 0.1 0.1
Ns 20
newmtl cobalt
Kd 0.1 0.15 0.6
Ks 0.4 0.4 0.4
Ns 60
newmtl copper
Kd 0.7 0.35 0.15
Ks 0.3 0.2 0.1
Ns 30
newmtl red
Kd 0.7 0.12 0.1
newmtl teal
Kd 0.1 0.5 0.5
"""

def obj_text():
    lines = ["# A still life: table, vase, bowl, stools, walls, floor and a ceiling lamp.",
             "# Written by scenes/generators/make_still_life.py. Units: centimetres, y up.",
             "mtllib still-life.mtl"]
    count = 0
    for name, material, parts in OBJECTS:
        lines += [f"o {name}", f"usemtl {material}"]
        for vertices, faces in parts:
            lines += ["v " + " ".join(f"{c:g}" for c in p) for p in vertices]
            lines += ["f " + " ".join(str(count + i) for i in face) for face in faces]
            count += len(vertices)
    return "\n".join(lines) + "\n"

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "models")
with open(os.path.join(here, "still-life.obj"), "w") as f:
    f.write(obj_text())
with open(os.path.join(here, "still-life.mtl"), "w") as f:
    f.write(MTL)
