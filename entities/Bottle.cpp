// Bottle -- the mana pickup.
#include "entities/Bottle.h"

#include "audio/Audio.h"
#include "core/Circle2D.h"
#include "core/Tween.h"
#include "entities/BottlePool.h"
#include "entities/Player.h"
#include "render/LightedAnimation2D.h"

#include <algorithm>

Bottle::Bottle() : Bottle(LightedAnimation2D::FromAssets({"pickup_mana.png"}, kWidth, kHeight)) {}

Bottle::Bottle(LightedAnimation2D* body) : RenderableEntity(-1, KindPickup, body) {
    damageFactor = 0.0f; // a slash passes over a bottle
    pickupSound = Audio::GetSound("pickup.wav", false);
    // A small body to touch: the bottle is far smaller than a prop, so it is
    // taken where it stands rather than at a prop's feet.
    sprite->SetCollider(new Circle2D(0.5f));
    sprite->SetScale(displaySize);
}

Bottle::~Bottle() {
    StopTweens();
}

void Bottle::StopTweens() {
    RemoveVec2Tweens(&displaySize.x);
    RemoveColorTweens(displayTint);
    RemoveFloatTweens(&displayTint[3]);
}

void Bottle::Spawn(Vec2 position, int32_t room) {
    StopTweens();
    roomId = room;
    collectable = false;
    displaySize = {0.0f, 0.0f};
    std::fill(displayTint, displayTint + 3, 1.0f);
    displayTint[3] = 0.0f;
    SetPosition(position);
    SetScale(displaySize);
    std::copy(displayTint, displayTint + 4, sprite->tint);
    AddVec2Tween(&displaySize.x, kWidth, kHeight, EaseOvershoot, nullptr, kGrowSeconds);
    AddFloatTween(
        &displayTint[3], 1.0f, EaseSmooth, [this] { collectable = true; }, kFadeInSeconds);
}

bool Bottle::Update(float dt, GameObject* parent, EntityList* list) {
    sprite->Update(dt, parent);
    if (collectable && list) {
        const Collider2D* mine = GetCollider();
        for (Entity* e : *list) {
            if (e->kind != KindPlayer || !mine)
                continue;
            const Collider2D* body = e->GetCollider();
            if (!body || !body->Collides(*mine))
                continue;
            auto* blade = static_cast<Player*>(e);
            blade->ChangeSpecial(kSpecialGain);
            pickupSound.Play();
            BottlePool::Give(this);
            return false;
        }
    }
    if (sprite->GetScale() != displaySize)
        SetScale(displaySize);
    std::copy(displayTint, displayTint + 4, sprite->tint);
    return true;
}
