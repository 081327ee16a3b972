// Collider2D.h -- base of the collision shapes a visual may own.
#pragma once

#include "game/Vec2.h"

class Collider2D {
public:
    virtual ~Collider2D() = default;
    // Refits the shape to the owner's world position, rotation (radians) and
    // scale (world units).
    virtual void UpdateTransform(const Vec2& position, float rotation, const Vec2& scale) = 0;

    bool enabled = true; // a disabled collider touches nothing
};
