// Room -- loading a level's rooms, the room frame and the player's hand-over
// between rooms.
#include "world/Room.h"

#include "core/Circle2D.h"
#include "entities/Player.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace LevelMap {

Room::~Room() = default;

Room* Room::LoadLevel(RoomTable<Room>& rooms, int32_t start) {
    Room* first = LoadRoomTree(rooms, start, [](Room& room, int32_t n) { room.Load(n); });
    // A door without a partner would leave the player nowhere to stand.
    for (auto& entry : rooms) {
        for (const Door& door : entry.second->doors) {
            if (door.target == 0 || rooms.at(door.target)->DoorTo(entry.first))
                continue;
            const std::string why = "room " + std::to_string(door.target) + " (" +
                                    rooms.at(door.target)->file + ") has no door back to " +
                                    std::to_string(entry.first);
            std::fprintf(stderr, "Map %d: %s\n", entry.first, why.c_str());
            throw std::runtime_error("Map " + std::to_string(entry.first) + "'s door to " +
                                     std::to_string(door.target) + " is invalid: " + why);
        }
    }
    return first;
}

void Room::Load(int32_t roomNumber) {
    RoomData::Load(roomNumber);
    PlaceCamera();
    RoomPathing::Init();
    RoomRenderer::Init();
}

void Room::Update(float dt) {
    UpdateContents(dt);
    PathingStep(dt);
}

void Room::PathingStep(float dt) {
    if (!player || player->frozen)
        return;
    ClearOccupancy();
    Collider2D* body = player->GetCollider();
    if (dt != 0.0f && body) {
        for (Entity* e : entities) {
            Collider2D* collider = e->GetCollider();
            if (e == player) {
                MarkOccupied(*collider, false);
                continue;
            }
            if (!collider || !collider->enabled || e->kind == KindProjectile ||
                e->kind == KindPickup)
                continue;
            if (e->kind == KindStatic) {
                // Scenery does not budge: the player is pushed out instead.
                const CollisionResult push = collider->Resolve(*body);
                if (push.hit)
                    player->SetPosition(player->GetPosition() + Vec2{push.dx, push.dy});
            } else {
                const WallHit moved = PushOutOfPlayer(*collider, *body, e->GetPosition());
                if (moved.hit)
                    e->SetPosition(moved.point);
            }
            MarkOccupied(*collider, e->kind == KindEnemy);
        }
    }
    if (body && body->type == ColliderCircle) {
        // Blade slides along walls rather than sticking to them.
        const WallHit wall = SlideOutOfWalls(*static_cast<const Circle2D*>(body));
        if (wall.hit)
            player->SetPosition(player->GetPosition() + wall.point);
    }
}

Door* Room::DoorTo(int32_t target) {
    const auto found = std::find_if(doors.begin(), doors.end(),
                                    [target](const Door& d) { return d.target == target; });
    return found == doors.end() ? nullptr : &*found;
}

std::unique_ptr<Room> Room::Afresh(const std::set<int32_t>& heard) const {
    auto fresh = std::make_unique<Room>();
    fresh->Load(id);
    // The same file gives the same doors in the same order.
    for (size_t i = 0; i < doors.size() && i < fresh->doors.size(); ++i) {
        fresh->doors[i].enterDialogTrigger = doors[i].enterDialogTrigger;
        fresh->doors[i].audioState = doors[i].audioState;
    }
    fresh->ForgetHeard(heard);
    return fresh;
}

Door* Room::MovePlayerTo(Room& next) {
    Door* back = next.DoorTo(id);
    if (!player || !back)
        return nullptr;
    Player* walker = player;
    next.player = walker;
    walker->roomId = next.id;
    entities.erase(std::remove(entities.begin(), entities.end(), walker), entities.end());
    next.entities.push_back(walker);
    const Vec2 entry = back->entryLine.start;
    walker->frozenPosition = entry;
    walker->SetPosition(entry);
    next.PlaceCameraAt(entry);
    player = nullptr;
    return back;
}

} // namespace LevelMap
