// NPC -- friendly characters: the interaction test and the prompt.
#include "entities/NPC.h"

#include "core/Circle2D.h"
#include "core/Controls.h"
#include "core/PromptGlyphs.h"
#include "core/Runtime.h"
#include "core/Tween.h"
#include "entities/LevelServices.h"
#include "entities/Player.h"
#include "render/Animation2D.h"
#include "render/LightedAnimation2D.h"
#include "render/Resources.h"

#include <algorithm>

namespace {
constexpr RenderColor kWhite{1.0f, 1.0f, 1.0f, 1.0f};
constexpr float kPopSeconds = 0.3f;
constexpr float kHideSeconds = 0.2f;
} // namespace

NPC::Prompt NPC::LoadPrompt() {
    Prompt prompt;
    prompt.box =
        new Sprite2D(Resources::GetQuadMesh(1), Resources::GetTexture("popup_box.png", true),
                     kPromptBoxSize, kPromptBoxSize, kWhite);
    const std::vector<FrameTable> still = Resources::BuildFrameTables({{1, 0.0f}, {1, 0.0f}});
    prompt.glyph =
        new Animation2D({Resources::GetQuadMesh(1)},
                        Resources::GetTextures({KeyPromptImage(QN_VK_E), "popup_joy_x.png"}), still,
                        kPromptGlyphSize, kPromptGlyphSize);
    return prompt;
}

LightedAnimation2D* NPC::LoadBody(const std::string& texture, int32_t frames, float frameDelay) {
    // A strip needs at least one frame; more than its picture has columns
    // for would show slivers.
    const int32_t count = std::clamp(frames, 1, 64);
    const float delay = frameDelay > 0.0f ? frameDelay : 0.0f;
    return new LightedAnimation2D(
        Resources::GetQuadMesh(count), Resources::GetTexture(texture, true),
        Resources::GetTexture(Resources::NormalMapName(texture), true),
        Resources::BuildFrameTables({{static_cast<float>(count), delay}})[0]);
}

NPC::NPC(int32_t room, uint32_t input, Sprite2D* body, const Prompt& prompt)
    : RenderableEntity(room, KindNpc, body), interactInput(input), promptBox(prompt.box),
      promptGlyph(prompt.glyph) {
    damageFactor = 0.0f; // friends are not hurt by stray blows
    if (promptBox) {
        promptBox->tint[3] = 0.0f;
        promptBox->SetScale(0.0f, 0.0f);
    }
    if (promptGlyph) {
        promptGlyph->tint[3] = 0.0f;
        promptGlyph->SetScale(0.0f, 0.0f);
    }
}

NPC::~NPC() {
    StopPromptTweens();
}

void NPC::Place(Vec2 position, Vec2 size, bool flip, float radius) {
    sprite->SetPosition(position);
    sprite->SetScale(flip ? -size.x : size.x, size.y);
    sprite->SetCollider(new Circle2D(radius));
    sprite->collider->UpdateTransform(sprite->position, sprite->rotation, sprite->scale);
}

Player* NPC::FindPlayer(const EntityList* list) {
    if (!list)
        return nullptr;
    for (Entity* e : *list) {
        if (e->kind == KindPlayer)
            return static_cast<Player*>(e);
    }
    return nullptr;
}

float NPC::DistanceSqTo(const Player& player) const {
    const Collider2D* theirs = player.GetCollider();
    const Collider2D* mine = GetCollider();
    const Vec2 a = theirs ? theirs->centre : player.GetPosition();
    const Vec2 b = mine ? mine->centre : GetPosition();
    return LengthSq(a - b);
}

