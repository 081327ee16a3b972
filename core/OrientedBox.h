// OrientedBox.h -- a box given by two half-axis vectors and a scale. The
// game builds none of its own; boxes can test against it.
#pragma once

#include "core/Collider2D.h"

class OrientedBox : public Collider2D {
public:
    OrientedBox(Vec2 axisA, Vec2 axisB, float scale = 1.0f);

    Vec2 halfAxisA; // world units at scale 1
    Vec2 halfAxisB; // world units at scale 1
    float boxScale; // multiplies both half axes
};
