// PlayerHUD -- the health and special bars of the player.
#include "ui/PlayerHUD.h"
#include "core/Runtime.h"
#include "render/FontAtlas.h"
#include "render/Resources.h"

#include <algorithm>
#include <string>

// The bars start 30 units from the left edge, 25 and 40 units below the top,
// in interface units, whatever the window's size.
PlayerHUD::PlayerHUD()
    : halfWidth(Runtime::Get().UIHalfExtent().x), halfHeight(Runtime::Get().UIHalfExtent().y),
      health(30.0f - halfWidth, halfHeight - 25.0f, 100.0f, 8.0f, {1.0f, 0.2f, 0.2f, 1.0f},
             {1.0f, 0.6f, 0.6f, 1.0f}),
      special(30.0f - halfWidth, halfHeight - 40.0f, 100.0f, 8.0f, {0.2f, 0.2f, 1.0f, 1.0f},
              {0.4f, 0.4f, 0.9f, 1.0f}),
      dashCost(30.0f - halfWidth, halfHeight - 40.0f, 100.0f, 8.0f, {0.85f, 0.95f, 1.0f, 0.85f},
               {1.0f, 1.0f, 1.0f, 1.0f}),
      frame(Resources::GetQuadMesh(1), Resources::GetTexture("ui_playerhud_frame.png", true),
            120.0f, 33.0f, {1.0f, 1.0f, 1.0f, 1.0f}) {
    frame.SetPosition(74.0f - halfWidth, halfHeight - 32.0f);
}

void PlayerHUD::Update(float dt) {
    health.Update(dt, nullptr);
    special.Update(dt, nullptr);
    // The cost sits at the end of what is there, pulsing.
    dashCost.fill = std::min(kDashCost, std::max(0.0f, special.fill));
    dashCost.left = special.left + (special.fill - dashCost.fill) * special.fullWidth;
    dashCost.pulsing = true;
    dashCost.Update(dt, nullptr);
    frame.Update(dt, nullptr);
}

void PlayerHUD::Draw() {
    health.Draw();
    special.Draw();
    if (aiming)
        dashCost.Draw();
    frame.Draw();
}

void PlayerHUD::ShowDashCost(bool on) {
    aiming = on;
}

void PlayerHUD::ShowHealth(float value) {
    health.EaseTo(value, value <= kLowHealth);
}

void PlayerHUD::ShowSpecial(float value) {
    special.EaseTo(value, value >= kDashCost);
}

void PlayerHUD::ShowDepth(int32_t depth) {
    if (depth < 0) {
        depthText.reset();
        return;
    }
    depthText = std::make_unique<TextSprite>(FontAtlas::Shared(), "Depth " + std::to_string(depth));
    depthText->RebuildMesh();
    // Left-aligned under the frame: the sprite is centred on its position.
    depthText->SetOffset({30.0f - halfWidth + depthText->width / 2.0f, halfHeight - 62.0f});
    depthText->Layout({0.0f, 0.0f}, {1.0f, 1.0f}, 0.85f);
}

void PlayerHUD::DrawText(PostProcessor* postProcessor) {
    if (depthText)
        depthText->Draw(postProcessor);
}
