// Line2D -- segment collider and the first-contact queries.
#include "core/Line2D.h"

#include "core/AABB.h"
#include "core/Circle2D.h"
#include "core/CollisionMath.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
// Segments read from a room file are a little forgiving at their edges.
constexpr float kMapLineMargin = 1.0f;
// How deep behind its front face a wall segment still pushes a circle back.
constexpr float kWallDepth = 20.0f;

float Cross(Vec2 a, Vec2 b) {
    return a.x * b.y - a.y * b.x;
}
} // namespace

Line2D::Line2D() {
    type = ColliderLine;
}

Line2D::Line2D(Vec2 a, Vec2 b, Vec2 n) : start(a), end(b) {
    type = ColliderLine;
    centre = (a + b) * 0.5f;
    if (NearlyEqual(n.x, 0.0f) && NearlyEqual(n.y, 0.0f))
        normal = Normalized({-(b.y - a.y), b.x - a.x});
    else
        normal = n;
}

bool Line2D::FromPolyline(const char* text, Vec2 origin, Line2D& out) {
    if (!text)
        return false;
    Vec2 points[2];
    const char* p = text;
    for (Vec2& point : points) {
        char* next = nullptr;
        point.x = std::strtof(p, &next);
        if (next == p || *next != ',')
            return false;
        p = next + 1;
        point.y = std::strtof(p, &next);
        if (next == p)
            return false;
        p = next;
    }
    out =
        Line2D(Vec2{points[0].x, -points[0].y} + origin, Vec2{points[1].x, -points[1].y} + origin);
    out.margin = kMapLineMargin;
    return true;
}

void Line2D::UpdateTransform(const Vec2& position, float rotation, const Vec2& scale) {}

bool Line2D::TestPoint(const Collider2D& other) const {
    if (!BothEnabled(other))
        return false;
    const Vec2 p = other.centre;
    return BetweenEnds(start, end, p) && Dot(normal, p - start) == 0.0f;
}

bool Line2D::TestCircle(const Collider2D& other) const {
    if (!BothEnabled(other))
        return false;
    const Circle2D& circle = static_cast<const Circle2D&>(other);
    return circle.radius > DistanceToSegment(circle.centre, start, end) + margin;
}

bool Line2D::TestBox(const Collider2D& other) const {
    if (!BothEnabled(other))
        return false;
    const AABB& box = static_cast<const AABB&>(other);
    float t0, t1;
    return ClipSegmentToBox(start, end, box.centre, box.halfExtents, t0, t1);
}

CollisionResult Line2D::Resolve(const Collider2D& other) const {
    if (!BothEnabled(other) || other.type != ColliderCircle)
        return {};
    const Circle2D& circle = static_cast<const Circle2D&>(other);
    if (!BetweenEnds(start, end, circle.centre))
        return {};
    const float s = Dot(normal, circle.centre - centre) - circle.radius;
    if (s < 0.0f && s >= -kWallDepth)
        return {-s * normal.x, -s * normal.y, true};
    return {};
}

ContactPoint Line2D::IntersectLine(const Line2D& other) const {
    const Vec2 r = end - start;
    const Vec2 s = other.end - other.start;
    const float denominator = Cross(r, s);
    if (denominator == 0.0f)
        return {};
    const float t = Cross(other.start - start, s) / denominator;
    if (t < 0.0f || t > 1.0f)
        return {};
    const Vec2 p = start + r * t;
    return {p.x, p.y, true};
}

// The entry is taken where the segment first reaches the circle, so a
// segment that ends inside a circle whose centre lies past the end still
// meets it, and a start already inside meets it at the start.
ContactPoint Line2D::IntersectCircle(const Circle2D& circle) const {
    const Vec2 along = end - start;
    const float length = Length(along);
    if (length <= 0.0f)
        return {};
    const Vec2 u = along / length;
    const float footDistance = Dot(circle.centre - start, u);
    if (footDistance <= 0.0f)
        return {};
    const Vec2 foot = start + u * footDistance;
    const float d = Length(circle.centre - foot);
    if (d > circle.radius)
        return {};
    if (std::fabs(d - circle.radius) <= 1.1920929e-07f)
        return footDistance <= length ? ContactPoint{foot.x, foot.y, true} : ContactPoint{};
    const float entry = footDistance - std::sqrt(circle.radius * circle.radius - d * d);
    if (entry > length)
        return {};
    const Vec2 p = start + u * std::max(entry, 0.0f);
    return {p.x, p.y, true};
}

ContactPoint Line2D::IntersectBox(const AABB& box) const {
    float t0, t1;
    if (!ClipSegmentToBox(start, end, box.centre, box.halfExtents, t0, t1))
        return {};
    const Vec2 p = start + (end - start) * std::max(t0, 0.0f);
    return {p.x, p.y, true};
}
