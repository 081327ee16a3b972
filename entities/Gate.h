// Gate.h -- a gate that keeps its room closed until every enemy in it is
// dead, then plays its opening once and stops blocking on the last frame.
#pragma once

#include "entities/StaticEntity.h"

class Gate : public StaticEntity {
public:
    // As StaticEntity (collidable), resting closed on frame 0.
    Gate(int32_t roomId, const std::string& textureName, Vec2 position, Vec2 size, int frames,
         float frameDelay);
    Gate(int32_t roomId, LightedAnimation2D* visual, Vec2 position, Vec2 size);

    // Opens once the room holds no living enemy (corpses do not count) and
    // stops blocking when the opening has played to its end; stays closed
    // while its room cannot be found (LevelServices::RoomEntities).
    bool Update(float dt, GameObject* parent, EntityList* list) override;

    // True once the opening has started; it never closes again.
    bool IsOpening() const { return opening; }

private:
    bool opening = false;
};
