// RoomTree.h -- loading a level: the start room and, depth first, every room
// reachable through its doors, each exactly once.
#pragma once

#include "world/RoomData.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>

namespace LevelMap {

template <class RoomT> using RoomTable = std::unordered_map<int32_t, std::unique_ptr<RoomT>>;

// Makes room n with `loadOne(room, n)` (map, pathing and whatever else the
// room type needs), stores it in `rooms`, then follows its doors. Throws
// "Map<n> has already been loaded" when n is loaded twice; a room whose
// load fails is not stored.
template <class RoomT, class LoadOne>
RoomT* LoadRoomTree(RoomTable<RoomT>& rooms, int32_t n, LoadOne&& loadOne) {
    if (rooms.count(n))
        throw std::runtime_error("Map" + std::to_string(n) + " has already been loaded");
    auto room = std::make_unique<RoomT>();
    loadOne(*room, n);
    RoomT* loaded = room.get();
    rooms[n] = std::move(room);
    for (const Door& door : loaded->doors) {
        if (door.target != 0 && !rooms.count(door.target))
            LoadRoomTree(rooms, door.target, loadOne);
    }
    return loaded;
}

} // namespace LevelMap
