// Room.h -- one room of a level: its map (RoomData), what it holds
// (RoomContents), its walking services (RoomPathing) and its drawing
// (RoomRenderer) over one shared map. A level is a table of rooms joined by
// doors; loading the start room loads every room its doors reach.
#pragma once

#include "world/RoomPathing.h"
#include "world/RoomRenderer.h"
#include "world/RoomTree.h"

#include <cstdint>
#include <memory>
#include <set>

class Player;

namespace LevelMap {

class Room : public RoomPathing, public RoomRenderer {
public:
    Room() = default;
    ~Room() override;

    // Loads room `start` and, depth first, every room reachable through
    // doors into `rooms`, then checks that every door has a partner to come
    // back through. Throws the map errors ("Map <n> is invalid", "Map<n> has
    // already been loaded", "Map <n>'s door to <t> is invalid").
    static Room* LoadLevel(RoomTable<Room>& rooms, int32_t start);

    // This room alone: map and objects, spawning, pathing grid and door
    // entry lines, tile mesh.
    void Load(int32_t roomNumber) override;

    // One frame: the contents, then, while the player is here and free,
    // who stands where and the push-out of bodies and walls.
    void Update(float dt);

    // Hands the player to `next`, standing on the entry line of the door of
    // `next` that leads back here, with next's view on it. Returns that
    // door; null (and nothing moved) when there is no player here or no
    // door back.
    Door* MovePlayerTo(Room& next);
    // The door of this room that leads to room `target`, or null.
    Door* DoorTo(int32_t target);

    // This room loaded again from its file: its enemies, props, gates and
    // lines as they were before Blade first came in. What the level has
    // used up stays used: the doors' one-time conversations and music, and
    // no line or character that speaks by itself starts a conversation of
    // `heard` again. A player start of the file brings a new player.
    std::unique_ptr<Room> Afresh(const std::set<int32_t>& heard) const;

private:
    void PathingStep(float dt);
};

} // namespace LevelMap
