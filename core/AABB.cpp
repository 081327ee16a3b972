// AABB -- axis-aligned box collider.
#include "core/AABB.h"

#include "core/Circle2D.h"
#include "core/CollisionMath.h"
#include "core/Line2D.h"
#include "core/OrientedBox.h"

#include <algorithm>
#include <cmath>

AABB::AABB(Vec2 boxSize) : halfExtents(boxSize * 0.5f), size(boxSize) {
    type = ColliderBox;
}

void AABB::UpdateTransform(const Vec2& position, float rotation, const Vec2& scale) {
    centre = position;
    // A mirrored owner keeps the same box.
    halfExtents = {std::fabs(scale.x) * 0.5f * size.x, std::fabs(scale.y) * 0.5f * size.y};
}

bool AABB::TestPoint(const Collider2D& other) const {
    if (!BothEnabled(other))
        return false;
    return std::fabs(other.centre.x - centre.x) < halfExtents.x &&
           std::fabs(other.centre.y - centre.y) < halfExtents.y;
}

bool AABB::TestBox(const Collider2D& other) const {
    if (!BothEnabled(other))
        return false;
    const AABB& box = static_cast<const AABB&>(other);
    return std::fabs(box.centre.x - centre.x) < halfExtents.x + box.halfExtents.x &&
           std::fabs(box.centre.y - centre.y) < halfExtents.y + box.halfExtents.y;
}

bool AABB::TestCircle(const Collider2D& other) const {
    if (!BothEnabled(other))
        return false;
    const Circle2D& circle = static_cast<const Circle2D&>(other);
    return BoxOverlapsCircle(centre, halfExtents, circle.centre, circle.radius);
}

// The box centre projected on the segment's infinite line must lie inside
// the box.
bool AABB::TestLine(const Collider2D& other) const {
    if (!BothEnabled(other))
        return false;
    const Line2D& line = static_cast<const Line2D&>(other);
    const Vec2 u = Normalized(line.end - line.start);
    const Vec2 q = line.start + u * Dot(centre - line.start, u);
    return std::fabs(centre.x - q.x) < halfExtents.x && std::fabs(centre.y - q.y) < halfExtents.y;
}

namespace {
// Projects the four corners centre +- a +- b on axis and returns the range.
void ProjectCorners(Vec2 c, Vec2 a, Vec2 b, Vec2 axis, float& lo, float& hi) {
    const Vec2 corners[4] = {c + a + b, c + a - b, c - a + b, c - a - b};
    lo = hi = Dot(corners[0], axis);
    for (const Vec2& p : corners) {
        const float v = Dot(p, axis);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
}
} // namespace

// Separating axes: the two world axes and the oriented box's two axes.
bool AABB::TestOrientedBox(const Collider2D& other) const {
    if (!BothEnabled(other))
        return false;
    const OrientedBox& box = static_cast<const OrientedBox&>(other);
    const Vec2 ownA{halfExtents.x, 0.0f};
    const Vec2 ownB{0.0f, halfExtents.y};
    const Vec2 otherA = box.halfAxisA * box.boxScale;
    const Vec2 otherB = box.halfAxisB * box.boxScale;
    const Vec2 axes[4] = {{1.0f, 0.0f}, {0.0f, 1.0f}, box.halfAxisA, box.halfAxisB};
    for (const Vec2& axis : axes) {
        if (LengthSq(axis) == 0.0f)
            continue;
        float lo0, hi0, lo1, hi1;
        ProjectCorners(centre, ownA, ownB, axis, lo0, hi0);
        ProjectCorners(box.centre, otherA, otherB, axis, lo1, hi1);
        if (hi0 <= lo1 || hi1 <= lo0)
            return false;
    }
    return true;
}

CollisionResult AABB::Resolve(const Collider2D& other) const {
    if (!BothEnabled(other) || other.type != ColliderCircle)
        return {};
    const Circle2D& circle = static_cast<const Circle2D&>(other);
    const Vec2 c = circle.centre;
    const Vec2 q{std::clamp(c.x, centre.x - halfExtents.x, centre.x + halfExtents.x),
                 std::clamp(c.y, centre.y - halfExtents.y, centre.y + halfExtents.y)};
    const float d = Length(q - c);
    if (circle.radius <= d)
        return {};
    if (d > 0.0f) {
        const Vec2 push = (q - c) / d * (d - circle.radius);
        return {push.x, push.y, true};
    }
    // The centre is inside the box: leave through the nearest side.
    const Vec2 rel = c - centre;
    const float outX = halfExtents.x - std::fabs(rel.x) + circle.radius;
    const float outY = halfExtents.y - std::fabs(rel.y) + circle.radius;
    if (outX <= outY)
        return {rel.x < 0.0f ? -outX : outX, 0.0f, true};
    return {0.0f, rel.y < 0.0f ? -outY : outY, true};
}
