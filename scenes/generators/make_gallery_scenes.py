#!/usr/bin/env python3
"""Writes the box-built gallery scenes: scenes/glossy.sce, scenes/many-lights.sce
and scenes/transforms.sce. Every quadrilateral written is a rectangle (a
parallelogram), and every face is turned toward the side it should show."""
import math
import os

def sub(a, b): return tuple(x - y for x, y in zip(a, b))
def cross(a, b): return (a[1]*b[2]-a[2]*b[1], a[2]*b[0]-a[0]*b[2], a[0]*b[1]-a[1]*b[0])
def dot(a, b): return sum(x * y for x, y in zip(a, b))
def centroid(ps): return tuple(sum(c) / len(ps) for c in zip(*ps))

def toward(corners, point):
    n = cross(sub(corners[1], corners[0]), sub(corners[2], corners[0]))
    return corners if dot(n, sub(point, centroid(corners))) > 0 else corners[::-1]

def away(corners, point):
    c = centroid(corners)
    return toward(corners, tuple(2 * x - y for x, y in zip(c, point)))

def spectrum(r, g, b):
    return f"spctrl 0 {b:g} 0 {g:g} 0 {r:g}"  # channel 0 is shown as blue

def material(name, rgb, a=1, glossy=None, emission=None):
    extra = f" {glossy[0]:g} {glossy[1]:g}" if glossy else ""
    if emission:
        return (f"nmdMtrl {name} pLmnr lmbrtn {spectrum(*rgb)} {a:g}{extra} end end\n"
                f"  {spectrum(*emission)} end end\nend\n")
    return f"nmdMtrl {name} lmbrtn {spectrum(*rgb)} {a:g}{extra} end end end\n"

def fmt(p): return " ".join(f"{v:g}" for v in p)

def obj(name, mtrl, tess, faces, options=""):
    """An object of quads (lists of 4 corners) sharing one vertex list."""
    verts, polys = [], []
    for face in faces:
        idx = []
        for p in face:
            if p not in verts:
                verts.append(p)
            idx.append(verts.index(p))
        polys.append("    plygn " + " ".join(map(str, idx)) + " end\n")
    body = "\n    ".join(fmt(v) for v in verts)
    return (f"plnrMsh {name} mtrlNm {mtrl} end tessellate {tess}{options}\n"
            f"  vrtxPstn\n    {body}\n  end\n  cmplxPly\n{''.join(polys)}  end\nend\n")

def box_faces(x0, x1, y0, y1, z0, z1):
    xs, ys, zs = (x0, x1), (y0, y1), (z0, z1)
    faces = []
    for axis in range(3):
        for side in (0, 1):
            quad = []
            for u, v in ((0, 0), (1, 0), (1, 1), (0, 1)):
                p = [0, 0, 0]
                p[axis] = (xs, ys, zs)[axis][side]
                p[(axis + 1) % 3] = (xs, ys, zs)[(axis + 1) % 3][u]
                p[(axis + 2) % 3] = (xs, ys, zs)[(axis + 2) % 3][v]
                quad.append(tuple(p))
            faces.append(quad)
    return faces

def outward_box(*bounds):
    c = centroid(box_faces(*bounds)[0] + box_faces(*bounds)[1])
    return [away(f, c) for f in box_faces(*bounds)]

def quad_xz(x0, x1, y, z0, z1, up):
    q = [(x0, y, z0), (x1, y, z0), (x1, y, z1), (x0, y, z1)]
    return toward(q, (x0, y + (1 if up else -1), z0))

