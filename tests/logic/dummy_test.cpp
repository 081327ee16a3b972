// The training dummy: it turns to whoever hits it and wobbles, never loses
// a straw, and the shootable one raises its gun every four seconds.
#include "InhabitantStandIns.h"

#include "entities/Dummy.h"

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
        dummy->Update(kFrame, nullptr, &room);
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

} // namespace
