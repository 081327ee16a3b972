// CollisionMath -- geometry shared by the collision shapes.
#include "core/CollisionMath.h"

#include <algorithm>
#include <cmath>

bool BoxOverlapsCircle(Vec2 boxCentre, Vec2 half, Vec2 circleCentre, float radius) {
    const float a = std::fabs(circleCentre.x - boxCentre.x);
    const float b = std::fabs(circleCentre.y - boxCentre.y);
    if (a > half.x + radius || b > half.y + radius)
        return false;
    if (a <= half.x || b <= half.y)
        return true;
    const float cx = a - half.x;
    const float cy = b - half.y;
    return cx * cx + cy * cy <= radius * radius;
}

float DistanceToSegment(Vec2 p, Vec2 a, Vec2 b) {
    const Vec2 ab = b - a;
    const float len2 = LengthSq(ab);
    const float t = len2 > 0.0f ? Dot(p - a, ab) / len2 : 0.0f;
    if (t < 0.0f)
        return Length(p - a);
    if (t > 1.0f)
        return Length(p - b);
    return Length(p - (a + ab * t));
}

namespace {
// Narrows [t0, t1] to the part of the segment between lo and hi on one axis.
bool ClipSlab(float start, float delta, float lo, float hi, float& t0, float& t1) {
    if (delta == 0.0f)
        return start >= lo && start <= hi;
    float enter = (lo - start) / delta;
    float leave = (hi - start) / delta;
    if (enter > leave)
        std::swap(enter, leave);
    t0 = std::max(t0, enter);
    t1 = std::min(t1, leave);
    return t0 <= t1;
}
} // namespace

bool ClipSegmentToBox(Vec2 a, Vec2 b, Vec2 boxCentre, Vec2 half, float& t0, float& t1) {
    t0 = 0.0f;
    t1 = 1.0f;
    const Vec2 d = b - a;
    return ClipSlab(a.x, d.x, boxCentre.x - half.x, boxCentre.x + half.x, t0, t1) &&
           ClipSlab(a.y, d.y, boxCentre.y - half.y, boxCentre.y + half.y, t0, t1);
}

bool BetweenEnds(Vec2 a, Vec2 b, Vec2 p) {
    return Dot(a - b, p - b) * Dot(b - a, p - a) >= 0.0f;
}
