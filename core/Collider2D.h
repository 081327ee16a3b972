// Collider2D.h -- base of the collision shapes a visual may own: a type tag,
// the centre, the on/off switch, the pair tests by double dispatch and the
// push-out of a circle.
#pragma once

#include "core/Vec2.h"

#include <cstdint>

class Circle2D;
class Line2D;
class AABB;
class OrientedBox;

enum ColliderType : int32_t {
    ColliderPoint = 0,       // a bare point: only the centre counts
    ColliderLine = 1,        // Line2D
    ColliderCircle = 2,      // Circle2D
    ColliderBox = 3,         // AABB
    ColliderOrientedBox = 4, // OrientedBox
};

// How far to move a circle's owner to get it out of a shape.
struct CollisionResult {
    float dx = 0.0f; // world units
    float dy = 0.0f; // world units
    bool hit = false;
};

// A first contact along a segment.
struct ContactPoint {
    float x = 0.0f; // world units
    float y = 0.0f;
    bool hit = false;
};

// Relative float equality at the float epsilon, scaled by max(1, |v|).
bool NearlyEqual(float a, float b);

// The base is itself the point collider.
class Collider2D {
public:
    Collider2D() = default;
    virtual ~Collider2D() = default;

    // Refits the shape to the owner's world position, rotation (radians) and
    // scale (world units). A point just follows the position.
    virtual void UpdateTransform(const Vec2& position, float rotation, const Vec2& scale);
    // Overlap with an oriented box.
    virtual bool TestOrientedBox(const Collider2D& other) const;
    // Overlap with an axis-aligned box.
    virtual bool TestBox(const Collider2D& other) const;
    // Overlap with a circle.
    virtual bool TestCircle(const Collider2D& other) const;
    // Overlap with a segment.
    virtual bool TestLine(const Collider2D& other) const;
    // Overlap with other's centre.
    virtual bool TestPoint(const Collider2D& other) const;
    // Overlap with any shape: picks the test for other's type.
    virtual bool Collides(const Collider2D& other) const;
    // The push that moves other, a circle, out of this shape.
    virtual CollisionResult Resolve(const Collider2D& other) const;

    // True when both colliders are switched on; every test starts here.
    bool BothEnabled(const Collider2D& other) const { return enabled && other.enabled; }

    Vec2 centre{0.0f, 0.0f}; // world units
    ColliderType type = ColliderPoint;
    bool enabled = true; // a disabled collider touches nothing
};
