#include "app/scene.h"

void Scene::setUpBundle() {}
void Scene::transferBundle() {}
