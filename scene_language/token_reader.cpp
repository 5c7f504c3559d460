#include "app/scene.h"
// stub
