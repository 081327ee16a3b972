// Camera.h -- a room's view: a smoothed follower of a target point that
// stays put while the target is within 5 units of it.
#pragma once

#include "core/GameObject.h"

class Camera : public GameObject {
public:
    // halfExtent is half the render size: the view's reach from its middle.
    Camera();

    using GameObject::Update;
    // Moves toward `target` when it is more than 5 units away, then rebuilds
    // the transform and carries `child` along. dt: seconds. The shake of
    // `trauma` is added on top and fades with real time.
    void Update(float dt);
    // Shakes the view: trauma 0..1 (added, kept at most 1); the offset grows
    // with its square, so small knocks stay small.
    void AddTrauma(float amount);
    // The shake's offset this frame, world units.
    Vec2 ShakeOffset() const { return shake; }

    static constexpr float maxShake = 7.0f;   // world units at full trauma
    static constexpr float traumaFade = 1.8f; // trauma lost per real second
    // How much of the shake the player wants (1 full, 0 none).
    static float& ShakeStrength();

    Vec2 current{0.0f, 0.0f};    // smoothed position, world units
    int32_t mode = 1;            // 1: slow follow (rate 2 per second); else fast (4)
    Vec2 halfExtent{0.0f, 0.0f}; // world units
    Vec2 target{0.0f, 0.0f};     // point to follow, world units
    GameObject* child = nullptr; // moved with the camera; not owned
    float trauma = 0.0f;         // 0..1, fades

private:
    Vec2 shake{0.0f, 0.0f};
    float shakeTime = 0.0f;
};
