#include "app/scene.h"

void Scene::shootFirst() {}
