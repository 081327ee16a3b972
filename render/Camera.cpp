// Camera -- the room's smoothed follower.
#include "render/Camera.h"
#include "core/Runtime.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kDeadZoneSq = 25.0f; // the camera ignores moves of 5 units or less
} // namespace

Camera::Camera() {
    halfExtent = {static_cast<float>(Runtime::Get().screenWidth) * 0.5f,
                  static_cast<float>(Runtime::Get().screenHeight) * 0.5f};
}

float& Camera::ShakeStrength() {
    static float strength = 1.0f;
    return strength;
}

void Camera::AddTrauma(float amount) {
    trauma = std::clamp(trauma + amount, 0.0f, 1.0f);
}

void Camera::Update(float dt) {
    if (LengthSq(target - current) > kDeadZoneSq) {
        const float k = (mode == 1 ? 2.0f : 4.0f) * dt;
        current += (target - current) * k;
    }
    // The shake runs on real time: it goes on while a blow holds the game.
    const float real = static_cast<float>(Runtime::Get().clock.RealFrameTime());
    shake = {0.0f, 0.0f};
    if (trauma > 0.0f) {
        shakeTime += real;
        const float amount = maxShake * trauma * trauma * ShakeStrength();
        // Two unrelated wobbles, so the view does not swing along a line.
        shake = {amount * std::sin(shakeTime * 53.0f) * std::cos(shakeTime * 17.0f),
                 amount * std::sin(shakeTime * 41.0f + 1.3f) * std::cos(shakeTime * 23.0f)};
        trauma = std::max(0.0f, trauma - traumaFade * real);
    }
    if (LengthSq(current + shake - position) > 0.0f)
        SetPosition(current + shake);
    GameObject::Update(dt, nullptr);
    if (child)
        child->Update(dt, this);
}
