// LevelServices.h -- what entities need from the level they play in, in one
// narrow interface: rooms by number, the cursor in a room's coordinates, ray
// casts against a room's walls and the player's HUD bars. The level scene
// implements it and sets `current` while it runs (Load to Unload); with no
// level running every entity falls back to a quiet default (a gate stays
// closed, the aim ignores walls, the HUD is not told).
#pragma once

#include "core/WallHit.h"
#include "entities/Entity.h"

#include <cstdint>

class LevelServices {
public:
    virtual ~LevelServices() = default;

    // The entity list of room `roomId`, or null when no such room is loaded.
    virtual EntityList* RoomEntities(int32_t roomId) = 0;
    // The cursor in the coordinates of room `roomId` (screen position plus
    // that room's camera position).
    virtual Vec2 CursorInRoom(int32_t roomId) const = 0;
    // The first point where the segment from a to b enters a wall of room
    // `roomId`; no hit when the room is unknown.
    virtual LevelMap::WallHit Raycast(int32_t roomId, Vec2 a, Vec2 b) const = 0;
    // The HUD's health bar eases to `health` (0..1) and pulses while low.
    virtual void ShowHealth(float /*health*/) {}
    // The HUD's special bar eases to `special` (0..1) and pulses while a dash
    // is available.
    virtual void ShowSpecial(float /*special*/) {}

    // The running level, or null.
    static LevelServices* current;
};
