// BootScene.h -- the plain opening scene: a slowly turning ember on a dark
// field, faded in from black, that shows the loop, pacing and input work.
#pragma once

#include "game/Scene.h"

class BootScene : public Scene {
public:
    void Load() override;
    void Init() override {}
    void Update(float dt) override;
    void Draw(int pass) override;
    void Free() override {}

    float angle = 0.0f;   // radians
    float elapsed = 0.0f; // seconds since Load
};
