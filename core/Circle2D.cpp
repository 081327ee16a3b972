// Circle2D -- circle collider.
#include "core/Circle2D.h"

#include "core/AABB.h"
#include "core/CollisionMath.h"
#include "core/Line2D.h"

#include <algorithm>
#include <cmath>

Circle2D::Circle2D(float base, Vec2 off) : offset(off), baseRadius(base), radius(base) {
    type = ColliderCircle;
}

void Circle2D::UpdateTransform(const Vec2& position, float rotation, const Vec2& scale) {
    radius = std::min(std::fabs(scale.x), std::fabs(scale.y)) * baseRadius;
    centre = position + offset;
}

bool Circle2D::TestPoint(const Collider2D& other) const {
    return BothEnabled(other) && Length(other.centre - centre) < radius;
}

bool Circle2D::TestCircle(const Collider2D& other) const {
    if (!BothEnabled(other))
        return false;
    const Circle2D& circle = static_cast<const Circle2D&>(other);
    return Length(circle.centre - centre) < radius + circle.radius;
}

bool Circle2D::TestBox(const Collider2D& other) const {
    if (!BothEnabled(other))
        return false;
    const AABB& box = static_cast<const AABB&>(other);
    return BoxOverlapsCircle(box.centre, box.halfExtents, centre, radius);
}

bool Circle2D::TestLine(const Collider2D& other) const {
    if (!BothEnabled(other))
        return false;
    const Line2D& line = static_cast<const Line2D&>(other);
    return radius > DistanceToSegment(centre, line.start, line.end) + line.margin;
}

CollisionResult Circle2D::Resolve(const Collider2D& other) const {
    if (!BothEnabled(other) || other.type != ColliderCircle)
        return {};
    const Circle2D& circle = static_cast<const Circle2D&>(other);
    const Vec2 v = circle.centre - centre;
    const float d = Length(v);
    const float sum = radius + circle.radius;
    if (sum <= d)
        return {};
    // Two circles on the same spot: push sideways rather than divide by 0.
    const Vec2 push = d > 0.0f ? v / d * (sum - d) : Vec2{sum, 0.0f};
    return {push.x, push.y, true};
}
