// BootScene -- the plain opening scene.
#include "game/BootScene.h"

#include "engine/QNGraphics.h"
#include "game/FadeTransition.h"
#include "game/Game.h"

#include <cmath>

void BootScene::Load() {
    Scene::Load();
    QNGfxSetCamPosition(0.0f, 0.0f); // the scene is laid out around the screen centre
    FadeIn();
}

void BootScene::Update(float dt) {
    elapsed += dt;
    angle += dt * 0.8f;
}

void BootScene::Draw(int pass) {
    if (pass != 0)
        return;
    Game& game = Game::Instance();
    QNGfxSetBackgroundColor(0.04f, 0.035f, 0.05f);
    glClear(GL_COLOR_BUFFER_BIT);
    QNGfxSetRenderMode(1);
    QNGfxSetBlendMode(1);
    float m[9];
    const float pulse = 0.85f + 0.15f * std::sin(elapsed * 3.0f);
    const float size = 0.25f * static_cast<float>(game.screenHeight);
    GameObject::BuildTransform(m, {size, size}, angle, {0.0f, 0.0f});
    QNGfxSetTransform(m);
    QNGfxSetTintColor(1.0f * pulse, 0.55f * pulse, 0.2f * pulse, 1.0f);
    QNGfxMeshDraw(game.GetQuadMesh(1), 3);
    FadeTransition::Instance().Draw();
    QNGfxSetTintColor(1, 1, 1, 1);
}
