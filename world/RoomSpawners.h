// RoomSpawners.h -- the builders the room-object table names: each turns one
// object of a room file into its entity, reading the object's properties.
// A new kind of entity is its class plus one builder here and one row in the
// table (RoomObjects.cpp).
#pragma once

#include <cstdint>

class Entity;

namespace LevelMap {

struct RoomObject;

Entity* SpawnPlayer(int32_t roomId, const RoomObject& object);
Entity* SpawnStaticEntity(int32_t roomId, const RoomObject& object);
Entity* SpawnGate(int32_t roomId, const RoomObject& object);
Entity* SpawnRefillStation(int32_t roomId, const RoomObject& object);
Entity* SpawnWindowNPC(int32_t roomId, const RoomObject& object);
Entity* SpawnDialogNPC(int32_t roomId, const RoomObject& object);
Entity* SpawnDummy(int32_t roomId, const RoomObject& object);
Entity* SpawnSliceable(int32_t roomId, const RoomObject& object);

} // namespace LevelMap
