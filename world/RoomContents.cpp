// RoomContents -- a room's entities, torches and camera.
#include "world/RoomContents.h"

#include "entities/Gate.h"
#include "entities/Player.h"
#include "entities/StaticEntity.h"
#include "game/Game.h"
#include "render/LightedAnimation2D.h"

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
    switch (object.kind) {
    case ObjectKind::Torch: {
        auto torch = std::make_unique<Torch>(object.String("Particles"));
        torch->center = object.position;
        torch->ReadProperties(object);
        torches.push_back(std::move(torch));
        return true;
    }
    case ObjectKind::Player: {
        auto* blade = new Player(id);
        blade->SetPosition(object.position);
        player = blade;
        entities.push_back(blade);
        return true;
    }
    case ObjectKind::StaticEntity:
        entities.push_back(new StaticEntity(id, object.tile.source, object.position,
                                            {object.tile.width, object.tile.height},
                                            object.Bool("Collidable"), 1, 0.0f));
        return true;
    case ObjectKind::Gate:
        entities.push_back(new Gate(id, RoomImageName(object.String("TextureName")),
                                    object.position, object.size, object.Int("Frames"),
                                    object.Float("FrameDelay")));
        return true;
    case ObjectKind::Door: // doors are part of the map itself
        return false;
    // Enemies, characters, props and triggers arrive with their classes.
    case ObjectKind::RefillStation:
    case ObjectKind::WindowNPC:
    case ObjectKind::DialogNPC:
    case ObjectKind::BasicEnemy:
    case ObjectKind::BiohazardEnemy:
    case ObjectKind::HeavyEnemy:
    case ObjectKind::Dummy:
    case ObjectKind::Commander:
    case ObjectKind::SliceableEntity:
    case ObjectKind::TriggerLine:
        return false;
    }
    return false;
}

void RoomContents::PlaceCamera() {
    camera.current = cameraStart;
    camera.target = cameraStart;
    camera.SetPosition(cameraStart);
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
    SortEntityList(entities);
}

Door* RoomContents::FindCrossedDoor(Player& walker) {
    if (!(Game::Instance().timeScale > 0.999f) || walker.state == PlayerSlash)
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

} // namespace LevelMap
