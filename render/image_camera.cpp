#include "render/image_camera.h"

Camera imageCamera(const Camera& camera, int width, int height) {
    Camera image = camera;
    image.windowWidth = camera.windowHeight * width / height;
    return image;
}
