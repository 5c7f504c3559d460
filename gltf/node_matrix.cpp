#include "gltf/node_matrix.h"

#include <cmath>

namespace {
bool hasLength(const std::vector<double>& values, size_t length, const char* name,
               std::string& error) {
    if (values.empty() || values.size() == length) return true;
    error = std::string("its ") + name + " has " + std::to_string(values.size()) +
            " numbers instead of " + std::to_string(length);
    return false;
}

// The rotation of the unit quaternion (x, y, z, w) as a 3 × 3 matrix for column
// vectors, R(r, c) at r · 3 + c.
void rotationMatrix(double x, double y, double z, double w, double r[9]) {
    r[0] = 1 - 2 * (y * y + z * z);
    r[1] = 2 * (x * y - z * w);
    r[2] = 2 * (x * z + y * w);
    r[3] = 2 * (x * y + z * w);
    r[4] = 1 - 2 * (x * x + z * z);
    r[5] = 2 * (y * z - x * w);
    r[6] = 2 * (x * z - y * w);
    r[7] = 2 * (y * z + x * w);
    r[8] = 1 - 2 * (x * x + y * y);
}

bool unitRotation(const std::vector<double>& q, double r[9], std::string& error) {
    if (q.empty()) {
        rotationMatrix(0, 0, 0, 1, r);
        return true;
    }
    double length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    if (!(length > 1e-12) || !std::isfinite(length)) {
        error = "its rotation quaternion has no usable length";
        return false;
    }
    rotationMatrix(q[0] / length, q[1] / length, q[2] / length, q[3] / length, r);
    return true;
}
}  // namespace

bool nodeMatrix(const tinygltf::Node& node, Matrix& local, std::string& error) {
    if (!hasLength(node.matrix, 16, "matrix", error) ||
        !hasLength(node.translation, 3, "translation", error) ||
        !hasLength(node.rotation, 4, "rotation", error) ||
        !hasLength(node.scale, 3, "scale", error))
        return false;
    // glTF stores matrices for column vectors column after column: read row
    // after row, that is the transpose, the matrix for row vectors.
    if (!node.matrix.empty()) {
        for (int i = 0; i < 16; ++i) local.m[i] = node.matrix[i];
        return true;
    }
    double r[9];
    if (!unitRotation(node.rotation, r, error)) return false;
    local = Matrix::identity();
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            double s = node.scale.empty() ? 1.0 : node.scale[column];
            local(column, row) = r[row * 3 + column] * s;  // (T·R·S) transposed
        }
        if (!node.translation.empty()) local(3, row) = node.translation[row];
    }
    return true;
}
