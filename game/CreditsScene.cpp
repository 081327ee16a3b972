// CreditsScene -- the credits picture, left with any key.
#include "game/CreditsScene.h"

#include "engine/QNInput.h"
#include "game/FadeTransition.h"
#include "game/Game.h"
#include "render/PostProcessor.h"
#include "ui/MainMenu.h"

CreditsScene::CreditsScene()
    : picture(Game::Instance().GetQuadMesh(1), Game::Instance().GetTexture("credits.png", true),
              512.0f, 384.0f, {1.0f, 1.0f, 1.0f, 1.0f}) {
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
    if (Game::Instance().AnyKeyHeld())
        FadeOutThen([] { Game::Instance().SetNextScene(new MainMenu()); });
}

void CreditsScene::Draw(int pass) {
    if (pass == 0) {
        postProcessor->Begin();
        postProcessor->ClearOverlay();
        picture.Draw();
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