def glossy():
    inside = (50, 40, 50)
    walls = [f for f in box_faces(0, 100, 0, 80, 0, 100) if centroid(f)[2] != 0]  # open front
    s = ["% A room of glossy and diffuse surfaces under an area light. The floor and\n"
         "% the blocks are glossy with exponents 5, 30 and 200; the walls are diffuse.\n"
         "cmr glossy\n  50 40 -95   0 0 1   0 1 0\n  1.2  1 0.8  0 0  0\nend\n",
         material("lamp", (0.8, 0.8, 0.8), emission=(10, 9.5, 8.5)),
         material("white", (0.7, 0.7, 0.7)),
         material("polished", (0.35, 0.3, 0.25), 1, (0.3, 20)),
         material("satin-red", (0.5, 0.1, 0.1), 1, (0.4, 5)),
         material("gloss-green", (0.1, 0.4, 0.15), 1, (0.5, 30)),
         material("mirror-blue", (0.05, 0.1, 0.3), 1, (0.7, 200)),
         obj("lamp", "lamp", 2, [quad_xz(35, 65, 79.9, 35, 65, up=False)])]
    s.append(obj("walls", "white", 12, [toward(f, inside) for f in walls
                                          if centroid(f)[1] != 0]))
    s.append(obj("floor", "polished", 12, [quad_xz(0, 100, 0, 0, 100, up=True)]))
    s.append(obj("satin-block", "satin-red", 6, outward_box(10, 30, 0, 30, 30, 50)))
    s.append(obj("gloss-block", "gloss-green", 6, outward_box(40, 60, 0, 45, 55, 75)))
    s.append(obj("mirror-block", "mirror-blue", 6, outward_box(70, 90, 0, 20, 25, 45)))
    return "".join(s)

def many_lights():
    colours = [(20, 6, 4), (6, 20, 6), (5, 8, 22), (18, 16, 8)]
    s = ["% Sixteen small lamps of four colours over a floor. With 25 or more emitting\n"
         "% surfaces (here 32 patches) the first shot is skipped and every lamp's light\n"
         "% travels with the bundles.\n"
         "cmr lamps\n  0 30 -240   0 0.12 1   0 1 0\n  1  1 0.8  0 0  0\nend\n"]
    for k, c in enumerate(colours):
        s.append(material(f"lamp{k}", (0.8, 0.8, 0.8), emission=c))
    s.append(material("white", (0.75, 0.75, 0.75)))
    for i in range(4):
        for j in range(4):
            x, z = -75 + 50 * i, -75 + 50 * j
            s.append(obj(f"lamp-{i}-{j}", f"lamp{(i + j) % 4}", 1,
                         [quad_xz(x - 7, x + 7, 60, z - 7, z + 7, up=False)]))
    s.append(obj("floor", "white", 24, [quad_xz(-100, 100, 0, -100, 100, up=True)]))
    back = [(-100, 0, 100), (100, 0, 100), (100, 100, 100), (-100, 100, 100)]
    s.append(obj("back-wall", "white", 16, [toward(back, (0, 50, 0))]))
    return "".join(s)

def transforms():
    s = ["% Objects placed by transform statements, size and position. The spiral\n"
         "% stair repeats one step: each transform statement composes a turn of 30\n"
         "% degrees about y and a rise of 8 onto the current transformation, which\n"
         "% applies to every later object and is never reset.\n"
         "cmr stair\n  0 110 -260   0 -0.25 1   0 1 0\n  1  1 1  0 0  0\nend\n",
         material("lamp", (0.8, 0.8, 0.8), emission=(14, 13, 12)),
         material("floor", (0.45, 0.55, 0.6)),
         material("step", (0.75, 0.7, 0.6)),
         material("column", (0.3, 0.3, 0.7), 1, (0.3, 15)),
         "sky 0.3 0.2 0.1 end\n",
         obj("lamp", "lamp", 2, [quad_xz(-30, 30, 180, -30, 30, up=False)])]
    # A unit square, scaled by 120 and moved below the stair.
    s.append(obj("floor", "floor", 20, [quad_xz(-1, 1, 0, -1, 1, up=True)],
                 " size 120 position 0 -0.01 0"))
    # A slim box made eight times larger about the origin: the central column.
    s.append(obj("column", "column", 8, outward_box(-1, 1, 0, 13.75, -1, 1), " size 8"))
    step = outward_box(10, 55, 0, 5, -8, 8)
    a = math.radians(30)
    c, sn = math.cos(a), math.sin(a)
    turn = f"transform {c:.9g} 0 {-sn:.9g} 0  0 1 0 0  {sn:.9g} 0 {c:.9g} 0  0 8 0 1\n"
    for k in range(12):
        s.append(obj(f"step{k + 1}", "step", 4, step))
        s.append(turn)
    return "".join(s)

here = os.path.dirname(os.path.abspath(__file__))
for name, make in (("glossy", glossy), ("many-lights", many_lights), ("transforms", transforms)):
    with open(os.path.join(here, "..", name + ".sce"), "w") as f:
        f.write(make())
