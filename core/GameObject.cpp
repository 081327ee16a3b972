// GameObject -- transform base of every visual.
#include "core/GameObject.h"

#include "core/Collider2D.h"

#include <cmath>

GameObject::GameObject()
    : matrix{1, 0, 0, 0, 1, 0, 0, 0, 1}, position{0.0f, 0.0f}, scale{1.0f, 1.0f}, rotation(0.0f),
      collider(nullptr), dirty(0) {}

GameObject::~GameObject() {
    delete collider;
}

void GameObject::SetPosition(float x, float y) {
    position = {x, y};
    dirty = 1;
}

void GameObject::SetScale(float x, float y) {
    scale = {x, y};
    dirty = 1;
}

void GameObject::SetRotation(float radians) {
    rotation = radians;
    dirty = 1;
}

void GameObject::SetCollider(Collider2D* c) {
    if (c != collider)
        delete collider;
    collider = c;
}

void GameObject::BuildTransform(float* m, const Vec2& s, float rot, const Vec2& t) {
    const float c = std::cos(rot);
    const float n = std::sin(rot);
    m[0] = c * s.x;
    m[1] = -n * s.y;
    m[2] = t.x;
    m[3] = n * s.x;
    m[4] = c * s.y;
    m[5] = t.y;
    m[6] = 0.0f;
    m[7] = 0.0f;
    m[8] = 1.0f;
}

void GameObject::Update(float dt, GameObject* parent) {
    (void)dt;
    const bool parentChanged = parent && (parent->dirty & 0x2);
    if (!(dirty & 0x1) && !parentChanged) {
        dirty = static_cast<uint8_t>(dirty << 1);
        return;
    }
    const Vec2 local = parent ? position - parent->position : position;
    BuildTransform(matrix, scale, rotation, local);
    if (collider)
        collider->UpdateTransform(position, rotation, scale);
    dirty = static_cast<uint8_t>(dirty << 1);
}
