// RoomContents -- a room's entities, torches and camera.
#include "world/RoomContents.h"

#include "core/Runtime.h"
#include "entities/Commander.h"
#include "entities/DialogNPC.h"
#include "entities/Enemy.h"
#include "entities/Player.h"
#include "entities/Projectile.h"
#include "entities/ProjectilePool.h"
#include "render/LightedAnimation2D.h"

#include <algorithm>
#include <filesystem>

namespace LevelMap {

namespace {
// The picture of the player switched to while it walks through a door.
constexpr uint32_t kDoorWalkAnimation = 2;
} // namespace

std::string RoomImageName(const std::string& nameInRoomFile) {
    return std::filesystem::path("rooms/" + nameInRoomFile).lexically_normal().generic_string();
}

RoomContents::~RoomContents() {
    for (Entity* e : entities) {
        if (e->kind != KindProjectile) // projectiles belong to their pool
            delete e;
    }
}

bool RoomContents::SpawnEntity(const RoomObject& object) {
    // Torches are the room's lights, kept apart from the entity list.
    if (object.kind == ObjectKind::Torch) {
        auto torch = std::make_unique<Torch>(object.String("Particles"));
        torch->center = object.position;
        torch->ReadProperties(object);
        torches.push_back(std::move(torch));
        return true;
    }
    // Trigger lines watch the player; they are no entities of the list.
    if (object.kind == ObjectKind::TriggerLine) {
        const int32_t kind = TriggerKindFromText(object.String("Trigger"));
        if (kind == TriggerSpent)
            return false;
        triggers.push_back(
            std::make_unique<TriggerLine>(object.line, kind, id, object.Int("Dialog")));
        triggers.back()->wave = object.Int("Wave");
        return true;
    }
    if (!object.rule || !object.rule->spawn)
        return false;
    Entity* entity = object.rule->spawn(id, object);
    if (!entity)
        return false;
    if (entity->kind == KindPlayer)
        player = static_cast<Player*>(entity);
    if (entity->kind == KindEnemy && object.Int("Wave") != 0)
        waves[entity] = object.Int("Wave");
    entities.push_back(entity);
    return true;
}

void RoomContents::PlaceCamera() {
    PlaceCameraAt(cameraStart);
}

void RoomContents::PlaceCameraAt(Vec2 point) {
    camera.current = point;
    camera.target = point;
    camera.SetPosition(point);
}

void RoomContents::UpdateContents(float dt) {
    GameObject::BuildTransform(transform,
                               {static_cast<float>(tileWidth), static_cast<float>(tileHeight)},
                               0.0f, -camera.GetPosition());
    for (auto& torch : torches)
        torch->Update(dt, camera);
    UpdateEntityList(entities, dt, &camera, [](Entity* removed) {
        if (removed->kind == KindSliceable) // broken props are gone for good
            delete removed;
    });
    if (player)
        camera.target = player->GetPosition();
    camera.Update(dt);
    for (size_t i = 0; i < triggers.size();) {
        if (triggers[i]->Update(entities, waves))
            ++i;
        else
            triggers.erase(triggers.begin() + static_cast<std::ptrdiff_t>(i));
    }
    SortEntityList(entities);
}

Door* RoomContents::FindCrossedDoor(Player& walker) {
    if (!(Runtime::Get().timeScale > 0.999f) || walker.state == PlayerSlash)
        return nullptr;
    const Collider2D* body = walker.GetCollider();
    if (!body)
        return nullptr;
    const bool enemies = HasLivingEnemy();
    for (Door& door : doors) {
        if (!body->Collides(door))
            continue;
        bool passable = true;
        switch (door.enterCondition) {
        case DoorWhileEnemy:
            passable = enemies;
            break;
        case DoorNoEnemy:
            passable = !enemies;
            break;
        case DoorDisabled:
            passable = false;
            break;
        default:
            break;
        }
        if (!passable)
            continue;
        LightedAnimation2D* body2d = walker.Body();
        if (body2d && body2d->animation != kDoorWalkAnimation) {
            body2d->SetAnimation(kDoorWalkAnimation);
            body2d->frame = 0;
            body2d->time = 0.0f;
            body2d->playing = true;
            body2d->playOnce = false;
        }
        return &door;
    }
    return nullptr;
}

bool RoomContents::HasLivingEnemy() const {
    return ::HasLivingEnemy(entities);
}

void RoomContents::ReleaseProjectiles() {
    const auto shots = std::stable_partition(entities.begin(), entities.end(),
                                             [](Entity* e) { return e->kind != KindProjectile; });
    for (auto it = shots; it != entities.end(); ++it)
        ProjectilePool::Release(static_cast<Projectile*>(*it));
    entities.erase(shots, entities.end());
}

void RoomContents::ForgetHeard(const std::set<int32_t>& heard) {
    const auto said = [&heard](int32_t dialog) { return heard.count(dialog) != 0; };
    triggers.erase(std::remove_if(triggers.begin(), triggers.end(),
                                  [&said](const std::unique_ptr<TriggerLine>& line) {
                                      return (line->triggerKind == TriggerDialog ||
                                              line->triggerKind == TriggerDialogNoEnemy) &&
                                             said(line->dialog);
                                  }),
                   triggers.end());
    for (Entity* e : entities) {
        auto* character = dynamic_cast<DialogNPC*>(e);
        if (character && character->IsAutomatic() && said(character->dialog))
            character->TalkOnlyWhenAsked();
    }
}

void RoomContents::ReplacePlayer(const Player* old, Player* now) {
    for (Entity* e : entities) {
        if (auto* enemy = dynamic_cast<Enemy*>(e); enemy && enemy->target == old)
            enemy->target = now;
        else if (auto* boss = dynamic_cast<Commander*>(e); boss && boss->target == old)
            boss->target = now;
    }
    // A line finds Blade again the next time he stands in its room.
    for (auto& line : triggers) {
        if (line->player == old)
            line->player = nullptr;
    }
}

} // namespace LevelMap
