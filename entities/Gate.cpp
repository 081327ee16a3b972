// Gate -- the door that closes a room until the fight in it is over.
#include "entities/Gate.h"

#include "core/Collider2D.h"
#include "entities/LevelServices.h"
#include "render/LightedAnimation2D.h"

Gate::Gate(int32_t room, const std::string& textureName, Vec2 position, Vec2 size, int frames,
           float frameDelay)
    : StaticEntity(room, textureName, position, size, true, frames, frameDelay) {
    Animation()->playing = false;
}

Gate::Gate(int32_t room, LightedAnimation2D* visual, Vec2 position, Vec2 size)
    : StaticEntity(room, visual, position, size, true) {
    Animation()->playing = false;
}

bool Gate::Update(float dt, GameObject* parent, EntityList* list) {
    StaticEntity::Update(dt, parent, list);
    LevelServices* level = LevelServices::current;
    EntityList* room = level ? level->RoomEntities(roomId) : nullptr;
    if (room == nullptr || HasLivingEnemy(*room))
        return true;
    LightedAnimation2D* anim = Animation();
    if (anim->playing)
        return true;
    if (opening) {
        // The opening rests on its last picture: the way is free.
        if (Collider2D* box = GetCollider())
            box->enabled = false;
    } else if (anim->frame == 0) {
        anim->frame = 0;
        anim->time = 0.0f;
        anim->playing = true;
        anim->playOnce = true;
        opening = true;
    }
    return true;
}
