// Line2D.h -- a segment collider in world coordinates with a unit normal.
// Doors and room triggers are segments; so are aim and ray tests.
#pragma once

#include "core/Collider2D.h"

class Line2D : public Collider2D {
public:
    Line2D();
    // A zero `normal` becomes the left-hand perpendicular of start -> end.
    Line2D(Vec2 start, Vec2 end, Vec2 normal = {0.0f, 0.0f});
    // A segment from a map polyline ("x0,y0 x1,y1 ..."): the first two
    // points, y negated, moved by the object's world position `origin`.
    // False, leaving `out` alone, when the text holds fewer than two points.
    static bool FromPolyline(const char* points, Vec2 origin, Line2D& out);

    // Segments stay in world coordinates: nothing to refit.
    void UpdateTransform(const Vec2& position, float rotation, const Vec2& scale) override;
    bool TestBox(const Collider2D& other) const override;
    bool TestCircle(const Collider2D& other) const override;
    bool TestPoint(const Collider2D& other) const override;
    // Keeps circles on the normal's side, up to 20 units deep behind it.
    CollisionResult Resolve(const Collider2D& other) const override;

    // Where this segment crosses the infinite line through `other`.
    ContactPoint IntersectLine(const Line2D& other) const;
    // Where this segment, walked from start, enters the circle.
    ContactPoint IntersectCircle(const Circle2D& circle) const;
    // Where this segment, walked from start, enters the box.
    ContactPoint IntersectBox(const AABB& box) const;

    Vec2 start{0.0f, 0.0f};  // world units
    Vec2 end{0.0f, 0.0f};    // world units
    Vec2 normal{0.0f, 1.0f}; // unit length
    float margin = 0.0f;     // a circle must reach this far past the segment to touch it
};
