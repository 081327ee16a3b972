// FadeTransition -- the black quad that hides scene changes.
#include "game/FadeTransition.h"

#include "engine/QNGraphics.h"
#include "game/Game.h"
#include "game/Tween.h"

#include <utility>

FadeTransition::FadeTransition() {
    Refit();
}

void FadeTransition::Refit() {
    const Game& game = Game::Instance();
    mesh = nullptr; // fetched from the quad cache at the next draw
    scale = {static_cast<float>(game.screenWidth), static_cast<float>(game.screenHeight)};
    dirty = 1;
    Update(0.0f, nullptr);
}

FadeTransition& FadeTransition::Instance() {
    static FadeTransition fade;
    return fade;
}

void FadeTransition::Draw() {
    if (QNGfxGetRenderMode() != 1)
        QNGfxSetRenderMode(1);
    if (!mesh)
        mesh = Game::Instance().GetQuadMesh(1);
    QNGfxSetTransform(matrix);
    QNGfxSetTintColor(color[0], color[1], color[2], color[3]);
    QNGfxMeshDraw(mesh, 3);
}

void FadeOutThen(std::function<void()> then) {
    AddFloatTween(&FadeTransition::Instance().color[3], 1.0f, 1, std::move(then), 0.5f, 0.0f);
}

void FadeIn() {
    AddFloatTween(&FadeTransition::Instance().color[3], 0.0f, 1, nullptr, 0.5f, 0.0f);
}
