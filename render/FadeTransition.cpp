// FadeTransition -- the black quad that hides scene changes.
#include "render/FadeTransition.h"

#include "core/Runtime.h"
#include "core/Tween.h"
#include "engine/QNGraphics.h"
#include "render/Resources.h"

#include <utility>

FadeTransition::FadeTransition() {
    Refit();
}

void FadeTransition::Refit() {
    mesh = nullptr; // fetched from the quad cache at the next draw
    scale = {static_cast<float>(Runtime::Get().screenWidth),
             static_cast<float>(Runtime::Get().screenHeight)};
    dirty = 1;
    Update(0.0f, nullptr);
}

FadeTransition& FadeTransition::Instance() {
    static FadeTransition fade;
    return fade;
}

void FadeTransition::Draw() {
    // A clear quad leaves every pixel as it was: most frames draw nothing.
    if (!(color[3] > 0.0f))
        return;
    if (QNGfxGetRenderMode() != 1)
        QNGfxSetRenderMode(QN_RENDER_COLOR);
    if (!mesh)
        mesh = Resources::GetQuadMesh(1);
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

void FadeToScene(SceneId id, std::function<void()> before) {
    FadeOutThen([id, before = std::move(before)] {
        if (before)
            before();
        RequestScene(id);
    });
}
