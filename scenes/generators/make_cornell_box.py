#!/usr/bin/env python3
"""Writes scenes/cornell-box.sce from the published measurements of the box.

Every polygon is written as triangles (the box's quadrilaterals are not
parallelograms, and a quadrilateral is subdivided on the parallelogram at its
first corner), with its corners ordered so that its front faces the inside of
the room, or the outside of a block."""
import sys

WHITE = (0.725, 0.71, 0.68)   # red, green, blue
RED = (0.63, 0.065, 0.05)
GREEN = (0.14, 0.45, 0.091)
LIGHT = (17, 12, 4)  # the published radiance: lit walls stay below 1, the lamp itself saturates
ROOM_INSIDE = (278, 274, 280)

def sub(a, b): return tuple(x - y for x, y in zip(a, b))
def cross(a, b): return (a[1]*b[2]-a[2]*b[1], a[2]*b[0]-a[0]*b[2], a[0]*b[1]-a[1]*b[0])
def dot(a, b): return sum(x * y for x, y in zip(a, b))
def centroid(ps): return tuple(sum(c) / len(ps) for c in zip(*ps))

def facing(corners, toward):
    """The corners in the order whose normal points to `toward` (a point)."""
    n = cross(sub(corners[1], corners[0]), sub(corners[2], corners[0]))
    return corners if dot(n, sub(toward, centroid(corners))) > 0 else corners[::-1]

def facing_away(corners, point):
    c = centroid(corners)
    return facing(corners, tuple(2 * x - y for x, y in zip(c, point)))

def spectrum(rgb):
    r, g, b = rgb  # channel 0 is shown as blue, 2 as red
    return f"spctrl 0 {b:g} 0 {g:g} 0 {r:g}"

def material(name, rgb):
    return f"nmdMtrl {name} lmbrtn {spectrum(rgb)} 1 end end end\n"

def obj(name, mtrl, tess, corners, out):
    """One object of triangles fanned from the first corner."""
    verts = " ".join(f"{x:g} {y:g} {z:g}" for x, y, z in corners)
    polys = "".join(f"    plygn 0 {i} {i + 1} end\n" for i in range(1, len(corners) - 1))
    out.append(f"plnrMsh {name} mtrlNm {mtrl} end tessellate {tess}\n"
               f"  vrtxPstn {verts} end\n  cmplxPly\n{polys}  end\nend\n")

def block(name, top, height_sides, tess, out):
    obj(name + "-top", "white", tess, facing(top, (0, 10000, 0)), out)
    center = centroid(top)
    center = (center[0], top[0][1] / 2, center[2])
    for k, (p, q) in enumerate(height_sides):
        y = top[0][1]
        quad = [(p[0], y, p[1]), (p[0], 0, p[1]), (q[0], 0, q[1]), (q[0], y, q[1])]
        obj(f"{name}-side{k + 1}", "white", tess, facing_away(quad, center), out)

def main():
    out = ["% The Cornell box, from the published measurements of the real box\n"
           "% (millimetres, y up). Written by scenes/generators/make_cornell_box.py.\n",
           "cmr classic\n  278 273 -800   0 0 1   0 1 0\n  35  25 25  0 0  0\nend\n",
           f"nmdMtrl light pLmnr lmbrtn {spectrum((0.78, 0.78, 0.78))} 1 end end\n"
           f"  {spectrum(LIGHT)} end end\nend\n",
           material("white", WHITE), material("red", RED), material("green", GREEN)]
    # The light comes first: emitting objects must lead the file. It is a
    # rectangle, so it may stay a quadrilateral; 2 x 2 x 2 = 8 emitting patches.
    light = [(343, 548.7, 227), (343, 548.7, 332), (213, 548.7, 332), (213, 548.7, 227)]
    verts = " ".join(f"{x:g} {y:g} {z:g}" for x, y, z in facing(light, (278, 0, 280)))
    out.append(f"plnrMsh light mtrlNm light end tessellate 2\n  vrtxPstn {verts} end\n"
               "  cmplxPly\n    plygn 0 1 2 3 end\n  end\nend\n")
    walls = [
        ("floor", "white", [(552.8, 0, 0), (0, 0, 0), (0, 0, 559.2), (549.6, 0, 559.2)]),
        ("ceiling", "white", [(556, 548.8, 0), (556, 548.8, 559.2), (0, 548.8, 559.2), (0, 548.8, 0)]),
        ("back-wall", "white", [(549.6, 0, 559.2), (0, 0, 559.2), (0, 548.8, 559.2), (556, 548.8, 559.2)]),
        ("right-wall", "green", [(0, 0, 559.2), (0, 0, 0), (0, 548.8, 0), (0, 548.8, 559.2)]),
        ("left-wall", "red", [(552.8, 0, 0), (549.6, 0, 559.2), (556, 548.8, 559.2), (556, 548.8, 0)]),
    ]
    for name, mtrl, corners in walls:
        obj(name, mtrl, 20, facing(corners, ROOM_INSIDE), out)
    block("short-block", [(130, 165, 65), (82, 165, 225), (240, 165, 272), (290, 165, 114)],
          [((290, 114), (240, 272)), ((130, 65), (290, 114)), ((82, 225), (130, 65)), ((240, 272), (82, 225))], 10, out)
    block("tall-block", [(423, 330, 247), (265, 330, 296), (314, 330, 456), (472, 330, 406)],
          [((423, 247), (472, 406)), ((472, 406), (314, 456)), ((314, 456), (265, 296)), ((265, 296), (423, 247))], 10, out)
    sys.stdout.write("".join(out))

main()
