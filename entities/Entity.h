// Entity.h -- everything that lives in a room and takes part in play: the
// shared fields, the kind tag neighbours test, and the virtual interface a
// room drives every member through each frame.
//
// The room list contract (every entity relies on it):
// - Each frame the room calls Update on every member in list order. A member
//   that answers false leaves the list at once and the scan goes on with the
//   member that took its place; the room does not delete it (pooled
//   projectiles go back to their pool, the player never answers false).
// - A member may append to the list during its own Update; the appended
//   member is updated in the same frame when the scan reaches it.
// - After the updates the list is sorted by descending y, so drawing in list
//   order paints lower entities over higher ones.
// - Drawing calls Draw(pass) on every member for each pass, then DrawOverlay.
// - When the player leaves a room, every member gets OnRoomExit.
// UpdateEntityList and SortEntityList below keep the first three rules.
#pragma once

#include "core/Vec2.h"

#include <cstdint>
#include <vector>

class Collider2D;
class GameObject;
class Sprite2D;
class Entity;

// A room's entities, in update and drawing order; not owned by the list.
using EntityList = std::vector<Entity*>;

// What an entity is, as its neighbours see it.
enum EntityKind : int32_t {
    KindPlayer = 0,
    KindPickup = 1,
    KindNpc = 2,
    KindEnemy = 3,
    KindProjectile = 4,
    KindSliceable = 5,
    KindStatic = 6,
};

class Entity {
public:
    Entity(int32_t roomId, EntityKind kind);
    virtual ~Entity();
    Entity(const Entity&) = delete;
    Entity& operator=(const Entity&) = delete;

    // dead once health has run out.
    virtual bool IsDead() const;
    // the one channel for damage (delta < 0) and healing (delta > 0);
    // source is the attacker or healer, may be null. Health stays in [0, 1].
    virtual void ChangeHealth(const float& delta, Entity* source);

    // The transform, kept by the visual.
    virtual Vec2 GetPosition() const = 0;
    virtual void SetPosition(float x, float y) = 0;
    virtual void SetPosition(const Vec2& p) = 0;
    virtual Vec2 GetScale() const = 0;
    virtual void SetScale(float x, float y) = 0;
    virtual void SetScale(const Vec2& s) = 0;
    virtual float GetRotation() const = 0;
    virtual void SetRotation(float radians) = 0;
    // The collider, or null for an entity that touches nothing.
    virtual Collider2D* GetCollider() const = 0;

    // advances one frame (dt in seconds); parent is the room
    // camera's transform, list the room list the entity lives in. False
    // asks the room to take the entity off the list.
    virtual bool Update(float dt, GameObject* parent, EntityList* list) = 0;
    // draws for one render pass (0 diffuse, 1 normals).
    virtual void Draw(int pass) = 0;
    // draws what lies above the scene (health bars, prompts).
    virtual void DrawOverlay() {}
    // the player left this entity's room: stop effects, hide overlays.
    virtual void OnRoomExit() {}

    float health = 1.0f;       // 0..1; dead at 0
    float damageFactor = 1.0f; // multiplies every ChangeHealth delta
    int32_t roomId;            // number of the room the entity belongs to
    EntityKind kind;
    bool struck = false;         // already hit by the current attack, or deflected
    bool attackDisabled = false; // an enemy with this set never fires
};

// An entity with a visual; the visual holds position, scale, rotation and
// the collider.
class RenderableEntity : public Entity {
public:
    // Takes ownership of sprite (may be set later by a subclass).
    RenderableEntity(int32_t roomId, EntityKind kind, Sprite2D* sprite);
    ~RenderableEntity() override;

    Vec2 GetPosition() const override;
    void SetPosition(float x, float y) override;
    void SetPosition(const Vec2& p) override;
    Vec2 GetScale() const override;
    void SetScale(float x, float y) override;
    void SetScale(const Vec2& s) override;
    float GetRotation() const override;
    void SetRotation(float radians) override;
    Collider2D* GetCollider() const override;

    // Advances the visual; stays in the list.
    bool Update(float dt, GameObject* parent, EntityList* list) override;
    // Lit visuals draw the strip of the pass; plain sprites draw in pass 0.
    void Draw(int pass) override;

    Sprite2D* sprite; // owned
};

// Runs one frame of the room list contract: Update on every member in order,
// members answering false leave at once without a member being skipped or
// repeated, members appended during the scan are updated too. Removed
// members are handed to onRemoved (may be empty) to dispose of.
template <class OnRemoved>
void UpdateEntityList(EntityList& list, float dt, GameObject* parent, OnRemoved onRemoved) {
    for (size_t i = 0; i < list.size();) {
        Entity* e = list[i];
        if (e->Update(dt, parent, &list)) {
            ++i;
            continue;
        }
        // The entity may have moved itself while appending; find it again.
        if (i >= list.size() || list[i] != e) {
            size_t j = 0;
            while (j < list.size() && list[j] != e)
                ++j;
            if (j == list.size())
                continue; // already gone: list[i] is the next member
            i = j;
        }
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
        onRemoved(e);
    }
}

inline void UpdateEntityList(EntityList& list, float dt, GameObject* parent) {
    UpdateEntityList(list, dt, parent, [](Entity*) {});
}

// Orders the list by descending y (higher entities first), keeping the order
// of equal ones so drawing does not flicker.
void SortEntityList(EntityList& list);

// True when any member of the list is an enemy that still lives.
bool HasLivingEnemy(const EntityList& list);
