// RoomContents.h -- what a room holds besides its map: the player while it
// is here, the entity list, the torches and the camera, and the frame of
// play that moves them (the map half of a room's update), and the trigger
// lines that watch for the player. Spawning the
// objects of the room file into these containers happens here too, because
// only a room that is played builds visuals; a bare RoomData only reads.
//
// Everything in the containers is owned by the room and deleted with it,
// except pooled projectiles, which go back to their pool.
#pragma once

#include "entities/Entity.h"
#include "render/Camera.h"
#include "world/RoomData.h"
#include "world/Torch.h"
#include "world/TriggerLine.h"

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

class Player;

namespace LevelMap {

class RoomContents : public virtual RoomData {
public:
    RoomContents() = default;
    ~RoomContents() override;

    // Builds what one object of the room file creates and registers it, as
    // the map is read: torches into `torches`, trigger lines into
    // `triggers`, everything else through the spawn column of the object
    // table into `entities`. A kind without a builder is skipped (false) and
    // stays recorded in `objects`.
    bool SpawnEntity(const RoomObject& object) override;
    // Puts the view on the start the map gives (above the player's start).
    void PlaceCamera();
    // Puts the view on `point` at once.
    void PlaceCameraAt(Vec2 point);

    // One frame of the room's contents (dt seconds): the room transform,
    // the torches, the entity list, the camera following the player, the
    // trigger lines (spent ones are deleted), then the list sorted by
    // descending y.
    void UpdateContents(float dt);

    // The first door the player touches that may be walked through now, or
    // null. Doors are not taken in slow motion or in the middle of a slash.
    Door* FindCrossedDoor(Player& player);
    // Some entity of the room is an enemy that still lives.
    bool HasLivingEnemy() const;

    // Shots still flying here go back to their pool and leave the list.
    void ReleaseProjectiles();
    // Conversations in `heard` are not started again by themselves: their
    // lines go, and characters who would speak unasked talk when asked.
    void ForgetHeard(const std::set<int32_t>& heard);
    // Whatever here hunts or watches `old` (enemies, the Commander, lines)
    // follows `now` instead.
    void ReplacePlayer(const Player* old, Player* now);

    Player* player = nullptr; // also in `entities` while the player is here
    EntityList entities;      // update and drawing order
    std::vector<std::unique_ptr<Torch>> torches;
    std::vector<std::unique_ptr<TriggerLine>> triggers; // in file order
    WaveTable waves; // enemies that wait for their own ambush line ("Wave")
    Camera camera;
    // Map tiles to view: scale by the tile size, then move by -camera.
    float transform[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
};

// An image named by a room file ("../prop_gate.png") as the texture cache
// names it: relative to assets/, with the room folder resolved away.
std::string RoomImageName(const std::string& nameInRoomFile);

} // namespace LevelMap
