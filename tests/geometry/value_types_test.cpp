#include <gtest/gtest.h>

#include "base/random.h"
#include "geometry/color.h"
#include "geometry/matrix.h"
#include "geometry/vector.h"

TEST(Vector, NormalizeShortVectorGivesZAxis) {
    EXPECT_EQ(normalized(Vector(0, 0, 0)), Vector(0, 0, 1));
    EXPECT_EQ(normalized(Vector(1e-5, 0, 0)), Vector(0, 0, 1));
    EXPECT_EQ(normalized(Vector(0, 1.1e-5, 0)), Vector(0, 1, 0));
    Vector v(3, 0, 4);
    EXPECT_EQ(v.normalize(), Vector(0.6, 0, 0.8));
    EXPECT_EQ(v, Vector(0.6, 0, 0.8));  // in place too
}

TEST(Vector, ProductsFollowRightHandRule) {
    EXPECT_EQ(cross(Vector(1, 0, 0), Vector(0, 1, 0)), Vector(0, 0, 1));
    EXPECT_EQ(cross(Vector(0, 1, 0), Vector(1, 0, 0)), Vector(0, 0, -1));
    EXPECT_EQ(dot(Vector(1, 2, 3), Vector(4, -5, 6)), 12.0);
}

TEST(Color, ChannelwiseArithmetic) {
    EXPECT_EQ(Color(0.5), Color(0.5, 0.5, 0.5));
    EXPECT_EQ(Color(1, 2, 3) * Color(2, 3, 4), Color(2, 6, 12));
    EXPECT_EQ(Color(2, 6, 12) / Color(2, 3, 4), Color(1, 2, 3));
    Color c(1, 2, 3);
    c += Color(1);
    c *= 2.0;
    EXPECT_EQ(c, Color(4, 6, 8));
}

namespace {
Matrix translation(double x, double y, double z) {
    Matrix m = Matrix::identity();
    m(3, 0) = x;
    m(3, 1) = y;
    m(3, 2) = z;
    return m;
}
Matrix scaling(double s) {
    Matrix m = Matrix::identity();
    m(0, 0) = m(1, 1) = m(2, 2) = s;
    return m;
}
}  // namespace

TEST(Matrix, ComposeAppliesEarlierTransformFirst) {
    Matrix b = translation(5, 0, 0);
    EXPECT_EQ(Matrix::identity().compose(b).transformPoint(Vector(1, 1, 1)), Vector(6, 1, 1));
    Matrix ts = translation(5, 0, 0);
    ts.compose(scaling(2));  // translate, then scale the result
    EXPECT_EQ(ts.transformPoint(Vector(1, 0, 0)), Vector(12, 0, 0));
    Matrix st = scaling(2);
    st.compose(translation(5, 0, 0));
    EXPECT_EQ(st.transformPoint(Vector(1, 0, 0)), Vector(7, 0, 0));
}

TEST(Matrix, HomogeneousDivideOnlyOutsideTheWindow) {
    Matrix m = Matrix::identity();
    m(3, 3) = 2.0;
    EXPECT_EQ(m.transformPoint(Vector(2, 4, 6)), Vector(1, 2, 3));
    m(3, 3) = 1.0000005;  // inside [0.9999999, 1.000001]: not divided
    EXPECT_EQ(m.transformPoint(Vector(2, 4, 6)), Vector(2, 4, 6));
    m(3, 3) = 0.0;  // w = 0: left undivided
    EXPECT_EQ(m.transformPoint(Vector(2, 4, 6)), Vector(2, 4, 6));
}

TEST(Random, FixedSequenceFromStateOne) {
    Random r;
    EXPECT_EQ(r.next(), 41);
    EXPECT_EQ(r.next(), 18467);
    EXPECT_EQ(r.next(), 6334);
    EXPECT_EQ(r.next(), 26500);
}
