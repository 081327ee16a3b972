// Vec2.h -- the game's 2-vector: the engine's QNVec2 with value operators.
#pragma once

#include "engine/QNMath.h"

#include <cmath>

using Vec2 = QNVec2;

inline Vec2 operator+(Vec2 a, Vec2 b) {
    return {a.x + b.x, a.y + b.y};
}
inline Vec2 operator-(Vec2 a, Vec2 b) {
    return {a.x - b.x, a.y - b.y};
}
inline Vec2 operator-(Vec2 a) {
    return {-a.x, -a.y};
}
inline Vec2 operator*(Vec2 a, float s) {
    return {a.x * s, a.y * s};
}
inline Vec2 operator*(float s, Vec2 a) {
    return {a.x * s, a.y * s};
}
inline Vec2 operator/(Vec2 a, float s) {
    return {a.x / s, a.y / s};
}
inline Vec2& operator+=(Vec2& a, Vec2 b) {
    return a = a + b;
}
inline Vec2& operator-=(Vec2& a, Vec2 b) {
    return a = a - b;
}
inline Vec2& operator*=(Vec2& a, float s) {
    return a = a * s;
}
inline bool operator==(Vec2 a, Vec2 b) {
    return a.x == b.x && a.y == b.y;
}
inline bool operator!=(Vec2 a, Vec2 b) {
    return !(a == b);
}
inline float Dot(Vec2 a, Vec2 b) {
    return a.x * b.x + a.y * b.y;
}
inline float Length(Vec2 a) {
    return std::sqrt(Dot(a, a));
}
inline float LengthSq(Vec2 a) {
    return Dot(a, a);
}
// a / |a|, or (0, 0) for a zero vector.
inline Vec2 Normalized(Vec2 a) {
    const float len = Length(a);
    return len > 0.0f ? a / len : Vec2{0.0f, 0.0f};
}

// Moves a coordinate onto a multiple of 2 world units. fmod keeps the sign,
// so negative values always move towards zero; a positive remainder of
// exactly 1 rounds down.
inline float SnapToEven(float v) {
    const float r = std::fmod(v, 2.0f);
    return r <= 1.0f ? v - r : v + (2.0f - r);
}
inline Vec2 SnapToEven(Vec2 v) {
    return {SnapToEven(v.x), SnapToEven(v.y)};
}
