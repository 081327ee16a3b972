// LevelSceneReload -- a room saved by its author comes back into the game
// that is running it, Blade and all.
#include "scenes/LevelScene.h"

#include "core/LevelPack.h"
#include "core/Notices.h"
#include "entities/Player.h"
#include "world/Room.h"

#include <algorithm>
#include <cstdio>
#include <exception>

namespace {
constexpr float kWatchSeconds = 0.5f;
} // namespace

bool LevelScene::ReloadRoom(std::string& problem) {
    LevelMap::Room* here = currentRoom;
    if (!here || !player || nextRoom || leaving) {
        problem = "Blade is between rooms";
        return false;
    }
    std::unique_ptr<LevelMap::Room> fresh;
    try {
        fresh = here->Afresh(heard);
    } catch (const std::exception& e) {
        problem = e.what();
        return false;
    }
    // The room's own Blade (a start room places one) gives way to ours.
    if (Player* placed = fresh->player) {
        auto& list = fresh->entities;
        list.erase(std::remove(list.begin(), list.end(), placed), list.end());
        fresh->player = nullptr;
        delete placed;
    }
    auto& held = here->entities;
    held.erase(std::remove(held.begin(), held.end(), player), held.end());
    here->player = nullptr;
    fresh->entities.push_back(player);
    fresh->player = player;
    const LevelMap::Door* door = entry.cameFrom != 0 ? fresh->DoorTo(entry.cameFrom) : nullptr;
    const Vec2 at = door ? door->entryLine.end : entry.at;
    player->SetPosition(at);
    player->frozenPosition = at;
    fresh->PlaceCameraAt(at);
    here->ReleaseProjectiles();
    const int32_t id = here->id;
    rooms[id] = std::move(fresh);
    currentRoom = FindRoom(id);
    return true;
}

void LevelScene::WatchRoomFile(float dt) {
    if (LevelPack::Current().empty() || !currentRoom)
        return;
    watch.sinceCheck += dt;
    if (watch.sinceCheck < kWatchSeconds && watch.room == currentRoom->id)
        return;
    watch.sinceCheck = 0.0f;
    std::error_code ec;
    const auto changed = std::filesystem::last_write_time(currentRoom->file, ec);
    if (ec)
        return;
    if (watch.room != currentRoom->id) {
        watch.room = currentRoom->id;
        watch.changed = changed;
        return;
    }
    if (changed == watch.changed)
        return;
    watch.changed = changed;
    std::string problem;
    if (ReloadRoom(problem)) {
        std::printf("LEVELS: room %d read again\n", watch.room);
        PostNotice("Room " + std::to_string(watch.room) + " read again", 3.0f);
    } else {
        std::fprintf(stderr, "LEVELS: room %d kept as it was: %s\n", watch.room, problem.c_str());
        PostNotice("Room " + std::to_string(watch.room) + " kept as it was: " + problem);
    }
}
