// CreditsScene -- the credits picture, left with any key.
#include "scenes/CreditsScene.h"

#include "core/Runtime.h"
#include "engine/QNInput.h"
#include "render/FadeTransition.h"
#include "render/PostProcessor.h"
#include "render/Resources.h"
#include "render/UIZoom.h"
#include "scenes/MainMenu.h"

CreditsScene::CreditsScene()
    : picture(Resources::GetQuadMesh(1), Resources::GetTexture("credits.png", true), 512.0f, 384.0f,
              {1.0f, 1.0f, 1.0f, 1.0f}) {
    picture.SetPosition(0.0f, 0.0f);
}

void CreditsScene::Load() {
    Scene::Load();
    QNInputShowCursor(false);
    FadeIn();
}

void CreditsScene::Update(float dt) {
    picture.Update(dt, nullptr);
    // Every frame a key is held starts another fade; the first to finish
    // switches, and the switch drops the others.
    if (Runtime::Get().AnyKeyHeld())
        FadeToScene(SceneId::MainMenu);
}

void CreditsScene::Draw(int pass) {
    if (pass == 0) {
        postProcessor->Begin();
        postProcessor->ClearOverlay();
        {
            // The picture of the credits is laid out like the menus.
            const UIZoom ui;
            picture.Draw();
        }
        FadeTransition::Instance().Draw();
        return;
    }
    postProcessor->BeginLighting(7, 1, 2);
    postProcessor->Present(0);
}

void CreditsScene::Unload() {
    Scene::Unload();
    QNInputShowCursor(true);
}
