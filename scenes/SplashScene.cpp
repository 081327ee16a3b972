// SplashScene -- the two logos before the main menu.
#include "scenes/SplashScene.h"

#include "core/Runtime.h"
#include "core/SceneRequest.h"
#include "engine/QNInput.h"
#include "render/PostProcessor.h"
#include "render/Resources.h"
#include "scenes/MainMenu.h"

#include <cmath>

namespace {
constexpr RenderColor kInvisible{1.0f, 1.0f, 1.0f, 0.0f};
} // namespace

void SplashScene::Load() {
    Scene::Load();
    const float w = static_cast<float>(Runtime::Get().screenWidth);
    const float h = static_cast<float>(Runtime::Get().screenHeight);

    const float firstWidth = 0.625f * w;
    firstLogo = std::make_unique<Sprite2D>(Resources::GetQuadMesh(1),
                                           Resources::GetTexture("Brevant_WEB_RED.png", true),
                                           firstWidth, 0.2918033f * firstWidth, kInvisible);
    firstLogo->SetPosition(0.0f, 0.0f);

    // Centred like the first, and no taller than most of the screen.
    const float secondWidth = std::fmin(0.44f * w, 0.8f * h / 0.7619048f);
    secondLogo = std::make_unique<Animation2D>(
        Resources::GetQuadMeshes({2}), Resources::GetTextures({"FerrowInverted.png"}),
        Resources::BuildFrameTables({{2.0f, 0.12f}}), secondWidth, 0.7619048f * secondWidth);
    secondLogo->SetPosition(0.0f, 0.0f);
    secondLogo->tint[3] = 0.0f;

    state = 0;
    holdTimer = 0.0f;
    skipDelay = 0.0f;
    skipRequested = false;
    QNInputShowCursor(false);
}

void SplashScene::Update(float dt) {
    float& first = firstLogo->tint[3];
    float& second = secondLogo->tint[3];
    // The opacities are not clamped: a fade may end a little past 0 or 1.
    switch (state) {
    case 0:
        first += kFadeSpeed * dt;
        if (first >= 1.0f)
            state = 1;
        break;
    case 3:
        second += kFadeSpeed * dt;
        if (second >= 1.0f)
            state = 4;
        break;
    case 1:
    case 4:
        holdTimer += dt;
        if (holdTimer >= kHold || skipRequested) {
            holdTimer = 0.0f;
            ++state;
        }
        break;
    case 2:
        first -= kFadeSpeed * dt;
        if (first <= 0.0f)
            state = 3;
        break;
    case 5:
        second -= kFadeSpeed * dt;
        // No fade: the screen is already dark, and the menu fades in itself.
        if (second <= 0.0f && !menuRequested) {
            menuRequested = true;
            RequestScene(SceneId::MainMenu);
        }
        break;
    default:
        break;
    }

    firstLogo->Update(dt, nullptr);
    secondLogo->Update(dt, nullptr);
    skipDelay += dt;
    if (skipDelay > kSkipAfter)
        skipRequested = skipRequested || Runtime::Get().AnyKeyHeld();
}

void SplashScene::Draw(int pass) {
    if (pass == 0) {
        postProcessor->Begin();
        postProcessor->ClearOverlay();
        firstLogo->Draw();
        secondLogo->Draw();
        return;
    }
    postProcessor->BeginLighting(7, 1, 2);
    postProcessor->Present(0);
}
