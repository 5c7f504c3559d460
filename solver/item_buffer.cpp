// Item-buffer visibility: cube faces of patch identifiers rendered around a
// point and turned into the solid angle under which it sees every patch.
#include "solver/item_buffer.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <string>

#include "base/fatal_error.h"
#include "solver/depth_pass.h"
#include "solver/solver_state.h"
#include "solver/view_pyramid.h"

namespace {
// The weight of a pixel of block indices (i, j): the solid angle of a pixel
// at the block's centre on a face at distance 1 of half-width 1.
float blockWeight(int i, int j) {
    double x = (ItemBuffer::kBlock * i + ItemBuffer::kBlock / 2) / double(ItemBuffer::kHalfSize);
    double y = (ItemBuffer::kBlock * j + ItemBuffer::kBlock / 2) / double(ItemBuffer::kHalfSize);
    double r = std::sqrt(x * x + y * y + 1.0);
    return static_cast<float>(ItemBuffer::kPixelWeight / (r * r * r));
}

const char* const kScreenError =
    "\n\nThe screen has less than 600x600 resolution or it is not in true color mode!\n"
    "Start again with a higher resolution screen in true color\n";
}  // namespace

void ItemBuffer::buildWeights() {
    if (hasWeights()) return;
    weights_.assign(kTableSize, 0.0f);
    std::vector<bool> written(kTableSize, false);
    // Pairs with the same i² + j² overwrite one another: the last one decides.
    for (int i = 0; i < kLastBlock; ++i)
        for (int j = 0; j < kLastBlock; ++j) {
            weights_[i * i + j * j] = blockWeight(i, j);
            written[i * i + j * j] = true;
        }
    // Block 35 holds only the leftmost column and the bottom row of a full
    // face; its sums that no smaller pair gives get the same formula.
    for (int i = 0; i <= kLastBlock; ++i)
        for (int j = 0; j <= kLastBlock; ++j)
            if ((i == kLastBlock || j == kLastBlock) && !written[i * i + j * j])
                weights_[i * i + j * j] = blockWeight(i, j);
}

const uint8_t* ItemBuffer::readBack(bool fullFace, int& firstRowOffset) {
    pixels_.resize(static_cast<size_t>(kSize) * kSize * 3);
    int firstRow = fullFace ? 0 : kHalfSize;
    int rows = fullFace ? kSize : kHalfSize;
    // Rows of 1680 bytes need no padding at any pack alignment.
    glReadPixels(0, firstRow, kSize, rows, GL_RGB, GL_UNSIGNED_BYTE, pixels_.data());
    firstRowOffset = firstRow - kHalfSize;
    return pixels_.data();
}

namespace {
// Loads the 90-degree face projection of one depth pass.
void loadFaceProjection(const DepthPass& pass) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, 1.0, pass.nearPlane, pass.farPlane);
    glMatrixMode(GL_MODELVIEW);
}

// Loads the face camera with the first pass's planes and the state of an
// identifier rendering.
void setUpFace(const Vector& eye, const Vector& direction, const Vector& up, bool fullFace,
               const DepthPass& firstPass) {
    loadFaceProjection(firstPass);
    glLoadIdentity();
    Vector target = eye + direction * 0.1;
    gluLookAt(eye.x, eye.y, eye.z, target.x, target.y, target.z, up.x, up.y, up.z);
    // Colours are identifiers: no blending of neighbours, no dithering.
    glShadeModel(GL_FLAT);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_DITHER);
    if (fullFace) {
        glDisable(GL_CLIP_PLANE1);
    } else {
        // Given after the look-at, the plane is in world coordinates: keep
        // the points p with up · (p − eye) ≥ 0, the upper half of the image.
        const GLdouble plane[4] = {up.x, up.y, up.z, -dot(up, eye)};
        glClipPlane(GL_CLIP_PLANE1, plane);
        glEnable(GL_CLIP_PLANE1);
    }
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// Every patch as one flat triangle in the colour of its identifier, index + 1.
void drawIdentifiers(const std::vector<Patch*>& patches) {
    glBegin(GL_TRIANGLES);
    for (size_t index = 0; index < patches.size(); ++index) {
        unsigned int id = static_cast<unsigned int>(index + 1);
        glColor3ub(id & 255, (id >> 8) & 255, (id >> 16) & 255);
        for (const Vertex* v : patches[index]->vertices)
            glVertex3d(v->position.x, v->position.y, v->position.z);
    }
    glEnd();
}

// The scene goes to the GL once; the list keeps the positions of the first
// call, so every face must be rendered before the scene moves.
void drawScene(ItemBuffer& buffer, const std::vector<Patch*>& patches) {
    if (buffer.displayList != 0) {
        glCallList(buffer.displayList);
    } else if ((buffer.displayList = glGenLists(1)) != 0) {
        glNewList(buffer.displayList, GL_COMPILE_AND_EXECUTE);
        drawIdentifiers(patches);
        glEndList();
    } else {
        drawIdentifiers(patches);  // no list name to be had: draw directly
    }
}
}  // namespace

void SolverState::renderFace(const Vector& eye, const Vector& faceDirection, const Vector& up,
                             bool fullFace) {
    if (!hasGLContext) return;
    if (patchCount() > limits::kMaxPatches)
        fatalError(-1, "The item buffer tells apart at most 16777215 patches; the scene has " +
                           std::to_string(patchCount()) + ".\n");
    itemBuffer_->buildWeights();
    // Near and far planes that hold every patch the face sees, in passes
    // from the farthest to the nearest, each over the last one.
    const std::vector<DepthPass> passes = itemBufferDepthPasses(
        ViewPyramid::itemBufferFace(eye, faceDirection, up, fullFace).depthsOf(patches));
    setUpFace(eye, faceDirection, up, fullFace, passes.front());
    for (size_t i = 0; i < passes.size(); ++i) {
        if (i > 0) {
            loadFaceProjection(passes[i]);
            glClear(GL_DEPTH_BUFFER_BIT);
        }
        drawScene(*itemBuffer_, patches);
    }
    accumulateCoverage(fullFace);
    if (swapBuffers) swapBuffers();
}

void SolverState::accumulateCoverage(bool fullFace) {
    int y = 0;
    const uint8_t* pixel = itemBuffer_->readBack(fullFace, y);
    int rows = fullFace ? ItemBuffer::kSize : ItemBuffer::kHalfSize;
    for (int row = 0; row < rows; ++row, ++y)
        for (int x = -ItemBuffer::kHalfSize; x < ItemBuffer::kHalfSize; ++x, pixel += 3) {
            int id = ItemBuffer::identifier(pixel);
            if (id == 0) continue;
            // A colour the frame buffer did not keep exactly.
            if (id > patchCount()) fatalError(-1, kScreenError);
            patches[id - 1]->coverage += static_cast<double>(itemBuffer_->weight(x, y));
        }
}
