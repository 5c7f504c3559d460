#include "app/scene.h"

void Scene::readObject(TokenReader&) {}
