// SliceableEntity -- props that a slash or a shot cuts in two.
#include "entities/SliceableEntity.h"

#include "audio/Audio.h"
#include "core/AABB.h"
#include "core/Line2D.h"
#include "engine/QNGraphics.h"
#include "entities/Bottle.h"
#include "entities/BottlePool.h"
#include "entities/StaticEntity.h"
#include "render/ParticleSystem.h"
#include "render/Resources.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr float kStoppedFrame = 1.1920929e-07f; // a frame this short moves nothing
constexpr uint32_t kOpaqueWhite = 0xFFFFFFFFu;
// Per update: the pieces slow down, stop spinning and fade ever faster.
constexpr float kDrag = 0.95f;
constexpr float kSpinDrag = 0.85f;
constexpr float kFadeGrowth = 1.02f;
// The sideways speed that, slowed by kDrag every 1/60 s, carries each piece
// half of kSpread away from the cut.
constexpr float kSpreadSpeed = SliceableEntity::kSpread * 0.5f * 60.0f * (1.0f - kDrag);

// A draw from the props' source: 32 random bits scaled to [0, 1).
double UnitDraw() {
    return static_cast<double>(PropRandom()()) * (1.0 / 4294967296.0);
}

Vec2 ToUnit(const ContactPoint& p, Vec2 centre, Vec2 size) {
    return {(p.x - centre.x) / size.x, -(p.y - centre.y) / size.y};
}

// The centroid of a polygon (its corners' mean when it has no area).
Vec2 Centroid(const std::vector<Vec2>& corners) {
    float area = 0.0f;
    Vec2 sum{0.0f, 0.0f};
    for (size_t i = 0; i < corners.size(); ++i) {
        const Vec2 a = corners[i];
        const Vec2 b = corners[(i + 1) % corners.size()];
        const float cross = a.x * b.y - b.x * a.y;
        area += cross;
        sum += (a + b) * cross;
    }
    if (std::fabs(area) > 1e-6f)
        return sum / (3.0f * area);
    Vec2 mean{0.0f, 0.0f};
    for (const Vec2& c : corners)
        mean += c;
    return corners.empty() ? mean : mean / static_cast<float>(corners.size());
}

} // namespace

std::mt19937& PropRandom() {
    static std::mt19937 engine{std::random_device{}()};
    return engine;
}

QuadCut CutQuad(Vec2 centre, Vec2 size, Vec2 from) {
    QuadCut result;
    const Vec2 towards = centre - from;
    if (!(LengthSq(towards) > 0.0f) || !(size.x > 0.0f) || !(size.y > 0.0f))
        return result;
    const Vec2 d = Normalized(towards);
    const Line2D cut(from, from + d * SliceableEntity::kCutLength);
    const float hw = size.x / 2.0f, hh = size.y / 2.0f;
    const Vec2 topLeft{centre.x - hw, centre.y + hh}, topRight{centre.x + hw, centre.y + hh};
    const Vec2 bottomLeft{centre.x - hw, centre.y - hh}, bottomRight{centre.x + hw, centre.y - hh};
    const ContactPoint top = Line2D(topLeft, topRight).IntersectLine(cut);
    const ContactPoint bottom = Line2D(bottomLeft, bottomRight).IntersectLine(cut);
    const ContactPoint left = Line2D(topLeft, bottomLeft).IntersectLine(cut);
    const ContactPoint right = Line2D(topRight, bottomRight).IntersectLine(cut);

    // Unit corners: top-left (-0.5, -0.5), clockwise on the screen.
    const Vec2 tl{-0.5f, -0.5f}, tr{0.5f, -0.5f}, br{0.5f, 0.5f}, bl{-0.5f, 0.5f};
    if (top.hit && bottom.hit) {
        const Vec2 p = ToUnit(top, centre, size), q = ToUnit(bottom, centre, size);
        result.pieces = {std::vector<Vec2>{tl, p, q, bl}, std::vector<Vec2>{p, tr, br, q}};
    } else if (left.hit && right.hit) {
        const Vec2 p = ToUnit(left, centre, size), q = ToUnit(right, centre, size);
        result.pieces = {std::vector<Vec2>{tl, tr, q, p}, std::vector<Vec2>{p, q, br, bl}};
    } else {
        return result;
    }
    result.cut = true;
    result.direction = d;
    result.normal = {-d.y, d.x};
    // Piece 0 on the normal's side (unit v points down: world y is -v).
    const Vec2 c0 = Centroid(result.pieces[0]);
    if (Dot(Vec2{c0.x * size.x, -c0.y * size.y}, result.normal) < 0.0f)
        std::swap(result.pieces[0], result.pieces[1]);
    return result;
}

