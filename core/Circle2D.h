// Circle2D.h -- a circle collider at the owner's position plus an offset,
// its radius following the smaller of the owner's scales.
#pragma once

#include "core/Collider2D.h"

class Circle2D : public Collider2D {
public:
    explicit Circle2D(float baseRadius, Vec2 offset = {0.0f, 0.0f});

    void UpdateTransform(const Vec2& position, float rotation, const Vec2& scale) override;
    bool TestBox(const Collider2D& other) const override;
    bool TestCircle(const Collider2D& other) const override;
    bool TestLine(const Collider2D& other) const override;
    bool TestPoint(const Collider2D& other) const override;
    // Pushes another circle away from this one.
    CollisionResult Resolve(const Collider2D& other) const override;

    Vec2 offset;      // world units, neither scaled nor mirrored
    float baseRadius; // world units at scale 1
    float radius;     // world units, derived
};
