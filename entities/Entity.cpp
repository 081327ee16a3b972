// Entity -- shared fields, the health channel and the visual's transform.
#include "entities/Entity.h"

#include "render/LightedAnimation2D.h"
#include "render/Sprite2D.h"

#include <algorithm>

Entity::Entity(int32_t room, EntityKind entityKind) : roomId(room), kind(entityKind) {}

Entity::~Entity() = default;

bool Entity::IsDead() const {
    return health <= 0.0f;
}

void Entity::ChangeHealth(const float& delta, Entity* /*source*/) {
    health = std::clamp(health + damageFactor * delta, 0.0f, 1.0f);
}

RenderableEntity::RenderableEntity(int32_t room, EntityKind entityKind, Sprite2D* visual)
    : Entity(room, entityKind), sprite(visual) {}

RenderableEntity::~RenderableEntity() {
    delete sprite;
}

Vec2 RenderableEntity::GetPosition() const {
    return sprite->GetPosition();
}

void RenderableEntity::SetPosition(float x, float y) {
    sprite->SetPosition(x, y);
}

void RenderableEntity::SetPosition(const Vec2& p) {
    sprite->SetPosition(p);
}

Vec2 RenderableEntity::GetScale() const {
    return sprite->GetScale();
}

void RenderableEntity::SetScale(float x, float y) {
    sprite->SetScale(x, y);
}

void RenderableEntity::SetScale(const Vec2& s) {
    sprite->SetScale(s);
}

float RenderableEntity::GetRotation() const {
    return sprite->GetRotation();
}

void RenderableEntity::SetRotation(float radians) {
    sprite->SetRotation(radians);
}

Collider2D* RenderableEntity::GetCollider() const {
    return sprite->GetCollider();
}

bool RenderableEntity::Update(float dt, GameObject* parent, EntityList* /*list*/) {
    sprite->Update(dt, parent);
    return true;
}

void RenderableEntity::Draw(int pass) {
    if (auto* lit = dynamic_cast<LightedAnimation2D*>(sprite))
        lit->DrawPass(pass);
    else if (pass == 0)
        sprite->Draw();
}

void SortEntityList(EntityList& list) {
    std::stable_sort(list.begin(), list.end(), [](const Entity* a, const Entity* b) {
        return a->GetPosition().y > b->GetPosition().y;
    });
}

bool HasLivingEnemy(const EntityList& list) {
    return std::any_of(list.begin(), list.end(),
                       [](const Entity* e) { return e->kind == KindEnemy && e->health > 0.0f; });
}
