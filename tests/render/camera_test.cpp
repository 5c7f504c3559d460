// The camera options and the final image's frustum.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "render/camera_override.h"
#include "render/image_camera.h"

namespace {
Camera offCentreCamera() {
    Camera c;
    c.eye = Vector(0, 0, -10);
    c.viewDirection = Vector(0, 0, 1);
    c.up = Vector(0, 1, 0);
    c.windowDistance = 1.0;
    c.windowWidth = 2.0;
    c.windowHeight = 1.0;
    c.windowCenterX = 0.1;
    c.windowCenterY = 0.2;
    return c;
}
}  // namespace

TEST(CameraOverride, ChangesOnlyWhatIsGivenAndRefusesCamerasWithoutAView) {
    std::string error;
    Camera moved = offCentreCamera();
    CameraOverride eye;
    eye.hasEye = true;
    eye.eye = Vector(5, 0, -10);
    ASSERT_TRUE(eye.applyTo(moved, error)) << error;
    EXPECT_EQ(moved.eye, Vector(5, 0, -10));
    EXPECT_EQ(moved.viewDirection, Vector(0, 0, 1));
    EXPECT_EQ(moved.windowCenterX, 0.1);  // a moved camera keeps its framing

    Camera turned = offCentreCamera();
    CameraOverride look;
    look.hasLookAt = look.hasFov = true;
    look.lookAt = Vector(10, 0, 0);
    look.fovDegrees = 90.0;
    ASSERT_TRUE(look.applyTo(turned, error)) << error;
    EXPECT_NEAR(turned.viewDirection.x, std::sqrt(0.5), 1e-15);
    EXPECT_NEAR(turned.viewDirection.z, std::sqrt(0.5), 1e-15);
    EXPECT_EQ(turned.windowCenterX, 0.0);          // the point looked at is centred
    EXPECT_NEAR(turned.windowHeight, 2.0, 1e-12);  // 2 · distance · tan 45°
    EXPECT_NEAR(turned.windowWidth, 4.0, 1e-12);   // the window keeps its shape
    EXPECT_EQ(turned.windowDistance, 1.0);

    Camera c = offCentreCamera();
    look.lookAt = c.eye;
    EXPECT_FALSE(look.applyTo(c, error));
    EXPECT_EQ(error, "--look-at 0,0,-10 is the eye itself: the camera has no direction");
    CameraOverride up;
    up.hasUp = true;
    for (Vector along : {Vector(0, 0, -5), Vector(0, 0, 0)}) {
        c = offCentreCamera();
        up.up = along;
        EXPECT_FALSE(up.applyTo(c, error));
    }
    EXPECT_EQ(error,
              "the camera's up vector 0,0,0 lies along its view direction 0,0,1: give "
              "another --up");
    c.up = Vector(0, 0, 1);  // the scene's own camera is left as it is
    EXPECT_TRUE(CameraOverride().applyTo(c, error));
}

TEST(ImageCamera, KeepsTheVerticalViewAndSquarePixels) {
    Camera c = offCentreCamera();  // a window twice as wide as high
    for (int width : {100, 200, 50}) {
        Camera image = imageCamera(c, width, 100);
        EXPECT_DOUBLE_EQ(image.windowHeight, c.windowHeight);
        EXPECT_DOUBLE_EQ(image.windowWidth, c.windowHeight * width / 100);
        EXPECT_EQ(image.windowCenterX, c.windowCenterX);
        EXPECT_EQ(image.windowCenterY, c.windowCenterY);
        EXPECT_EQ(image.windowDistance, c.windowDistance);
    }
}
