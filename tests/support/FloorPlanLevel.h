// FloorPlanLevel.h -- a stand-in for the running level: one room whose floor
// is a rectangle with box-shaped walls inside it, the room's entity list,
// Blade, the cursor, and a record of path requests and HUD pushes. It makes
// itself the current level for its lifetime.
#pragma once

#include "entities/LevelServices.h"

#include <cmath>
#include <vector>

class FloorPlanLevel : public LevelServices {
public:
    struct Box {
        Vec2 min, max; // world units
        bool Contains(Vec2 p) const {
            return p.x >= min.x && p.x < max.x && p.y >= min.y && p.y < max.y;
        }
    };

    FloorPlanLevel() { LevelServices::current = this; }
    ~FloorPlanLevel() override {
        if (LevelServices::current == this)
            LevelServices::current = nullptr;
    }

    EntityList* RoomEntities(int32_t) override { return list; }
    Vec2 CursorInRoom(int32_t) const override { return cursor; }
    bool IsWalkable(int32_t, Vec2 p) const override {
        if (!floor.Contains(p))
            return false;
        for (const Box& wall : walls) {
            if (wall.Contains(p))
                return false;
        }
        return true;
    }
    // Marches from a to b one unit at a time; the first sample off the
    // floor is the hit.
    LevelMap::WallHit Raycast(int32_t room, Vec2 a, Vec2 b) const override {
        const Vec2 d = b - a;
        const float length = Length(d);
        const int steps = static_cast<int>(length);
        for (int i = 0; i <= steps; ++i) {
            const Vec2 p = length > 0.0f ? a + d * (static_cast<float>(i) / length) : a;
            if (!IsWalkable(room, p))
                return {p, true};
        }
        return {b, false};
    }
    // Straight to the goal when it is floor; no way otherwise.
    void FindPath(int32_t room, std::deque<Vec2>& path, const Collider2D*, Vec2,
                  Vec2 goal) override {
        ++pathRequests;
        path.clear();
        if (IsWalkable(room, goal))
            path.push_back(goal);
    }
    Player* LevelPlayer() override { return player; }
    void ShowSpecial(float s) override { shownSpecial.push_back(s); }

    Box floor{{-2000.0f, -2000.0f}, {2000.0f, 2000.0f}};
    std::vector<Box> walls;
    EntityList* list = nullptr;
    Player* player = nullptr;
    Vec2 cursor{0.0f, 0.0f};
    int pathRequests = 0;
    std::vector<float> shownSpecial;
};
