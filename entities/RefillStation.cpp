// RefillStation -- health and special refills.
#include "entities/RefillStation.h"

#include "audio/Audio.h"
#include "entities/Player.h"
#include "render/LightedAnimation2D.h"

namespace {
Vec2 SizeOr96(Vec2 size) {
    return {size.x > 0.0f ? size.x : RefillStation::kBodySize,
            size.y > 0.0f ? size.y : RefillStation::kBodySize};
}
} // namespace

const std::vector<std::string>& RefillStation::BodyFiles() {
    static const std::vector<std::string> files = {
        "hpstation_idle.png",   "mpstation_idle.png",  "hpstation_action.png",
        "mpstation_action.png", "hpstation_empty.png", "mpstation_empty.png",
    };
    return files;
}

RefillStation::RefillStation(int32_t room, Vec2 position, Vec2 size, bool flip, bool health,
                             bool automatic)
    : RefillStation(room, position, size,
                    LightedAnimation2D::FromAssets(BodyFiles(), kBodySize, kBodySize), LoadPrompt(),
                    flip, health, automatic) {}

RefillStation::RefillStation(int32_t room, Vec2 position, Vec2 size, LightedAnimation2D* body,
                             const Prompt& prompt, bool flip, bool health, bool automatic)
    : NPC(room, automatic ? 0u : kTalkInput, body, prompt), givesHealth(health) {
    refillSound = Audio::GetSound("refill_station3.wav", false);
    Place(position, SizeOr96(size), flip, kBodyRadius);
    Body()->SetAnimation(givesHealth ? HealthIdle : SpecialIdle);
}

LightedAnimation2D* RefillStation::Body() const {
    return static_cast<LightedAnimation2D*>(sprite);
}

void RefillStation::Interact(Player& player) {
    if (cooldown > 0.0f || usesLeft <= 0)
        return;
    Body()->PlayOnce(givesHealth ? HealthAction : SpecialAction);
    if (givesHealth)
        player.ChangeHealth(1.0f, this);
    else
        player.ChangeSpecial(1.0f);
    --usesLeft;
    cooldown = kCooldown;
    refillSound.Play();
}

bool RefillStation::Update(float dt, GameObject* parent, EntityList* list) {
    NPC::Update(dt, parent, list);
    cooldown -= dt;
    interactionOn = (cooldown > 0.0f || usesLeft < 1) ? 0 : 1;
    LightedAnimation2D* body = Body();
    if (usesLeft < 1) {
        if (!(body->animation >= HealthAction && body->animation <= SpecialAction && body->playing))
            body->SetAnimation(givesHealth ? HealthEmpty : SpecialEmpty);
    } else if (!(body->animation >= HealthAction && body->playing)) {
        body->SetAnimation(givesHealth ? HealthIdle : SpecialIdle);
    }
    return true;
}
