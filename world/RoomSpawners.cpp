// RoomSpawners -- room-file objects to entities.
#include "world/RoomSpawners.h"

#include "entities/BasicEnemy.h"
#include "entities/BiohazardEnemy.h"
#include "entities/Gate.h"
#include "entities/HeavyEnemy.h"
#include "entities/Player.h"
#include "entities/StaticEntity.h"
#include "world/RoomContents.h"
#include "world/RoomObjects.h"

namespace LevelMap {

Entity* SpawnPlayer(int32_t roomId, const RoomObject& object) {
    auto* blade = new Player(roomId);
    blade->SetPosition(object.position);
    return blade;
}

// A picture of the sprite tileset; "Collidable" gives it a solid box.
Entity* SpawnStaticEntity(int32_t roomId, const RoomObject& object) {
    return new StaticEntity(roomId, object.tile.source, object.position,
                            {object.tile.width, object.tile.height}, object.Bool("Collidable"), 1,
                            0.0f);
}

// "TextureName" is relative to the room file; "Frames" and "FrameDelay"
// time its opening.
Entity* SpawnGate(int32_t roomId, const RoomObject& object) {
    return new Gate(roomId, RoomImageName(object.String("TextureName")), object.position,
                    object.size, object.Int("Frames"), object.Float("FrameDelay"));
}

// "DisableAttack" makes a dormant gunner: it aims but never fires.
Entity* SpawnBasicEnemy(int32_t roomId, const RoomObject& object) {
    return new BasicEnemy(roomId, object.position, object.Bool("DisableAttack"));
}

Entity* SpawnHeavyEnemy(int32_t roomId, const RoomObject& object) {
    return new HeavyEnemy(roomId, object.position);
}

Entity* SpawnBiohazardEnemy(int32_t roomId, const RoomObject& object) {
    return new BiohazardEnemy(roomId, object.position);
}

} // namespace LevelMap
