// SliceableEntity.h -- a breakable prop (crate, barrel, urn, ammo box): a
// slash or a shot cuts its picture in two along a line through its centre;
// the halves fly apart, spin and fade out ever faster, dust rises, and the
// prop may leave a mana bottle behind. Once the dust has settled the prop
// leaves the room for good (the room deletes it).
//
// The prop is its own transform (position = the picture's centre, scale =
// its size in world units); while intact it collides with a box at its feet.
#pragma once

#include "audio/Sound.h"
#include "core/GameObject.h"
#include "entities/Entity.h"

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

class Bottle;
class ParticleSystem;
struct QNGfxMesh;
struct QNGfxTexture;

// How a cut through a prop's centre divides its picture.
struct QuadCut {
    bool cut = false;           // false: the line missed, the prop stays whole
    Vec2 direction{0.0f, 0.0f}; // unit, from the attacker towards the centre
    Vec2 normal{0.0f, 0.0f};    // unit, the left-hand side of `direction`
    // The two pieces' corners, in order around each piece, in the picture's
    // unit coordinates (u to the right, v downwards, corners at +-0.5, so a
    // corner's texture coordinate is (u + 0.5, v + 0.5)). Piece 0 lies on the
    // side `normal` points to.
    std::array<std::vector<Vec2>, 2> pieces;
};

// The cut of the picture centred at `centre` with `size` (world units) by
// the line from `from` through the centre: where the line crosses two
// opposite edges, the picture is split between those two points.
QuadCut CutQuad(Vec2 centre, Vec2 size, Vec2 from);

// The props' own random source: angular speeds and drop tests.
std::mt19937& PropRandom();

class SliceableEntity : public Entity, public GameObject {
public:
    static constexpr float kCutLength = 100.0f; // the cut's reach; also the pieces' speed, units/s
    static constexpr float kSpread = 15.0f;     // how far apart the pieces drift, world units
    static constexpr float kFadeRate = -0.2f;   // a piece's starting opacity change per second

    // What the prop is drawn with. The dust may be null (tools and tests).
    struct Look {
        QNGfxTexture* texture = nullptr;
        QNGfxTexture* normalTexture = nullptr;
        ParticleSystem* dust = nullptr; // owned by the prop from then on
    };
    // The image `image` (under assets/) with its normal map and the dust.
    static Look LoadLook(const std::string& image);

    // One half of a cut prop.
    struct Piece {
        std::vector<Vec2> corners; // unit coordinates, as QuadCut gives them
        Vec2 pivot{0.0f, 0.0f};    // the corners' centroid, unit coordinates
        Vec2 position{0.0f, 0.0f}; // world units: where the pivot is
        Vec2 velocity{0.0f, 0.0f}; // units per second
        float angle = 0.0f;        // radians
        float angularSpeed = 0.0f; // radians per second
        float color[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        float colorRate[4] = {0.0f, 0.0f, 0.0f, kFadeRate}; // per second
        float matrix[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
        QNGfxMesh* mesh = nullptr; // built on the first draw; owned
    };

    // dropChance: probability (0..1) of leaving a bottle when cut.
    SliceableEntity(int32_t roomId, const std::string& image, Vec2 centre, Vec2 size,
                    float dropChance);
    SliceableEntity(int32_t roomId, const Look& look, Vec2 centre, Vec2 size, float dropChance);
    ~SliceableEntity() override;

    Vec2 GetPosition() const override { return position; }
    void SetPosition(float x, float y) override { GameObject::SetPosition(x, y); }
    void SetPosition(const Vec2& p) override { GameObject::SetPosition(p); }
    Vec2 GetScale() const override { return scale; }
    void SetScale(float x, float y) override { GameObject::SetScale(x, y); }
    void SetScale(const Vec2& s) override { GameObject::SetScale(s); }
    float GetRotation() const override { return rotation; }
    void SetRotation(float radians) override { GameObject::SetRotation(radians); }
    Collider2D* GetCollider() const override { return collider; }

    // Any hit cuts an intact prop, whatever its strength; a cut prop ignores
    // every further hit. source (may be null) places the cut: the line from
    // it through the centre. A cut removes the collider, raises dust, plays
    // the slash sound (Blade's sword) or the shot sound (anything else),
    // and draws the drop test against dropChance.
    void ChangeHealth(const float& delta, Entity* source) override;
    // The transform update alone (Entity::Update runs the prop's frame).
    using GameObject::Update;
    // Intact: keeps the box on the feet. Cut: the pieces fly, spin and fade;
    // a dropped bottle joins the list; false once the pieces are gone and
    // the dust has settled.
    bool Update(float dt, GameObject* parent, EntityList* list) override;
    // The picture (or the pieces) from the texture of the pass; the dust in
    // pass 0.
    void Draw(int pass) override;
    void OnRoomExit() override;

    bool IsSliced() const { return !pieces.empty(); }

    QNGfxTexture* texture;         // from the cache
    QNGfxTexture* normalTexture;   // from the cache
    std::vector<Piece> pieces;     // empty while intact
    ParticleSystem* dustParticles; // owned, may be null
    Sound laserSound;              // "laserrekt.wav": cut by a shot
    Sound slashSound;              // "slashrekt.wav": cut by Blade's sword
    float dropChance;              // 0..1
    Bottle* pendingDrop = nullptr; // taken from the pool, joins the list next update

private:
    void FollowView(const GameObject* parent);
    void MovePieces(float dt);
    bool PiecesGone() const;
    void DrawPiece(Piece& piece, int pass);

    Vec2 view{0.0f, 0.0f}; // the room camera's position at the last update
};