SliceableEntity::Look SliceableEntity::LoadLook(const std::string& image) {
    Look look;
    look.texture = Resources::GetTexture(image, true);
    look.normalTexture = Resources::GetTexture(Resources::NormalMapName(image), true);
    look.dust = new ParticleSystem("dust", false, {0.0f, 0.0f});
    return look;
}

SliceableEntity::SliceableEntity(int32_t room, const std::string& image, Vec2 centre, Vec2 size,
                                 float chance)
    : SliceableEntity(room, LoadLook(image), centre, size, chance) {}

SliceableEntity::SliceableEntity(int32_t room, const Look& look, Vec2 centre, Vec2 size,
                                 float chance)
    : Entity(room, KindSliceable), texture(look.texture), normalTexture(look.normalTexture),
      dustParticles(look.dust), dropChance(chance) {
    laserSound = Audio::GetSound("laserrekt.wav", false);
    slashSound = Audio::GetSound("slashrekt.wav", false);
    GameObject::SetPosition(centre);
    GameObject::SetScale(size);
    SetCollider(new AABB({1.0f, 1.0f}));
    FitFeetBox(*collider, position, rotation, scale);
}

SliceableEntity::~SliceableEntity() {
    for (Piece& piece : pieces) {
        if (piece.mesh)
            QNGfxMeshFree(piece.mesh);
    }
    delete dustParticles;
    // A bottle that never reached the room goes back unseen.
    BottlePool::Give(pendingDrop);
}

void SliceableEntity::ChangeHealth(const float& /*delta*/, Entity* source) {
    if (IsSliced())
        return;
    // Without an attacker the prop is cut from below.
    const Vec2 from = source ? source->GetPosition() : position - Vec2{0.0f, scale.y};
    const QuadCut cut = CutQuad(position, scale, from);
    if (!cut.cut)
        return;
    SetCollider(nullptr);
    if (dustParticles) {
        dustParticles->PlaceAt(position);
        dustParticles->Start();
    }
    for (size_t side = 0; side < 2; ++side) {
        Piece piece;
        piece.corners = cut.pieces[side];
        piece.pivot = Centroid(piece.corners);
        piece.position = position + Vec2{piece.pivot.x * scale.x, -piece.pivot.y * scale.y};
        const float away = side == 0 ? kSpreadSpeed : -kSpreadSpeed;
        piece.velocity = cut.direction * kCutLength + cut.normal * away;
        piece.angularSpeed = static_cast<float>(UnitDraw() * 2.0 - 1.0);
        GameObject::BuildTransform(piece.matrix, scale, piece.angle, piece.position - view);
        pieces.push_back(std::move(piece));
    }
    if (source && source->kind == KindPlayer)
        slashSound.Play();
    else
        laserSound.Play();
    if (UnitDraw() < static_cast<double>(dropChance)) {
        pendingDrop = BottlePool::Take();
        pendingDrop->Spawn(position, roomId);
    }
}

void SliceableEntity::FollowView(const GameObject* parent) {
    if (!parent)
        return;
    // The dust and the pieces are drawn in view space: they keep their spot
    // in the room while the view moves.
    view = parent->GetPosition();
    if (dustParticles)
        dustParticles->FollowView(view);
}

