// PointLight.h -- a light of a room: where it shines from, its colour, and
// how high and how far it reaches in the light pass. The plain light does
// nothing each frame; a torch (Torch.h) flickers and draws a picture.
#pragma once

#include "core/Vec2.h"
#include "render/RenderColor.h"

class Camera;

namespace LevelMap {

class PointLight {
public:
    PointLight() = default;
    virtual ~PointLight() = default;
    PointLight(const PointLight&) = delete;
    PointLight& operator=(const PointLight&) = delete;

    // Advances the light by dt seconds; the room's camera places pictures.
    virtual void Update(float /*dt*/, Camera& /*camera*/) {}
    // Draws the light's picture into the diffuse (0) or normal (1) image.
    virtual void Draw(int /*mode*/) {}

    Vec2 position{0.0f, 0.0f}; // world units
    RenderColor color{1.0f, 1.0f, 1.0f, 1.0f};
    float strength = 0.1f; // intensity handed to the light pass
    float range = 2.0f;    // reach in the light pass's screen-relative units
};

} // namespace LevelMap
