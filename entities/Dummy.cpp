// Dummy -- the training dummy.
#include "entities/Dummy.h"

#include "audio/Audio.h"
#include "core/Circle2D.h"
#include "entities/Projectile.h"
#include "render/LightedAnimation2D.h"

#include <algorithm>

const std::vector<std::string>& Dummy::BodyFiles() {
    static const std::vector<std::string> files = {"trainingdummy.png", "trainingdummy_shoot.png"};
    return files;
}

Dummy::Dummy(int32_t room, Vec2 position, bool canShoot)
    : Dummy(room, position, canShoot,
            LightedAnimation2D::FromAssets(BodyFiles(), kBodySize, kBodySize)) {}

Dummy::Dummy(int32_t room, Vec2 position, bool canShoot, LightedAnimation2D* body)
    : RenderableEntity(room, KindEnemy, body), shootable(canShoot) {
    fireSound = Audio::GetSound("pewlazer.wav", false);
    sprite->SetPosition(position);
    sprite->SetScale(kBodySize, kBodySize);
    sprite->SetCollider(new Circle2D(kBodyRadius));
    sprite->collider->UpdateTransform(sprite->position, sprite->rotation, sprite->scale);
    // At rest on the first picture until something hits it.
    Body()->SetAnimation(Wobble);
    Body()->playing = false;
}

LightedAnimation2D* Dummy::Body() const {
    return static_cast<LightedAnimation2D*>(sprite);
}

void Dummy::ChangeHealth(const float& delta, Entity* source) {
    if (delta > 0.0f)
        return;
    if (source) {
        const bool sourceRight = GetPosition().x <= source->GetPosition().x;
        SetScale(sourceRight ? kBodySize : -kBodySize, kBodySize);
    }
    if (shootTimer >= kShootInterval)
        return; // about to shoot: the gun wins
    LightedAnimation2D* body = Body();
    if (body->animation == Shoot && body->playing) {
        // Knocked out of aiming: the wobble picks up a little way in.
        const uint32_t frame = body->frame >= 2 ? body->frame - 2 : 0;
        body->SetAnimation(Wobble);
        body->frame = frame;
    } else {
        body->SetAnimation(Wobble);
        body->frame = 0;
    }
    body->time = 0.0f;
    body->playing = true;
    body->playOnce = true;
}

bool Dummy::Update(float dt, GameObject* parent, EntityList* list) {
    LightedAnimation2D* body = Body();
    if (shootable) {
        shootTimer += dt;
        if (shootTimer >= kShootInterval) {
            SetScale(kBodySize, kBodySize);
            if (body->animation != Shoot || !body->playing) {
                body->SetAnimation(Shoot);
                body->frame = 0;
                body->time = 0.0f;
                body->playing = true;
                body->playOnce = true;
            }
            if (body->animation == Shoot && body->frame == kFireFrame) {
                Fire(list);
                shootTimer = 0.0f;
            }
        }
    }
    // A finished shot lowers the gun back to the resting picture.
    if (body->animation == Shoot && !body->playing) {
        body->SetAnimation(Wobble);
        body->playing = false;
    }
    sprite->Update(dt, parent);
    return true;
}

void Dummy::Fire(EntityList* list) {
    fireSound.Play();
    if (!list)
        return;
    // A practice bolt: it flies and bursts like a soldier's, and hurts nobody.
    const Vec2 at = GetPosition();
    Projectile::Launch(*list, roomId, {at.x - kMuzzle, at.y}, {-1.0f, 0.0f}, ProjectileBullet,
                       kBoltSpeed, 0.0f);
}
