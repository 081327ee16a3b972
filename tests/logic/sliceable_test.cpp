// Breakable props and mana bottles: the cut through a prop's centre, what a
// cut does to the prop (collider, pieces, drop), the pieces' flight and
// fade, and the bottle it leaves: fading in, then taken by Blade.
#include "InhabitantStandIns.h"

#include "core/AABB.h"
#include "entities/Bottle.h"
#include "entities/BottlePool.h"
#include "entities/SliceableEntity.h"

#include <cmath>

namespace {

using namespace standins;

float Area(const std::vector<Vec2>& corners) {
    float twice = 0.0f;
    for (size_t i = 0; i < corners.size(); ++i) {
        const Vec2 a = corners[i], b = corners[(i + 1) % corners.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return std::fabs(twice) / 2.0f;
}

Vec2 Mean(const std::vector<Vec2>& corners) {
    Vec2 sum{0.0f, 0.0f};
    for (const Vec2& c : corners)
        sum += c;
    return sum / static_cast<float>(corners.size());
}

TEST(CutQuadTest, TheTwoPiecesCoverThePictureForCutsFromEveryDirection) {
    const Vec2 centre{100.0f, -50.0f};
    const Vec2 size{48.0f, 64.0f};
    for (int degrees = 0; degrees < 360; degrees += 15) {
        SCOPED_TRACE(degrees);
        const float a = static_cast<float>(degrees) * 3.14159265f / 180.0f;
        const Vec2 from = centre + Vec2{std::cos(a), std::sin(a)} * 70.0f;
        const QuadCut cut = CutQuad(centre, size, from);
        ASSERT_TRUE(cut.cut);
        EXPECT_NEAR(Area(cut.pieces[0]) + Area(cut.pieces[1]), 1.0f, 1e-4f);
        EXPECT_GT(Area(cut.pieces[0]), 0.0f);
        EXPECT_GT(Area(cut.pieces[1]), 0.0f);
        // The cut runs from the attacker through the centre...
        EXPECT_NEAR(cut.direction.x, -std::cos(a), 1e-4f);
        EXPECT_NEAR(cut.direction.y, -std::sin(a), 1e-4f);
        // ...and piece 0 lies on the side its normal points to (unit v is
        // world -y).
        for (int side = 0; side < 2; ++side) {
            const Vec2 m = Mean(cut.pieces[side]);
            const float along = Dot(Vec2{m.x * size.x, -m.y * size.y}, cut.normal);
            EXPECT_TRUE(side == 0 ? along > 0.0f : along < 0.0f) << side;
            for (const Vec2& c : cut.pieces[side]) {
                EXPECT_LE(std::fabs(c.x), 0.5f + 1e-5f);
                EXPECT_LE(std::fabs(c.y), 0.5f + 1e-5f);
            }
        }
    }
}

TEST(CutQuadTest, AHorizontalShotSplitsTopFromBottomAtTheMiddle) {
    const QuadCut cut = CutQuad({0.0f, 0.0f}, {40.0f, 20.0f}, {-80.0f, 0.0f});
    ASSERT_TRUE(cut.cut);
    // Travelling right, the normal points up: piece 0 is the top half (v < 0).
    for (const Vec2& c : cut.pieces[0])
        EXPECT_LE(c.y, 0.0f);
    for (const Vec2& c : cut.pieces[1])
        EXPECT_GE(c.y, 0.0f);
    EXPECT_NEAR(Area(cut.pieces[0]), 0.5f, 1e-5f);
}

TEST(CutQuadTest, NoCutWithoutADirectionOrAPicture) {
    EXPECT_FALSE(CutQuad({5.0f, 5.0f}, {48.0f, 48.0f}, {5.0f, 5.0f}).cut);
    EXPECT_FALSE(CutQuad({5.0f, 5.0f}, {0.0f, 0.0f}, {0.0f, -40.0f}).cut);
}

// A body that stands where it is put and may be Blade.
class Striker : public RenderableEntity {
public:
    Striker(EntityKind k, Vec2 at)
        : RenderableEntity(1, k, new Sprite2D(&mesh, &texture, 10, 10, {1, 1, 1, 1})) {
        SetPosition(at);
    }
};

class SliceableTest : public InhabitantTest {
protected:
    void TearDown() override {
        BottlePool::Clear();
        InhabitantTest::TearDown();
    }
    std::unique_ptr<SliceableEntity> Prop(float dropChance, Vec2 at = {0.0f, 0.0f}) {
        SliceableEntity::Look look;
        look.texture = &texture;
        look.normalTexture = &texture;
        return std::make_unique<SliceableEntity>(3, look, at, Vec2{48.0f, 48.0f}, dropChance);
    }
    // Bottles built from stand-ins, waiting in the pool.
    void StockBottles(int n) {
        for (int i = 0; i < n; ++i)
            BottlePool::Give(new Bottle(Body({1})));
    }
};

TEST_F(SliceableTest, AnIntactPropCollidesAtItsFeet) {
    auto prop = Prop(1.0f, {100.0f, 40.0f});
    EXPECT_EQ(prop->kind, KindSliceable);
    const auto* box = dynamic_cast<const AABB*>(prop->GetCollider());
    ASSERT_NE(box, nullptr);
    EXPECT_FLOAT_EQ(box->centre.x, 100.0f);
    EXPECT_FLOAT_EQ(box->centre.y, 55.0f);
    EXPECT_FLOAT_EQ(box->halfExtents.x, 0.8f * 48.0f / 2.0f);
    EXPECT_FLOAT_EQ(box->halfExtents.y, 0.25f * 48.0f / 2.0f);
}

TEST_F(SliceableTest, ACutRemovesTheColliderAndASecondHitDoesNothing) {
    StockBottles(2);
    auto prop = Prop(1.0f);
    Striker blade(KindPlayer, {-40.0f, 0.0f});
    prop->ChangeHealth(-0.34f, &blade);
    ASSERT_TRUE(prop->IsSliced());
    EXPECT_EQ(prop->GetCollider(), nullptr);
    ASSERT_EQ(prop->pieces.size(), 2u);
    EXPECT_FLOAT_EQ(prop->health, 1.0f) << "a prop is cut, not worn down";
    const Vec2 first = prop->pieces[0].position;
    Bottle* dropped = prop->pendingDrop;
    ASSERT_NE(dropped, nullptr);

    Striker shot(KindProjectile, {0.0f, 60.0f});
    prop->ChangeHealth(-1.0f, &shot);
    EXPECT_EQ(prop->pieces.size(), 2u);
    EXPECT_EQ(prop->pieces[0].position, first);
    EXPECT_EQ(prop->pendingDrop, dropped) << "no second drop";
    EXPECT_EQ(BottlePool::IdleCount(), 1u);
}

TEST_F(SliceableTest, DropChanceZeroNeverDropsAndOneAlwaysDoes) {
    struct Case {
        float chance;
        bool drops;
    };
    for (const Case c : {Case{0.0f, false}, Case{1.0f, true}}) {
        for (int i = 0; i < 200; ++i) {
            StockBottles(1);
            auto prop = Prop(c.chance, {10.0f, 20.0f});
            prop->ChangeHealth(-1.0f, nullptr);
            ASSERT_TRUE(prop->IsSliced());
            ASSERT_EQ(prop->pendingDrop != nullptr, c.drops) << c.chance << " cut " << i;
            if (prop->pendingDrop) {
                EXPECT_EQ(prop->pendingDrop->GetPosition(), (Vec2{10.0f, 20.0f}));
                EXPECT_EQ(prop->pendingDrop->roomId, 3);
            }
        }
    }
}

TEST_F(SliceableTest, TheBottleJoinsTheRoomOnTheNextUpdate) {
    StockBottles(1);
    auto prop = Prop(1.0f);
    room.push_back(prop.get());
    prop->ChangeHealth(-1.0f, nullptr);
    Bottle* bottle = prop->pendingDrop;
    UpdateEntityList(room, kFrame, nullptr);
    ASSERT_EQ(room.size(), 2u);
    EXPECT_EQ(room[1], bottle);
    EXPECT_EQ(prop->pendingDrop, nullptr);
    room.clear();
    delete bottle;
}

TEST_F(SliceableTest, PiecesFlyApartAlongTheCutFadeEverFasterAndThePropLeaves) {
    auto prop = Prop(0.0f);
    Striker blade(KindPlayer, {-60.0f, 0.0f}); // cuts left to right
    prop->ChangeHealth(-0.5f, &blade);
    const Vec2 start0 = prop->pieces[0].position, start1 = prop->pieces[1].position;
    room.push_back(prop.get());
    float lastStep = 0.0f;
    int frames = 0;
    for (; frames < 600 && !room.empty(); ++frames) {
        const float before = prop->pieces[0].color[3];
        UpdateEntityList(room, kFrame, nullptr);
        if (room.empty())
            break;
        const float step = before - prop->pieces[0].color[3];
        if (frames > 0 && prop->pieces[0].color[3] > 0.0f) {
            EXPECT_GT(step, lastStep) << "the fade speeds up, frame " << frames;
        }
        lastStep = step;
    }
    EXPECT_TRUE(room.empty()) << "a cut prop leaves once its pieces have faded";
    EXPECT_GT(frames, 30);
    EXPECT_LT(frames, 300);
    // Both flew on, away from Blade, and apart from each other.
    const SliceableEntity::Piece& a = prop->pieces[0];
    const SliceableEntity::Piece& b = prop->pieces[1];
    EXPECT_GT(a.position.x, start0.x + 20.0f);
    EXPECT_GT(b.position.x, start1.x + 20.0f);
    EXPECT_GT(a.position.y - b.position.y, start0.y - start1.y + 10.0f);
    EXPECT_NE(a.angle, 0.0f);
}

TEST_F(SliceableTest, ABottleFadesInThenBladeTakesItForSpecial) {
    Bottle bottle(Body({1}));
    bottle.Spawn({0.0f, 0.0f}, 1);
    Player* blade = AddBlade({0.0f, -8.0f});
    blade->special = 0.5f;
    room.push_back(&bottle);
    auto step = [&] { UpdateEntityList(room, kFrame, nullptr); };
    Frame(step);
    EXPECT_FALSE(bottle.collectable);
    EXPECT_LT(bottle.sprite->tint[3], 0.5f);
    EXPECT_EQ(room.size(), 2u) << "not taken while it fades in";
    for (int i = 0; i < 20; ++i)
        Frame(step);
    EXPECT_TRUE(bottle.collectable) << "fully shown after 0.3 s";
    Frame(step);
    ASSERT_EQ(room.size(), 1u) << "taken once collectable";
    EXPECT_FLOAT_EQ(blade->special, 0.5f + Bottle::kSpecialGain);
    EXPECT_EQ(BottlePool::IdleCount(), 1u) << "back in the pool";
    EXPECT_EQ(BottlePool::Take(), &bottle);
}

TEST_F(SliceableTest, ABottleOutOfReachStays) {
    Bottle bottle(Body({1}));
    bottle.Spawn({0.0f, 0.0f}, 1);
    AddBlade({200.0f, 0.0f});
    room.push_back(&bottle);
    for (int i = 0; i < 60; ++i)
        Frame([&] { UpdateEntityList(room, kFrame, nullptr); });
    EXPECT_EQ(room.size(), 2u);
    EXPECT_EQ(bottle.GetScale(), (Vec2{Bottle::kWidth, Bottle::kHeight}));
    EXPECT_FLOAT_EQ(bottle.sprite->tint[3], 1.0f);
}

} // namespace
