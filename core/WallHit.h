// WallHit.h -- the answer of a wall test: a point (a hit, or a correction
// that moves a body out of a wall) and whether there was one.
#pragma once

#include "core/Vec2.h"

struct WallHit {
    Vec2 point{0.0f, 0.0f}; // world units
    bool hit = false;
};

namespace LevelMap {
using ::WallHit; // rooms speak of it in their own namespace
}
