// AABB.h -- an axis-aligned box collider: base size at scale 1, refitted to
// the owner's scale; rotation is ignored.
#pragma once

#include "core/Collider2D.h"

class AABB : public Collider2D {
public:
    // `size` is the box at scale 1 ((1, 1) for boxes made from map objects).
    explicit AABB(Vec2 size = {1.0f, 1.0f});

    void UpdateTransform(const Vec2& position, float rotation, const Vec2& scale) override;
    bool TestOrientedBox(const Collider2D& other) const override;
    bool TestBox(const Collider2D& other) const override;
    bool TestCircle(const Collider2D& other) const override;
    bool TestLine(const Collider2D& other) const override;
    bool TestPoint(const Collider2D& other) const override;
    // Pushes a circle out of the box.
    CollisionResult Resolve(const Collider2D& other) const override;

    Vec2 halfExtents; // world units, derived from size and scale
    Vec2 size;        // world units at scale 1
};
