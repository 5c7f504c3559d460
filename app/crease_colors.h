#pragma once

#include <cstddef>
#include <vector>

#include "geometry/color.h"

struct Patch;
struct Vertex;

// Corner colours of the solved scene that stay sharp across creases, for the
// final image and for meshes written out.
//
// Around every scene vertex, the patches that use it fall into sides: two
// patches are on one side when their normals are at most the crease angle
// apart, or when each is so with a third patch on that side. Each side of a
// vertex becomes one output vertex, so a vertex on a crease becomes one
// vertex per side; its colour is the mean accumulated eye radiance
// (`eyeRadianceSum`) of the patches on that side, each counted once per
// corner it has there. A crease angle of 180 degrees keeps every vertex
// whole: the window's averaging, to the last bit.
//
// Output vertices are numbered from 0 in the order their first corner comes
// in the patch list (patches in list order, corners in order). The work is
// the square of the number of patches around a vertex, summed over vertices.
class CreaseColors {
  public:
    // `patches` as the scene lists them; `creaseDegrees` from 0 to 180. The
    // colours average `values[i]` for patches[i]: their `eyeRadianceSum`
    // (SolverState::eyeRadianceSums) or what a caller makes of it.
    CreaseColors(const std::vector<Patch*>& patches, double creaseDegrees,
                 const std::vector<Color>& values);

    int outputVertexCount() const { return static_cast<int>(colors_.size()); }
    // The output vertex of corner 0, 1 or 2 of patches[patchIndex].
    int outputVertex(int patchIndex, int corner) const {
        return corners_[3 * static_cast<std::size_t>(patchIndex) + corner];
    }
    // The scene vertex (its position) that an output vertex stands at;
    // the sides of one vertex all stand at it.
    const Vertex& sceneVertex(int outputVertex) const { return *sceneVertices_[outputVertex]; }
    // Mean eyeRadianceSum of the output vertex's side; times the scene's
    // displayScale it is the radiance shown.
    const Color& color(int outputVertex) const { return colors_[outputVertex]; }
    const Color& cornerColor(int patchIndex, int corner) const {
        return color(outputVertex(patchIndex, corner));
    }

  private:
    // For every corner, the first corner (in list order) of its side.
    std::vector<int> firstCornersOfSides(const std::vector<Patch*>& patches,
                                         double minimumCosine) const;
    void numberSides(const std::vector<Patch*>& patches, const std::vector<int>& firstCorner,
                     const std::vector<Color>& values);

    std::vector<int> corners_;  // output vertex of every patch corner, 3 per patch
    std::vector<const Vertex*> sceneVertices_;
    std::vector<Color> colors_;
};
