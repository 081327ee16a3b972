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
    // the transform and carries `child` along. dt: seconds.
    void Update(float dt);

    Vec2 current{0.0f, 0.0f};    // smoothed position, world units
    int32_t mode = 1;            // 1: slow follow (rate 2 per second); else fast (4)
    Vec2 halfExtent{0.0f, 0.0f}; // world units
    Vec2 target{0.0f, 0.0f};     // point to follow, world units
    GameObject* child = nullptr; // moved with the camera; not owned
};
