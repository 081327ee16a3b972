// Collider2D -- the shape base: point behaviour and the type dispatch.
#include "core/Collider2D.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kFloatEpsilon = 1.1920929e-07f;
} // namespace

bool NearlyEqual(float a, float b) {
    return std::fabs(a - b) <= kFloatEpsilon * std::max(1.0f, std::max(std::fabs(a), std::fabs(b)));
}

void Collider2D::UpdateTransform(const Vec2& position, float rotation, const Vec2& scale) {
    centre = position;
}

bool Collider2D::TestOrientedBox(const Collider2D& other) const {
    return false;
}
bool Collider2D::TestBox(const Collider2D& other) const {
    return false;
}
bool Collider2D::TestCircle(const Collider2D& other) const {
    return false;
}
bool Collider2D::TestLine(const Collider2D& other) const {
    return false;
}
bool Collider2D::TestPoint(const Collider2D& other) const {
    return false;
}

bool Collider2D::Collides(const Collider2D& other) const {
    switch (other.type) {
    case ColliderPoint:
        return TestPoint(other);
    case ColliderLine:
        return TestLine(other);
    case ColliderCircle:
        return TestCircle(other);
    case ColliderBox:
        return TestBox(other);
    case ColliderOrientedBox:
        return TestOrientedBox(other);
    }
    return false;
}

CollisionResult Collider2D::Resolve(const Collider2D& other) const {
    return {};
}
