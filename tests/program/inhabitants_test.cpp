// The first story level's inhabitants on the real game loop, played with
// scripted input: the quartermaster greets Blade and talks him through the
// controls, Blade cuts props open, picks up a bottle, refills at a station,
// reads the scout's list of controls, walks into the hall where the dormant
// gunners wake, clears it, and the Commander's voice follows. Pictures of
// each moment are written to the build directory (docs/inhabitants keeps
// copies).
#include "core/Controls.h"
#include "entities/Bottle.h"
#include "entities/CharacterWindow.h"
#include "entities/NPC.h"
#include "entities/RefillStation.h"
#include "entities/WindowNPC.h"
#include "render/Resources.h"

#include "program/LevelDriver.h"

#include <cmath>

namespace {

class InhabitantsRunTest : public LevelDriver {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(StartLevel(0));
        blade = scene->player;
        ASSERT_NE(blade, nullptr);
        // The long run is drawn one frame in eight (every frame still
        // plays); pictures draw their own frame.
        drawEvery = 8;
    }
    // Down for a frame, up for a frame.
    void Press(uint8_t key) {
        Tap(key);
        Frame();
    }
    // Walks Blade with the movement keys until he stands within 3 units of
    // `target` (world units); when something (a pillar) holds him up he
    // steps aside for a moment. False when he does not get there.
    bool WalkStraightTo(Vec2 target, int limit = 900) {
        float best = 1e9f;
        int stuck = 0, sidestep = 0;
        const bool arrived = RunUntil(
            [&] {
                const Vec2 d = target - blade->GetPosition();
                const float distance = Length(d);
                if (distance < best - 0.5f) {
                    best = distance;
                    stuck = 0;
                } else if (++stuck > 20) {
                    sidestep = 25;
                    stuck = 0;
                }
                const bool across = std::fabs(d.x) > std::fabs(d.y);
                if (sidestep > 0) {
                    --sidestep;
                    // Along the other axis, towards the room's middle row.
                    QNInputInjectKey(QN_VK_D, !across);
                    QNInputInjectKey(QN_VK_A, false);
                    QNInputInjectKey(QN_VK_W, false);
                    QNInputInjectKey(QN_VK_S, across);
                    return false;
                }
                QNInputInjectKey(QN_VK_D, d.x > 3.0f);
                QNInputInjectKey(QN_VK_A, d.x < -3.0f);
                QNInputInjectKey(QN_VK_W, d.y > 3.0f);
                QNInputInjectKey(QN_VK_S, d.y < -3.0f);
                return std::fabs(d.x) <= 3.0f && std::fabs(d.y) <= 3.0f;
            },
            limit);
        ReleaseKeys();
        Frames(1);
        return arrived;
    }
    // Holds the confirm input until the conversation is over.
    bool TalkThrough(int limit = 1800) {
        QNInputInjectKey(QN_VK_LBUTTON, true);
        const bool over = RunUntil([&] { return !scene->DialogueRunning(); }, limit);
        QNInputInjectKey(QN_VK_LBUTTON, false);
        Frames(1);
        return over;
    }
    template <class T> T* FindNear(Vec2 at, float reach = 20.0f) {
        for (Entity* e : scene->currentRoom->entities) {
            auto* found = dynamic_cast<T*>(e);
            if (found && Length(found->GetPosition() - at) < reach)
                return found;
        }
        return nullptr;
    }
    int Living(EntityKind kind) const {
        int n = 0;
        for (const Entity* e : scene->currentRoom->entities)
            n += e->kind == kind && !e->IsDead();
        return n;
    }

    Player* blade = nullptr;
};