bool NPC::Update(float dt, GameObject* parent, EntityList* list) {
    Player* blade = FindPlayer(list);
    if (interactionOn && blade && !blade->IsDead()) {
        const float distanceSq = DistanceSqTo(*blade);
        if (IsAutomatic()) {
            // The pause between two automatic acts counts only while no
            // conversation runs, so a character that has just finished
            // talking does not start again at once.
            const LevelServices* level = LevelServices::current;
            const bool talking = level && level->DialogueRunning();
            if (!talking)
                autoTimer += dt;
            if (autoTimer > kAutoInterval && !talking && distanceSq < kAutoRangeSq) {
                Interact(*blade);
                autoTimer = 0.0f;
            }
        } else {
            const auto mask = static_cast<uint16_t>(interactInput & 0xFFFFu);
            const auto key = static_cast<uint8_t>((interactInput >> 16) & 0xFFu);
            // The talk input follows the player's controls; others are fixed.
            const bool pressed = interactInput == kTalkInput
                                     ? Runtime::Get().Triggered(Action::Talk)
                                     : Runtime::Get().IsTriggered(mask, key);
            if (pressed && distanceSq < interactRangeSq)
                Interact(*blade);
        }
        // An automatic character has no input to announce.
        ShowPrompt(!IsAutomatic() && interactionOn && distanceSq < interactRangeSq);
    } else {
        ShowPrompt(false);
    }
    UpdatePrompt(dt, parent);
    sprite->Update(dt, parent);
    return true;
}

void NPC::StopPromptTweens() {
    RemoveVec2Tweens(&promptOffset.x);
    RemoveVec2Tweens(&promptScale.x);
    RemoveColorTweens(promptTint);
}

void NPC::ShowPrompt(bool show) {
    if (show == promptUp)
        return;
    promptUp = show;
    StopPromptTweens();
    const float tint[4] = {1.0f, 1.0f, 1.0f, show ? 1.0f : 0.0f};
    if (show) {
        AddVec2Tween(&promptOffset.x, 0.0f, kPromptHigh, EaseOvershoot, nullptr, kPopSeconds);
        AddVec2Tween(&promptScale.x, 1.0f, 1.0f, EaseOvershoot, nullptr, kPopSeconds);
        AddColorTween(promptTint, tint, EaseSmooth, nullptr, kHideSeconds);
    } else {
        AddVec2Tween(&promptOffset.x, 0.0f, kPromptLow, EaseSmooth, nullptr, kHideSeconds);
        AddVec2Tween(&promptScale.x, 0.0f, 0.0f, EaseSmooth, nullptr, kHideSeconds);
        AddColorTween(promptTint, tint, EaseSmooth, nullptr, kHideSeconds);
    }
}

void NPC::UpdatePrompt(float dt, GameObject* parent) {
    const Vec2 at = GetPosition() + promptOffset;
    if (promptBox) {
        promptBox->SetPosition(at);
        promptBox->SetScale(promptScale * kPromptBoxSize);
        std::copy(promptTint, promptTint + 4, promptBox->tint);
        promptBox->Update(dt, parent);
    }
    if (promptGlyph) {
        // The glyph names the input of the device in use: the key the
        // player bound to talking (a character with an input of its own
        // keeps its picture).
        if (interactInput == kTalkInput && !promptGlyph->textures.empty()) {
            const uint8_t key = Controls::Current().Get(Action::Talk).key;
            if (key != promptKey) {
                promptGlyph->textures[0] = Resources::GetTexture(KeyPromptImage(key), true);
                promptKey = key;
            }
        }
        promptGlyph->SetAnimation(Runtime::Get().gamePad.deviceKind != PadNone ? 1 : 0);
        promptGlyph->SetPosition(at);
        promptGlyph->SetScale(promptScale * kPromptGlyphSize);
        std::copy(promptTint, promptTint + 4, promptGlyph->tint);
        promptGlyph->Update(dt, parent);
    }
}

void NPC::DrawOverlay() {
    if (promptTint[3] <= 0.0f)
        return;
    if (promptBox)
        promptBox->Draw();
    if (promptGlyph)
        promptGlyph->Draw();
}

void NPC::OnRoomExit() {
    StopPromptTweens();
    promptUp = false;
    promptOffset = {0.0f, kPromptLow};
    promptScale = {0.0f, 0.0f};
    promptTint[3] = 0.0f;
}
