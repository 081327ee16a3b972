// Camera -- the room's smoothed follower.
#include "render/Camera.h"
#include "core/Runtime.h"

namespace {
constexpr float kDeadZoneSq = 25.0f; // the camera ignores moves of 5 units or less
} // namespace

Camera::Camera() {
    halfExtent = {static_cast<float>(Runtime::Get().screenWidth) * 0.5f,
                  static_cast<float>(Runtime::Get().screenHeight) * 0.5f};
}

void Camera::Update(float dt) {
    if (LengthSq(target - current) > kDeadZoneSq) {
        const float k = (mode == 1 ? 2.0f : 4.0f) * dt;
        current += (target - current) * k;
        SetPosition(current);
    }
    GameObject::Update(dt, nullptr);
    if (child)
        child->Update(dt, this);
}