TEST_F(InhabitantsRunTest, BladePlaysThroughTheGatehouseAndTheHall) {
    ChatController& chats = *scene->dialogues;
    for (const char* name : {"1", "2", "3"})
        EXPECT_TRUE(chats.IsLoaded(name)) << "every conversation the rooms name: " << name;
    QNInputInjectCursor(900, 260);

    // The quartermaster stands beside Blade's start and greets him at once.
    ASSERT_TRUE(RunUntil([&] { return scene->DialogueRunning(); }, 10));
    EXPECT_EQ(chats.current, chats.chats.at("1").get());
    Frames(80);
    ASSERT_NE(chats.shownLine, nullptr);
    EXPECT_FALSE(chats.portraits[0].frames.empty());
    EXPECT_FALSE(chats.portraits[1].frames.empty());
    Capture("inhabitants_conversation.png");
    // Blade steps away (out of the quartermaster's reach) and hears him out.
    ASSERT_TRUE(WalkStraightTo({192.0f, -120.0f}));
    ASSERT_TRUE(TalkThrough());

    // A crate by the wall: one slash cuts it in two, a bottle is left.
    auto* crate = FindNear<SliceableEntity>({324.0f, -126.0f});
    ASSERT_NE(crate, nullptr);
    ASSERT_TRUE(WalkStraightTo({285.0f, -120.0f}));
    Press(QN_VK_LBUTTON);
    ASSERT_TRUE(crate->IsSliced()) << "the slash reaches the crate";
    EXPECT_EQ(crate->GetCollider(), nullptr);
    Frames(10);
    Capture("inhabitants_prop_split.png");
    Bottle* bottle = FindNear<Bottle>({324.0f, -126.0f});
    ASSERT_NE(bottle, nullptr) << "this crate always holds a bottle";

    // A dash through the barrel behind it spends a quarter of the blue, and
    // the bottle is picked up on the way or after.
    auto* barrel = FindNear<SliceableEntity>({372.0f, -126.0f});
    ASSERT_NE(barrel, nullptr);
    PointAtWorld({420.0f, -120.0f});
    QNInputInjectKey(QN_VK_LSHIFT, true);
    Frames(20);
    Press(QN_VK_LBUTTON);
    QNInputInjectKey(QN_VK_LSHIFT, false);
    ASSERT_EQ(blade->state, PlayerDash);
    EXPECT_FLOAT_EQ(blade->special, 1.0f - Player::dashCost);
    ASSERT_TRUE(RunUntil([&] { return blade->state != PlayerDash; }, 120));
    EXPECT_TRUE(barrel->IsSliced()) << "the dash cuts through";
    Frames(10);
    ASSERT_TRUE(WalkStraightTo({324.0f, -134.0f}));
    Frames(2);
    EXPECT_EQ(FindNear<Bottle>({324.0f, -126.0f}, 4.0f), nullptr) << "the bottle is taken";
    EXPECT_GE(blade->special, 1.0f - Player::dashCost + Bottle::kSpecialGain - 1e-4f);
    EXPECT_LT(blade->special, 1.0f);

    // The special station against the north wall fills the rest.
    auto* station = FindNear<RefillStation>({730.0f, -100.0f});
    ASSERT_NE(station, nullptr);
    EXPECT_FALSE(station->givesHealth);
    ASSERT_TRUE(WalkStraightTo({700.0f, -150.0f}));
    ASSERT_TRUE(WalkStraightTo({700.0f, -132.0f}));
    Frames(20);
    EXPECT_TRUE(station->promptUp);
    Press(QN_VK_E);
    EXPECT_FLOAT_EQ(blade->special, 1.0f);
    EXPECT_EQ(station->usesLeft, RefillStation::kUses - 1);
    Frames(12);
    Capture("inhabitants_station.png");

    // The scout by the west wall shows the controls.
    auto* scout = FindNear<WindowNPC>({96.0f, -120.0f});
    ASSERT_NE(scout, nullptr);
    ASSERT_TRUE(WalkStraightTo({700.0f, -150.0f}));
    ASSERT_TRUE(WalkStraightTo({130.0f, -150.0f}));
    Frames(30);
    ASSERT_TRUE(scout->promptUp);
    EXPECT_EQ(scout->promptGlyph->animation, 0u) << "the E key, no pad in use";
    EXPECT_EQ(scout->promptGlyph->textures[0], Resources::GetTexture("popup_key_e.png", true));
    // The prompt follows the player's binding.
    ASSERT_FALSE(Controls::Current().BindKey(Action::Talk, 'F'));
    Frames(2);
    EXPECT_EQ(scout->promptGlyph->textures[0], Resources::GetTexture("popup_key_f.png", true));
    Controls::Current().Reset();
    Frames(2);
    EXPECT_EQ(scout->promptGlyph->textures[0], Resources::GetTexture("popup_key_e.png", true));
    Capture("inhabitants_prompt.png");
    Press(QN_VK_E);
    ASSERT_NE(scout->window, nullptr);
    EXPECT_TRUE(scout->window->IsOpen());
    Frames(90);
    Capture("inhabitants_controls.png");
    // Escape closes the window first and leaves play running.
    Press(QN_VK_ESCAPE);
    EXPECT_FALSE(scout->window->IsOpen());
    EXPECT_FALSE(scene->paused) << "the pause window did not open over it";
    Frames(90);
    EXPECT_FALSE(scene->pauseWindow->Showing());
    Press(QN_VK_E);
    EXPECT_TRUE(scout->window->IsOpen());
    Press(QN_VK_E);
    EXPECT_FALSE(scout->window->IsOpen());

    // East into the great hall.
    ASSERT_TRUE(WalkStraightTo({130.0f, -292.0f}));
    QNInputInjectKey(QN_VK_D, true);
    ASSERT_TRUE(RunUntil([&] { return scene->nextRoom != nullptr; }, 600));
    QNInputInjectKey(QN_VK_D, false);
    ASSERT_TRUE(RunUntil([&] { return scene->nextRoom == nullptr; }, 240));
    ASSERT_EQ(scene->currentRoom->id, 2);
    const int gunners = Living(KindEnemy);
    for (const Entity* e : scene->currentRoom->entities) {
        if (e->kind == KindEnemy) {
            EXPECT_TRUE(e->attackDisabled) << "the gunners lie in wait";
        }
    }

    // Blade reads the quiet, then the second line wakes the first of the
    // ambush; the others wait for their own lines further in.
    const Vec2 in = blade->GetPosition();
    ASSERT_TRUE(WalkStraightTo({170.0f, in.y}));
    EXPECT_EQ(chats.current, chats.chats.at("2").get());
    ASSERT_TRUE(WalkStraightTo({260.0f, in.y}));
    int awake = 0;
    for (const Entity* e : scene->currentRoom->entities)
        awake += e->kind == KindEnemy && !e->attackDisabled;
    EXPECT_EQ(awake, 1);
    ASSERT_TRUE(TalkThrough());

    // Clear the hall: up to the nearest gunner, then a dash through him
    // while the blue lasts, otherwise a string of slashes from beside him.
    EXPECT_EQ(gunners, 3);
    for (int attempt = 0; attempt < 30 && Living(KindEnemy) > 0 && !blade->IsDead(); ++attempt) {
        const Entity* target = nullptr;
        for (const Entity* e : scene->currentRoom->entities) {
            if (e->kind == KindEnemy && !e->IsDead() &&
                (!target || LengthSq(e->GetPosition() - blade->GetPosition()) <
                                LengthSq(target->GetPosition() - blade->GetPosition())))
                target = e;
        }
        const Vec2 d = target->GetPosition() - blade->GetPosition();
        if (Length(d) > 120.0f) {
            WalkStraightTo(blade->GetPosition() + d * ((Length(d) - 100.0f) / Length(d)), 120);
            continue;
        }
        if (blade->special >= Player::dashCost) {
            PointAtWorld(target->GetPosition() + Normalized(d) * 40.0f);
            QNInputInjectKey(QN_VK_LSHIFT, true);
            Frames(10);
            Press(QN_VK_LBUTTON);
            QNInputInjectKey(QN_VK_LSHIFT, false);
            RunUntil([&] { return blade->state != PlayerDash; }, 120);
            Frames(10);
            continue;
        }
        const float side = d.x >= 0.0f ? -1.0f : 1.0f;
        WalkStraightTo(target->GetPosition() + Vec2{side * 30.0f, -8.0f}, 90);
        // A step towards him turns Blade to face him.
        const uint8_t towards = side < 0.0f ? QN_VK_D : QN_VK_A;
        QNInputInjectKey(towards, true);
        Frames(1);
        QNInputInjectKey(towards, false);
        for (int swing = 0; swing < 3; ++swing) {
            Press(QN_VK_LBUTTON);
            Frames(12);
        }
    }
    EXPECT_EQ(Living(KindEnemy), 0) << "the hall is clear";
    ASSERT_FALSE(blade->IsDead());

    // Towards the gate: the hall is clear, the Commander speaks.
    ASSERT_TRUE(WalkStraightTo({260.0f, -290.0f}));
    ASSERT_TRUE(WalkStraightTo({260.0f, -200.0f}));
    ASSERT_TRUE(RunUntil([&] { return scene->DialogueRunning(); }, 60));
    EXPECT_EQ(chats.current, chats.chats.at("3").get());
    Frames(100);
    Capture("inhabitants_after_fight.png");
    ASSERT_TRUE(TalkThrough());
}

} // namespace
