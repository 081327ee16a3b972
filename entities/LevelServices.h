// LevelServices.h -- what entities need from the level they play in, in one
// narrow interface: rooms by number, the cursor in a room's coordinates, the
// walking services of a room's floor plan (walkability, ray casts and wall
// push-back against its walls, path finding), the level's player, the
// player's HUD bars, the conversation box and the windows characters open.
// The level scene implements it and sets `current` while it runs (Load to
// Unload); with no level running every entity falls back to a quiet default
// (a gate stays closed, the aim ignores walls, enemies stand still, the HUD
// is not told, nobody talks, no window opens).
#pragma once

#include "core/WallHit.h"
#include "entities/Entity.h"

#include <cstdint>
#include <deque>
#include <string>

class CharacterWindow;
class Circle2D;
class Collider2D;
class Player;

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
    // Whether `point` is floor in room `roomId`. The default knows no walls.
    virtual bool IsWalkable(int32_t /*roomId*/, Vec2 /*point*/) const { return true; }
    // The correction that moves `body` out of the walls of room `roomId`
    // (a hit when it had to move). The default knows no walls.
    virtual LevelMap::WallHit ResolveWalls(int32_t /*roomId*/, const Circle2D& /*body*/) const {
        return {};
    }
    // Fills `path` with waypoints (world units) from `start` to `goal` for
    // `mover` across room `roomId`; empty when there is no way. The default
    // knows no walls and goes straight to the goal.
    virtual void FindPath(int32_t /*roomId*/, std::deque<Vec2>& path, const Collider2D* /*mover*/,
                          Vec2 /*start*/, Vec2 goal) {
        path.assign(1, goal);
    }
    // Blade, whom every enemy of the level hunts; null while there is none.
    virtual Player* LevelPlayer() { return nullptr; }
    // The HUD's health bar eases to `health` (0..1) and pulses while low.
    virtual void ShowHealth(float /*health*/) {}
    // The HUD's special bar eases to `special` (0..1) and pulses while a dash
    // is available.
    virtual void ShowSpecial(float /*special*/) {}

    // Shakes the view of room `roomId`: `trauma` (0..1) is added to its
    // camera's. The default has no view to shake.
    virtual void ShakeView(int32_t /*roomId*/, float /*trauma*/) {}

    // While Blade aims a dash the HUD shows what it will cost.
    virtual void ShowDashCost(bool /*aiming*/) {}

    // A conversation is on screen (its lines or its portraits fading out).
    virtual bool DialogueRunning() const { return false; }
    // Plays conversation `number` in the dialogue box; a number no room of
    // the level named starts nothing.
    virtual void StartDialogue(int32_t /*number*/) {}
    // A new, closed window for a character to open: `type` "Controls" lists
    // the controls, any other type is an empty frame of `size` (UI units).
    // The caller owns it; null when the level has no windows to give.
    virtual CharacterWindow* MakeWindow(const std::string& /*type*/, Vec2 /*size*/) {
        return nullptr;
    }

    // The running level, or null.
    static LevelServices* current;
};
