#include <gtest/gtest.h>

#include "geometry/color.h"
#include "geometry/matrix.h"
#include "geometry/vector.h"

TEST(Vector, NormalizeShortVectorGivesZAxis) {
    EXPECT_EQ(normalized(Vector(0, 0, 0)), Vector(0, 0, 1));
    EXPECT_EQ(normalized(Vector(1e-5, 0, 0)), Vector(0, 0, 1));
    EXPECT_EQ(normalized(Vector(3, 0, 4)), Vector(0.6, 0, 0.8));
}
