// MainMenu -- the menu scene over its moving space backdrop.
#include "scenes/MainMenu.h"

#include "audio/Audio.h"
#include "core/Notices.h"
#include "core/Runtime.h"
#include "engine/QNInput.h"
#include "render/FadeTransition.h"
#include "render/Particle.h"
#include "render/PostProcessor.h"
#include "render/Resources.h"
#include "render/UIZoom.h"
#include "world/LevelCatalogue.h"

#include <cstdio>
#include <string>
#include <utility>

namespace {
constexpr const char* kMusic = "05 - Jesu, Joy of Man's Desiring.mp3";
constexpr const char* kBackdrop[4] = {"cloudfield", "solarfield", "starfield", "backgroundfield"};
constexpr float kCursorSize = 24.0f;
constexpr size_t kParticleReserve = 2500;
constexpr float kMissingNoticeSeconds = 60.0f; // real seconds a missing story file is shown
} // namespace

MainMenu::MainMenu() = default;

MainMenu::~MainMenu() = default;

void MainMenu::Load() {
    Scene::Load();
    music = Audio::GetSound(kMusic, true);
    music.SetLoop();
    music.SetVolume(0.6f);
    music.Play();
    cursor = std::make_unique<Sprite2D>(Resources::GetQuadMesh(1),
                                        Resources::GetTexture("cursor.png", true), kCursorSize,
                                        kCursorSize, RenderColor{1.0f, 1.0f, 1.0f, 1.0f});
    ParticlePoolReserve(kParticleReserve);
    QNInputShowCursor(false);
    for (size_t i = 0; i < backgrounds.size(); ++i)
        backgrounds[i] = std::make_unique<ParticleSystem>(kBackdrop[i], true, Vec2{0.0f, 0.0f});
    window = std::make_unique<MainMenuWindow>();
    FadeIn();
    // What the story lacks is said at once, not only when a game is started.
    for (const std::string& missing : LevelCatalogue::Story().MissingFiles()) {
        std::fprintf(stderr, "FILES: %s: the story cannot be played\n", missing.c_str());
        PostNotice(missing + ": the story cannot be played", kMissingNoticeSeconds);
    }
}

void MainMenu::Update(float dt) {
    for (auto& system : backgrounds)
        system->Update(dt);
    window->Update(dt);
    notices.Update(dt);
    // The pointer image hangs from its top-left corner at the mouse.
    const Vec2 mouse = Runtime::Get().CursorToUI();
    cursor->SetPosition(mouse.x + kCursorSize / 2.0f, mouse.y - kCursorSize / 2.0f);
    cursor->Update(dt, nullptr);
}

void MainMenu::Draw(int pass) {
    if (pass == 0) {
        postProcessor->Begin();
        postProcessor->ClearOverlay();
        for (auto& system : backgrounds)
            system->Draw();
        {
            const UIZoom ui;
            window->Draw(postProcessor);
            notices.Draw(postProcessor);
            cursor->Draw();
        }
        FadeTransition::Instance().Draw();
        return;
    }
    postProcessor->BeginLighting(7, 1, 2);
    postProcessor->Composite(7, 0, {1.0f, 1.0f, 1.0f, 1.0f});
    postProcessor->Present(7);
}

void MainMenu::Unload() {
    Scene::Unload();
    for (auto& system : backgrounds)
        system.reset();
    ParticlePoolClear();
    window.reset();
    notices.lines.clear();
    QNInputShowCursor(true);
}
