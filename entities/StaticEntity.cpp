// StaticEntity -- solid or decorative scenery.
#include "entities/StaticEntity.h"

#include "core/AABB.h"
#include "render/LightedAnimation2D.h"
#include "render/Resources.h"

namespace {

LightedAnimation2D* MakeStrip(const std::string& textureName, int frames, float frameDelay) {
    const int32_t count = frames > 0 ? frames : 1;
    const std::vector<FrameTable> tables =
        Resources::BuildFrameTables({{static_cast<float>(count), frameDelay}});
    return new LightedAnimation2D(
        Resources::GetQuadMesh(count), Resources::GetTexture(textureName, true),
        Resources::GetTexture(Resources::NormalMapName(textureName), true), tables.front());
}

} // namespace

StaticEntity::StaticEntity(int32_t room, const std::string& textureName, Vec2 position, Vec2 size,
                           bool collidable, int frames, float frameDelay)
    : StaticEntity(room, MakeStrip(textureName, frames, frameDelay), position, size, collidable) {}

StaticEntity::StaticEntity(int32_t room, LightedAnimation2D* visual, Vec2 position, Vec2 size,
                           bool collidable)
    : RenderableEntity(room, KindStatic, visual) {
    damageFactor = 0.0f; // scenery cannot be hurt
    sprite->SetPosition(position);
    sprite->SetScale(size);
    if (collidable)
        sprite->SetCollider(new AABB({1.0f, 1.0f}));
}

bool StaticEntity::Update(float dt, GameObject* parent, EntityList* /*list*/) {
    sprite->Update(dt, parent);
    if (Collider2D* box = sprite->GetCollider())
        FitFeetBox(*box, sprite->GetPosition(), sprite->GetRotation(), sprite->GetScale());
    return true;
}

void FitFeetBox(Collider2D& box, Vec2 position, float rotation, Vec2 size) {
    // The solid part is the foot of the object, not the whole picture.
    box.UpdateTransform({position.x, position.y + 15.0f}, rotation,
                        {0.8f * size.x, 0.25f * size.y});
}

LightedAnimation2D* StaticEntity::Animation() const {
    return static_cast<LightedAnimation2D*>(sprite);
}
