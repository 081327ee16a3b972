// RoomSteps.h -- shortcuts through a level's rooms that the endless test and
// the soak share: the current room's enemies felled at once, Blade placed
// in a door. The doors and gates still follow the real rules.
#pragma once

#include "entities/Entity.h"
#include "entities/Player.h"
#include "scenes/LevelScene.h"
#include "world/Room.h"

#include <cmath>
#include <gtest/gtest.h>

// Every enemy of the current room falls at once.
inline void ClearRoom(LevelScene& level) {
    for (Entity* e : level.currentRoom->entities) {
        if (e->kind == KindEnemy && !e->IsDead())
            e->ChangeHealth(-100.0f, nullptr);
    }
}

// Blade against the door of the current room leading to `target`.
inline void StandInDoor(LevelScene& level, int target) {
    const LevelMap::Door* door = level.currentRoom->DoorTo(target);
    ASSERT_NE(door, nullptr) << "room " << level.currentRoom->id << " has no door to " << target;
    const Vec2 along = door->entryLine.end - door->entryLine.start;
    const float length = std::sqrt(along.x * along.x + along.y * along.y);
    const Vec2 in{along.x / length, along.y / length};
    level.player->SetPosition(door->entryLine.start + in * 16.0f - Vec2{0.0f, 8.0f});
}
