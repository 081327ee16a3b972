// The training dummy: it turns to whoever hits it and wobbles, never loses
// a straw, and the shootable one fires every four seconds, bolts that make
// Blade blink and do him no harm. Shots cut props as blades do.
#include "InhabitantStandIns.h"

#include "entities/Dummy.h"
#include "entities/Projectile.h"
#include "entities/ProjectilePool.h"
#include "entities/SliceableEntity.h"
#include "support/StandInAssets.h"

namespace {

using namespace standins;

class DummyTest : public InhabitantTest {
protected:
    std::unique_ptr<Dummy> Make(bool shootable) {
        return std::make_unique<Dummy>(1, Vec2{0.0f, 0.0f}, shootable, Body({7, 6}, 0.08f));
    }
};

TEST_F(DummyTest, ABlowTurnsItTowardsTheAttackerAndSetsItWobblingWithoutHarm) {
    auto dummy = Make(false);
    EXPECT_EQ(dummy->kind, KindEnemy);
    EXPECT_FALSE(dummy->Body()->playing) << "at rest until hit";
    Player* blade = AddBlade({-50.0f, 0.0f});
    struct Case {
        float attackerX, scaleX;
    };
    for (const Case c : {Case{-50.0f, -96.0f}, Case{50.0f, 96.0f}, Case{0.0f, 96.0f}}) {
        blade->SetPosition(c.attackerX, 0.0f);
        dummy->ChangeHealth(-0.7f, blade);
        EXPECT_FLOAT_EQ(dummy->health, 1.0f);
        EXPECT_EQ(dummy->GetScale().x, c.scaleX) << c.attackerX;
        EXPECT_EQ(dummy->Body()->animation, Dummy::Wobble);
        EXPECT_TRUE(dummy->Body()->playing);
        EXPECT_TRUE(dummy->Body()->playOnce);
        EXPECT_EQ(dummy->Body()->frame, 0u);
    }
    for (int i = 0; i < 60; ++i)
        dummy->Update(kFrame, nullptr, &room);
    EXPECT_FALSE(dummy->Body()->playing) << "the wobble plays once";
    dummy->ChangeHealth(-1.0f, nullptr);
    dummy->ChangeHealth(0.5f, nullptr);
    EXPECT_FLOAT_EQ(dummy->health, 1.0f);
    EXPECT_FALSE(dummy->IsDead());
}

TEST_F(DummyTest, TheShootableOneRaisesItsGunEveryFourSeconds) {
    auto dummy = Make(true);
    int raised = 0;
    bool wasShooting = false;
    for (int i = 0; i < 60 * 13; ++i) {
        dummy->Update(kFrame, nullptr, nullptr); // the gun alone, no bolts
        const bool shooting = dummy->Body()->animation == Dummy::Shoot;
        if (shooting && !wasShooting) {
            ++raised;
            EXPECT_GE(i, 60 * 4 * raised - 1) << "not before four seconds";
            EXPECT_EQ(dummy->GetScale().x, 96.0f);
        }
        wasShooting = shooting;
    }
    EXPECT_EQ(raised, 3);
    EXPECT_FLOAT_EQ(dummy->health, 1.0f);
}

TEST_F(DummyTest, AHitWhileAimingKnocksTheWobbleInPartWay) {
    auto dummy = Make(true);
    dummy->shootTimer = 3.0f;
    LightedAnimation2D* body = dummy->Body();
    body->SetAnimation(Dummy::Shoot);
    body->frame = 3;
    body->playing = true;
    dummy->ChangeHealth(-0.3f, nullptr);
    EXPECT_EQ(body->animation, Dummy::Wobble);
    EXPECT_EQ(body->frame, 1u);
    // About to shoot, the gun wins.
    dummy->shootTimer = 4.5f;
    body->SetAnimation(Dummy::Shoot);
    dummy->ChangeHealth(-0.3f, nullptr);
    EXPECT_EQ(body->animation, Dummy::Shoot);
}

class ShotsTest : public DummyTest {
protected:
    void TearDown() override {
        room.clear();
        ProjectilePool::Clear();
        DummyTest::TearDown();
    }
    void Run(float seconds) {
        for (int i = 0; i < static_cast<int>(seconds * 60.0f); ++i)
            Frame([&] { UpdateEntityList(room, kFrame, nullptr); });
    }
    StandInAssets assets; // bolts are built from the asset table
};

TEST_F(ShotsTest, TheShootableDummysBoltsMakeBladeBlinkWithoutHarm) {
    auto dummy = Make(true);
    dummy->SetPosition(200.0f, 0.0f);
    Player* blade = AddBlade({0.0f, -8.0f});
    room.push_back(dummy.get());
    int blinks = 0, shots = 0;
    for (int i = 0; i < 60 * 9; ++i) {
        const size_t before = room.size();
        Frame([&] { UpdateEntityList(room, kFrame, nullptr); });
        if (room.size() > before) {
            ++shots;
            const auto* bolt = dynamic_cast<const Projectile*>(room.back());
            ASSERT_NE(bolt, nullptr);
            // Fired 20 units to the left, it flies on in the same frame.
            EXPECT_FLOAT_EQ(bolt->GetPosition().x,
                            200.0f - Dummy::kMuzzle - Dummy::kBoltSpeed * kFrame);
            EXPECT_EQ(bolt->direction, (Vec2{-1.0f, 0.0f}));
            EXPECT_EQ(bolt->speed, Dummy::kBoltSpeed);
            EXPECT_EQ(bolt->roomId, dummy->roomId);
        }
        if (blade->blinkCount == 3)
            ++blinks;
        blade->blinkCount = 0;
        EXPECT_FLOAT_EQ(blade->health, 1.0f);
    }
    EXPECT_EQ(shots, 2);
    EXPECT_EQ(blinks, 2) << "each bolt lands on Blade";
}

TEST_F(ShotsTest, AShotCutsAPropAlongItsFlight) {
    auto prop = std::make_unique<SliceableEntity>(1, "prop_crate.png", Vec2{100.0f, 0.0f},
                                                  Vec2{48.0f, 48.0f}, 0.0f);
    room.push_back(prop.get());
    Projectile::Launch(room, 1, {0.0f, 15.0f}, {1.0f, 0.0f}, ProjectileBullet, 300.0f, -0.02f);
    Run(1.0f);
    ASSERT_TRUE(prop->IsSliced());
    EXPECT_EQ(prop->GetCollider(), nullptr);
    // The pieces fly on the way the shot went.
    EXPECT_GT(prop->pieces[0].velocity.x, 0.0f);
    EXPECT_GT(prop->pieces[1].velocity.x, 0.0f);
}

} // namespace
