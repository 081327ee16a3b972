// GameObject.h -- the transform base of every visual: a 3 x 3 matrix built
// from position, scale and rotation, an owned collider and change flags.
#pragma once

#include "core/Vec2.h"

#include <cstdint>

class Collider2D;

class GameObject {
public:
    GameObject();
    virtual ~GameObject();
    GameObject(const GameObject&) = delete;
    GameObject& operator=(const GameObject&) = delete;

    // Rebuilds the matrix when this object, or its parent during the
    // previous update, changed; then shifts the change flags.
    virtual void Update(float dt, GameObject* parent);

    Vec2 GetPosition() const { return position; }
    void SetPosition(float x, float y);
    void SetPosition(const Vec2& p) { SetPosition(p.x, p.y); }
    Vec2 GetScale() const { return scale; }
    void SetScale(float x, float y);
    void SetScale(const Vec2& s) { SetScale(s.x, s.y); }
    float GetRotation() const { return rotation; }
    void SetRotation(float radians);
    Collider2D* GetCollider() const { return collider; }
    // Takes ownership; the old collider is deleted.
    void SetCollider(Collider2D* c);

    // The affine transform: scale, then rotate, then translate; row-major
    // 3 x 3 with the translation in the third column.
    static void BuildTransform(float* out9, const Vec2& scale, float rotation,
                               const Vec2& translation);

    float matrix[9];      // row-major, identity at construction
    Vec2 position;        // world units, y up
    Vec2 scale;           // drawn size in world units for sprites
    float rotation;       // radians, counter-clockwise
    Collider2D* collider; // owned, may be null
    uint8_t dirty;        // bit 0: changed since the last update; bit 1: during it
};