bool SliceableEntity::Update(float dt, GameObject* parent, EntityList* list) {
    FollowView(parent);
    GameObject::Update(dt, parent);
    if (!IsSliced()) {
        if (collider)
            FitFeetBox(*collider, position, rotation, scale);
    } else if (dt > kStoppedFrame) {
        MovePieces(dt);
    }
    for (Piece& piece : pieces)
        GameObject::BuildTransform(piece.matrix, scale, piece.angle, piece.position - view);
    if (dustParticles)
        dustParticles->Update(dt);
    if (pendingDrop && list) {
        list->push_back(pendingDrop);
        pendingDrop = nullptr;
    }
    if (IsSliced() && PiecesGone()) {
        if (dustParticles)
            dustParticles->emitting = false;
        if (!dustParticles || dustParticles->particles.empty())
            return false;
    }
    return true;
}

void SliceableEntity::MovePieces(float dt) {
    for (Piece& piece : pieces) {
        piece.velocity *= kDrag;
        piece.angularSpeed *= kSpinDrag;
        for (float& rate : piece.colorRate)
            rate *= kFadeGrowth;
        piece.angle += piece.angularSpeed * dt;
        piece.position += piece.velocity * dt;
        for (int k = 0; k < 4; ++k)
            piece.color[k] = std::clamp(piece.color[k] + piece.colorRate[k] * dt, 0.0f, 1.0f);
    }
}

bool SliceableEntity::PiecesGone() const {
    return std::all_of(pieces.begin(), pieces.end(),
                       [](const Piece& piece) { return piece.color[3] <= 0.0f; });
}

void SliceableEntity::Draw(int pass) {
    if (!IsSliced()) {
        QNGfxMesh* quad = Resources::GetQuadMesh(1);
        QNGfxTexture* image = pass == 0 ? texture : normalTexture;
        if (quad && image) {
            QNGfxSetTransform(matrix);
            QNGfxSetTintColor(1.0f, 1.0f, 1.0f, 1.0f);
            QNGfxTextureSet(image, 0.0f, 0.0f);
            QNGfxMeshDraw(quad, 3);
        }
    }
    for (Piece& piece : pieces)
        DrawPiece(piece, pass);
    if (pass == 0 && dustParticles)
        dustParticles->Draw();
}

void SliceableEntity::DrawPiece(Piece& piece, int pass) {
    QNGfxTexture* image = pass == 0 ? texture : normalTexture;
    if (!image || piece.color[3] <= 0.0f || piece.corners.size() < 3)
        return;
    if (!piece.mesh) {
        // A fan of triangles around the pivot's corners; the mesh is drawn
        // at the prop's size, so corners stay in unit coordinates (y up).
        QNGfxMeshStart();
        const auto vertex = [&](const Vec2& c) {
            return std::array<float, 4>{c.x - piece.pivot.x, -(c.y - piece.pivot.y), c.x + 0.5f,
                                        c.y + 0.5f};
        };
        const std::array<float, 4> a = vertex(piece.corners[0]);
        for (size_t i = 1; i + 1 < piece.corners.size(); ++i) {
            const std::array<float, 4> b = vertex(piece.corners[i]);
            const std::array<float, 4> c = vertex(piece.corners[i + 1]);
            QNGfxTriAdd(a[0], a[1], kOpaqueWhite, a[2], a[3], b[0], b[1], kOpaqueWhite, b[2], b[3],
                        c[0], c[1], kOpaqueWhite, c[2], c[3]);
        }
        piece.mesh = QNGfxMeshEnd();
        if (!piece.mesh)
            return;
    }
    QNGfxSetTransform(piece.matrix);
    if (pass == 0)
        QNGfxSetTintColor(piece.color[0], piece.color[1], piece.color[2], piece.color[3]);
    else
        QNGfxSetTintColor(1.0f, 1.0f, 1.0f, piece.color[3]);
    QNGfxTextureSet(image, 0.0f, 0.0f);
    QNGfxMeshDraw(piece.mesh, 3);
}

void SliceableEntity::OnRoomExit() {
    if (dustParticles)
        dustParticles->Clear();
}
