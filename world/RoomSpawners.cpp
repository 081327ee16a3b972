// RoomSpawners -- room-file objects to entities.
#include "world/RoomSpawners.h"

#include "entities/DialogNPC.h"
#include "entities/Dummy.h"
#include "entities/Gate.h"
#include "entities/Player.h"
#include "entities/RefillStation.h"
#include "entities/SliceableEntity.h"
#include "entities/StaticEntity.h"
#include "entities/WindowNPC.h"
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

// "GivesHP" picks health over special energy; "Automatic" refills whoever
// stands close; "HorizontalFlip" mirrors the cabinet.
Entity* SpawnRefillStation(int32_t roomId, const RoomObject& object) {
    return new RefillStation(roomId, object.position, object.size, object.Bool("HorizontalFlip"),
                             object.Bool("GivesHP"), object.Bool("Automatic"));
}

// "TextureName" (relative to the room file), "Frames" and "FrameDelay" make
// the body; "WindowType" and the window's size say what it shows.
Entity* SpawnWindowNPC(int32_t roomId, const RoomObject& object) {
    return new WindowNPC(
        roomId, object.position, object.size, RoomImageName(object.String("TextureName")),
        object.Int("Frames"), object.Float("FrameDelay"), object.Bool("HorizontalFlip"),
        object.String("WindowType"), {object.Float("WindowWidth"), object.Float("WindowHeight")});
}

// The body as for a WindowNPC; "Dialog" is the conversation it starts,
// "Automatic" starts it when Blade comes near.
Entity* SpawnDialogNPC(int32_t roomId, const RoomObject& object) {
    return new DialogNPC(roomId, object.position, object.size,
                         RoomImageName(object.String("TextureName")), object.Int("Frames"),
                         object.Float("FrameDelay"), object.Int("Dialog"),
                         object.Bool("HorizontalFlip"), object.Bool("Automatic"));
}

// "Shootable" gives the dummy its practice gun.
Entity* SpawnDummy(int32_t roomId, const RoomObject& object) {
    return new Dummy(roomId, object.position, object.Bool("Shootable"));
}

// A picture of the sprite tileset; "DropChance" is the percentage of cuts
// that leave a mana bottle.
Entity* SpawnSliceable(int32_t roomId, const RoomObject& object) {
    return new SliceableEntity(roomId, object.tile.source, object.position,
                               {object.tile.width, object.tile.height},
                               object.Float("DropChance") * 0.01f);
}

} // namespace LevelMap
