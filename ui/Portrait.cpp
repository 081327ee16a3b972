// Portrait -- the speakers' pictures.
#include "ui/Portrait.h"

Portrait::Portrait() : Animation2D(std::vector<QNGfxMesh*>{}, {}, {}, 0.0f, 0.0f) {}
