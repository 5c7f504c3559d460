#include "solver/patch.h"

void Patch::updateOutgoing(const Vector&, const Vector&, const PointLight*, int, int) {}
void Patch::updateEyeTerms(const Vector&, const PointLight*) {}
