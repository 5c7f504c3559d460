#include "app/scene.h"

void Scene::renderFace(const Vector&, const Vector&, const Vector&, bool) {}
