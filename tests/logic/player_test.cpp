// Blade's decisions without drawing: walking and facing, the combo table,
// the sectors a slash reaches, deflection, the aimed dash in slowed time,
// tints, idling, death and the HUD it keeps informed.
#include "core/AssetManifest.h"
#include "core/Circle2D.h"
#include "core/Runtime.h"
#include "engine/QNGraphics.h"
#include "engine/QNInput.h"
#include "engine/QNKeys.h"
#include "entities/HitFeel.h"
#include "entities/LevelServices.h"
#include "entities/Player.h"
#include "entities/StaticEntity.h"
#include "game/Game.h"
#include "render/LightedAnimation2D.h"
#include "render/Resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr float kFrame = 1.0f / 60.0f;

// Stand-ins: stepping never touches meshes or textures.
QNGfxMesh mesh{};
QNGfxTexture texture{};

Player::Parts StandInParts() {
    const std::vector<FrameTable> tables = Player::BodyFrameTables();
    const std::vector<QNGfxTexture*> textures(tables.size(), &texture);
    Player::Parts parts;
    parts.body = new LightedAnimation2D({&mesh}, textures, textures, tables, 96.0f, 96.0f);
    parts.ghost = new LightedAnimation2D(&mesh, &texture, &texture,
                                         Resources::BuildFrameTables({{8, 0.075f}})[0]);
    return parts;
}

// A body in the room that records what hit it.
class Target : public RenderableEntity {
public:
    Target(EntityKind entityKind, Vec2 at, float bodyHealth = 1.0f)
        : RenderableEntity(1, entityKind, new Sprite2D(&mesh, &texture, 96, 96, {1, 1, 1, 1})) {
        health = bodyHealth;
        sprite->SetCollider(new Circle2D(0.18f));
        SetPosition(at);
        sprite->Update(0.0f, nullptr); // fits the collider
    }
    void ChangeHealth(const float& delta, Entity* source) override {
        ++hits;
        lastSource = source;
        RenderableEntity::ChangeHealth(delta, source);
    }
    int hits = 0;
    Entity* lastSource = nullptr;
};

// The level as the player sees it.
class TestLevel : public LevelServices {
public:
    EntityList* RoomEntities(int32_t) override { return nullptr; }
    Vec2 CursorInRoom(int32_t) const override { return cursor; }
    LevelMap::WallHit Raycast(int32_t, Vec2 a, Vec2 b) const override {
        // One vertical wall at x = wallX.
        if ((a.x - wallX) * (b.x - wallX) > 0.0f)
            return {};
        const float t = (wallX - a.x) / (b.x - a.x);
        return {{wallX, a.y + (b.y - a.y) * t}, true};
    }
    void ShowHealth(float h) override { shownHealth.push_back(h); }
    void ShowSpecial(float s) override { shownSpecial.push_back(s); }

    Vec2 cursor{0.0f, 0.0f};
    float wallX = -10000.0f;
    std::vector<float> shownHealth;
    std::vector<float> shownSpecial;
};

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        QNInputReset();
        QNInputSetScripted(true);
        Game::Instance().gamePad.SetScripted(true);
        // Blows hold the game still (tested on their own); here every
        // frame moves.
        Runtime::Get().clock.Restore();
        Runtime::Get().clock.hitStops = false;
        LevelServices::current = &level;
        player = std::make_unique<Player>(1, StandInParts());
        room.push_back(player.get());
    }
    void TearDown() override {
        LevelServices::current = nullptr;
        Runtime::Get().clock.Restore();
        Runtime::Get().clock.hitStops = true;
        Game::Instance().gamePad.SetScripted(false);
        QNInputSetScripted(false);
    }

    // One frame with the scaled time the game's clock hands out.
    void Frame() {
        QNInputUpdate();
        Game::Instance().gamePad.PollXInput(kFrame);
        player->Update(Game::Instance().AdvanceClock(kFrame), nullptr, &room);
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i)
            Frame();
    }
    // A key down for exactly one frame.
    void Tap(uint8_t key) {
        QNInputInjectKey(key, true);
        Frame();
        QNInputInjectKey(key, false);
    }
    // Waits (at most a second) until the body shows `frame`, then taps.
    void TapOnFrame(uint8_t key, uint32_t frame) {
        for (int i = 0; i < 60 && player->Body()->frame != frame; ++i)
            Frame();
        ASSERT_EQ(player->Body()->frame, frame);
        Tap(key);
    }
    Target* Add(EntityKind kind, Vec2 at, float health = 1.0f) {
        targets.push_back(std::make_unique<Target>(kind, at, health));
        room.push_back(targets.back().get());
        return targets.back().get();
    }

    TestLevel level;
    EntityList room;
    std::unique_ptr<Player> player;
    std::vector<std::unique_ptr<Target>> targets;
};

TEST_F(PlayerTest, StartsWholeFacingLeftAndTellsTheHud) {
    EXPECT_EQ(player->kind, KindPlayer);
    EXPECT_EQ(player->state, PlayerIdle);
    EXPECT_EQ(player->special, 1.0f);
    EXPECT_EQ(player->GetScale(), (Vec2{96.0f, 96.0f}));
    EXPECT_EQ(player->Facing(), (Vec2{-1.0f, 0.0f}));
    EXPECT_FLOAT_EQ(player->BodyRadius(), 17.28f);
    EXPECT_FLOAT_EQ(player->attackCircle->radius, 0.22f * 96.0f);
    EXPECT_EQ(player->ghost->tint[3], 0.0f);
    EXPECT_EQ(level.shownHealth, (std::vector<float>{1.0f}));
    EXPECT_EQ(level.shownSpecial, (std::vector<float>{1.0f}));
}

TEST(PlayerStripsTest, AgreeWithTheArt) {
    const std::vector<std::string> stems = Player::BodyStems();
    const std::vector<FrameTable> tables = Player::BodyFrameTables();
    ASSERT_EQ(stems.size(), 13u);
    for (size_t i = 0; i < stems.size(); ++i) {
        const AssetImage* image = FindAssetImage(stems[i] + ".png");
        ASSERT_NE(image, nullptr) << stems[i];
        EXPECT_TRUE(image->lit) << stems[i];
        EXPECT_EQ(static_cast<int>(tables[i].size()), image->frames) << stems[i];
    }
    // Frames with their own time.
    EXPECT_FLOAT_EQ(tables[AnimSlashLL][0].duration, 0.02f);
    EXPECT_FLOAT_EQ(tables[AnimSlashLL][2].duration, 0.075f);
    EXPECT_FLOAT_EQ(tables[AnimDash][7].duration, 0.01f);
}

// ---------------------------------------------------------------------------
// Walking and facing
// ---------------------------------------------------------------------------
TEST_F(PlayerTest, WalksEightWaysAndFacesTheWayItGoes) {
    struct Case {
        std::vector<uint8_t> keys;
        Vec2 step; // per second
        float scaleX;
    };
    const float s = Player::walkSpeed;
    const Case cases[] = {
        {{QN_VK_W}, {0, s}, 96.0f},           {{QN_VK_S}, {0, -s}, 96.0f},
        {{QN_VK_D}, {s, 0}, -96.0f},          {{QN_VK_A}, {-s, 0}, 96.0f},
        {{QN_VK_W, QN_VK_D}, {s, s}, -96.0f}, // diagonals are faster
        {{QN_VK_A, QN_VK_D}, {-s, 0}, 96.0f}, // both sides: left wins, and it looks left
    };
    for (const Case& c : cases) {
        player->SetPosition(0.0f, 0.0f);
        player->SetScale(96.0f, 96.0f);
        for (uint8_t k : c.keys)
            QNInputInjectKey(k, true);
        Frames(60);
        for (uint8_t k : c.keys)
            QNInputInjectKey(k, false);
        EXPECT_NEAR(player->GetPosition().x, c.step.x, 0.01f);
        EXPECT_NEAR(player->GetPosition().y, c.step.y, 0.01f);
        EXPECT_EQ(player->GetScale().x, c.scaleX);
        EXPECT_EQ(player->state, PlayerRun);
        EXPECT_EQ(player->Body()->animation, AnimRun);
        Frame();
        EXPECT_EQ(player->state, PlayerIdle);
        EXPECT_EQ(player->Body()->animation, AnimIdle);
    }
}

TEST_F(PlayerTest, TheStickTakesPrecedenceOverTheDPad) {
    ControllerState pad;
    pad.thumbLX = 32767;
    pad.buttons = PAD_LEFT;
    Game::Instance().gamePad.InjectController(pad);
    Frames(60);
    EXPECT_NEAR(player->GetPosition().x, Player::walkSpeed, 0.1f);
    EXPECT_EQ(player->GetScale().x, -96.0f);
}

TEST_F(PlayerTest, SlashingSlowsTheWalk) {
    QNInputInjectKey(QN_VK_W, true);
    Tap(QN_VK_LBUTTON);
    const float y0 = player->GetPosition().y;
    Frames(6);
    EXPECT_EQ(player->state, PlayerSlash);
    EXPECT_NEAR(player->GetPosition().y - y0, Player::slashWalkSpeed * 6 * kFrame, 1e-3f);
}

TEST_F(PlayerTest, FrozenPinsTheBodyAndTakesTheTint) {
    player->frozen = true;
    player->frozenPosition = {40.0f, -20.0f};
    player->frozenTint = {1.0f, 1.0f, 1.0f, 0.25f};
    QNInputInjectKey(QN_VK_D, true);
    Tap(QN_VK_LBUTTON);
    Frames(10);
    EXPECT_EQ(player->GetPosition(), (Vec2{40.0f, -20.0f}));
    EXPECT_EQ(player->sprite->tint[3], 0.25f);
    EXPECT_EQ(player->state, PlayerIdle);
}

TEST_F(PlayerTest, AStoppedFrameChangesNothing) {
    QNInputInjectKey(QN_VK_W, true);
    QNInputUpdate();
    player->Update(0.0f, nullptr, &room);
    EXPECT_EQ(player->GetPosition(), (Vec2{0.0f, 0.0f}));
    EXPECT_EQ(player->state, PlayerIdle);
}

// ---------------------------------------------------------------------------
// Combos
// ---------------------------------------------------------------------------
TEST_F(PlayerTest, ThreeHitCombosFollowTheTable) {
    struct Case {
        std::string presses;
        std::vector<uint32_t> animations;
    };
    const Case cases[] = {
        {"lll", {AnimSlashL, AnimSlashLL, AnimSlashLLL}},
        {"rrr", {AnimSlashR, AnimSlashRR, AnimSlashRRR}},
        {"lrl", {AnimSlashL, AnimSlashRR, AnimSlashLRL}},
        {"rlr", {AnimSlashR, AnimSlashLL, AnimSlashRLR}},
    };
    for (const Case& c : cases) {
        player->combo = 0;
        player->state = PlayerIdle;
        player->Body()->SetAnimation(AnimIdle);
        std::vector<uint32_t> seen;
        for (size_t i = 0; i < c.presses.size(); ++i) {
            const uint8_t key = c.presses[i] == 'l' ? QN_VK_LBUTTON : QN_VK_RBUTTON;
            if (i == 0) {
                Tap(key);
            } else {
                // The first frame the window opens: slashl 3, slashr 3, then 5.
                TapOnFrame(key, i == 1 ? 3u : 5u);
            }
            seen.push_back(player->Body()->animation);
            EXPECT_EQ(player->Body()->frame, 0u) << c.presses << i;
            EXPECT_TRUE(player->Body()->playOnce);
        }
        EXPECT_EQ(seen, c.animations) << c.presses;
        EXPECT_EQ(player->combo, 0) << c.presses; // a finisher ends the combo
        Frames(120);
        EXPECT_EQ(player->state, PlayerIdle);
        EXPECT_EQ(player->Body()->animation, AnimIdle);
    }
}

TEST_F(PlayerTest, APressJustBeforeItsWindowIsKeptAndOneLongBeforeIsDropped) {
    // slashl shows each of its frames for 0.06 s; the next light slash
    // opens on frame 3 (0.18 s in). A press on frame 1 comes more than a
    // tenth of a second early and is dropped.
    Tap(QN_VK_LBUTTON);
    ASSERT_EQ(player->Body()->animation, AnimSlashL);
    TapOnFrame(QN_VK_LBUTTON, 1);
    EXPECT_EQ(player->Body()->animation, AnimSlashL);
    EXPECT_EQ(player->state, PlayerSlash);
    EXPECT_EQ(player->combo, 1);
    for (int i = 0; i < 60 && player->Body()->frame < 4; ++i)
        Frame();
    EXPECT_EQ(player->Body()->animation, AnimSlashL) << "a press long before: dropped";
    Frames(120);

    // On frame 2 it is kept and plays as the window opens.
    Tap(QN_VK_LBUTTON);
    TapOnFrame(QN_VK_LBUTTON, 2);
    EXPECT_EQ(player->Body()->animation, AnimSlashL);
    for (int i = 0; i < 6 && player->Body()->animation == AnimSlashL; ++i)
        Frame();
    EXPECT_EQ(player->Body()->animation, AnimSlashLL) << "a press just before: kept";

    // An opener while a slash runs does nothing: the slash still has more
    // than a tenth of a second to go, and the kept press runs out.
    player->combo = 0;
    TapOnFrame(QN_VK_RBUTTON, 4);
    EXPECT_EQ(player->Body()->animation, AnimSlashLL);
    Frames(120);
    EXPECT_EQ(player->combo, 0);
    EXPECT_EQ(player->state, PlayerIdle);
    EXPECT_EQ(player->Body()->animation, AnimIdle);
}

TEST_F(PlayerTest, APressInTheLastMomentsOfASlashPlaysWhenItEnds) {
    // A finisher takes no follow-up; a press on its last frame (5 of
    // slashlll) is kept and opens the next combo as soon as it ends.
    Tap(QN_VK_LBUTTON);
    TapOnFrame(QN_VK_LBUTTON, 3);
    TapOnFrame(QN_VK_LBUTTON, 5);
    ASSERT_EQ(player->Body()->animation, AnimSlashLLL);
    TapOnFrame(QN_VK_LBUTTON, 5);
    EXPECT_EQ(player->Body()->animation, AnimSlashLLL);
    for (int i = 0; i < 12 && player->Body()->animation == AnimSlashLLL; ++i)
        Frame();
    EXPECT_EQ(player->Body()->animation, AnimSlashL) << "the kept press opens a new combo";
}

TEST_F(PlayerTest, SlashesSwingToThePointersSide) {
    // Blade looks left; the pointer to his right turns the swing there.
    Target* right = Add(KindEnemy, {30.0f, 0.0f});
    Target* left = Add(KindEnemy, {-30.0f, 0.0f});
    ASSERT_LT(player->Facing().x, 0.0f);
    level.cursor = {200.0f, 40.0f};
    Tap(QN_VK_LBUTTON);
    EXPECT_GT(player->Facing().x, 0.0f);
    EXPECT_EQ(right->hits, 1);
    EXPECT_EQ(left->hits, 0);
    Frames(120);
    // Walking right while pointing left: the pointer wins.
    level.cursor = {-200.0f, 0.0f};
    QNInputInjectKey(QN_VK_D, true);
    Tap(QN_VK_LBUTTON);
    QNInputInjectKey(QN_VK_D, false);
    EXPECT_LT(player->Facing().x, 0.0f);
    EXPECT_EQ(left->hits, 1);
    EXPECT_EQ(right->hits, 1);
}

TEST_F(PlayerTest, WithAPadSlashesFollowTheStickOrKeepTheirSide) {
    Target* right = Add(KindEnemy, {30.0f, 0.0f});
    level.cursor = {-200.0f, 0.0f}; // the pointer means nothing with a pad
    struct Case {
        int16_t stickX;
        float facing; // x of Facing() after the slash
    } cases[] = {{32767, 1.0f}, {0, 1.0f}, {-32767, -1.0f}, {0, -1.0f}};
    for (const Case& c : cases) {
        ControllerState pad;
        pad.thumbLX = c.stickX;
        pad.buttons = PAD_A;
        Game::Instance().gamePad.InjectController(pad);
        Frame();
        Game::Instance().gamePad.InjectController(ControllerState{});
        EXPECT_EQ(player->Facing().x, c.facing) << c.stickX;
        Frames(120);
    }
    EXPECT_EQ(right->hits, 2);
}

TEST_F(PlayerTest, ASlashThatLandsHoldsTheGameStillAndFellingHoldsLonger) {
    GameClock& clock = Runtime::Get().clock;
    clock.hitStops = true;
    Target* foe = Add(KindEnemy, {-30.0f, 0.0f}, 0.5f);
    Tap(QN_VK_LBUTTON); // -0.34: it stands
    EXPECT_FLOAT_EQ(clock.HitStopLeft(), FeelOf(Blow::LightHit).hold);
    Frames(120);
    Tap(QN_VK_RBUTTON); // -0.5: it falls
    EXPECT_TRUE(foe->IsDead());
    EXPECT_FLOAT_EQ(clock.HitStopLeft(), FeelOf(Blow::Kill).hold);
    Frames(120);
    // Props and scenery are no foes: no hold.
    Add(KindSliceable, {-30.0f, 0.0f});
    Tap(QN_VK_LBUTTON);
    EXPECT_FLOAT_EQ(clock.HitStopLeft(), 0.0f);
}

TEST_F(PlayerTest, NothingHurtsBladeWhileTheDashCarriesHim) {
    level.cursor = {-150.0f, 0.0f};
    QNInputInjectKey(QN_VK_LSHIFT, true);
    Frames(3);
    Tap(QN_VK_LBUTTON);
    QNInputInjectKey(QN_VK_LSHIFT, false);
    ASSERT_EQ(player->state, PlayerDash);
    player->ChangeHealth(-0.3f, nullptr);
    EXPECT_FLOAT_EQ(player->health, 1.0f);
    player->ChangeHealth(0.0f, nullptr);
    Frames(120);
    ASSERT_NE(player->state, PlayerDash);
    player->ChangeHealth(-0.3f, nullptr);
    EXPECT_FLOAT_EQ(player->health, 0.7f) << "once it has stopped, hits land again";
}

TEST(ComboTableTest, WindowEdgesAreInclusive) {
    struct Case {
        int32_t combo;
        bool heavy, slashing;
        uint32_t frame;
        int expectedAnimation; // -1: nothing
    };
    const Case cases[] = {
        {0, false, false, 0, AnimSlashL},
        {0, false, true, 4, -1},
        {1, false, true, 2, -1},
        {1, false, true, 3, AnimSlashLL},
        {1, false, true, 6, AnimSlashLL},
        {1, false, true, 7, -1},
        {2, false, true, 5, AnimSlashLLL},
        {3, false, true, 7, AnimSlashLLL},
        {4, false, true, 7, AnimSlashLL},
        {5, false, true, 4, -1},
        {6, false, true, 5, AnimSlashLRL},
        {0, true, false, 0, AnimSlashR},
        {1, true, true, 3, AnimSlashRR},
        {2, true, true, 7, AnimSlashRLR},
        {4, true, true, 3, AnimSlashRR},
        {5, true, true, 5, AnimSlashRRR},
        {6, true, true, 8, -1},
    };
    for (const Case& c : cases) {
        const ComboRow* row = Player::FindComboRow(c.combo, c.heavy, c.slashing, c.frame);
        const int got = row ? static_cast<int>(row->animation) : -1;
        EXPECT_EQ(got, c.expectedAnimation)
            << c.combo << (c.heavy ? " heavy " : " light ") << c.frame;
    }
}

// ---------------------------------------------------------------------------
// Strike sectors and deflection
// ---------------------------------------------------------------------------
TEST_F(PlayerTest, ASlashHitsOnlyTheSectorInFront) {
    // Facing left; the attack circle of a light opener reaches 24.96 units.
    struct Case {
        Vec2 at;
        bool hit;
    };
    const Case cases[] = {
        {{-30.0f, 0.0f}, true},   // straight ahead
        {{-25.0f, 25.0f}, true},  // 45 degrees: dot 0.71
        {{-10.0f, 30.0f}, false}, // dot 0.32 < 0.35
        {{0.0f, 30.0f}, false},   // beside
        {{30.0f, 0.0f}, false},   // behind
        {{-80.0f, 0.0f}, false},  // out of reach
    };
    std::vector<Target*> bodies;
    for (const Case& c : cases)
        bodies.push_back(Add(KindEnemy, c.at));
    Target* corpse = Add(KindEnemy, {-30.0f, 5.0f}, 0.0f);
    player->Body()->SetAnimation(AnimSlashL);
    player->Strike(room, 0.35f, 0.26f, -0.34f, true);
    for (size_t i = 0; i < bodies.size(); ++i) {
        EXPECT_EQ(bodies[i]->hits, cases[i].hit ? 1 : 0) << i;
        EXPECT_FALSE(bodies[i]->struck);
        if (cases[i].hit) {
            EXPECT_FLOAT_EQ(bodies[i]->health, 0.66f);
            EXPECT_EQ(bodies[i]->lastSource, player.get());
        }
    }
    EXPECT_EQ(corpse->hits, 0);

    // Turned right, the sector turns with the body.
    player->SetScale(-96.0f, 96.0f);
    player->Strike(room, 0.35f, 0.26f, -0.34f, true);
    EXPECT_EQ(bodies[0]->hits, 1);
    EXPECT_EQ(bodies[4]->hits, 1);
}

TEST_F(PlayerTest, LightSlashesPassThroughShotsAndHeavyOnesDoNot) {
    Target* shot = Add(KindProjectile, {-30.0f, 0.0f});
    shot->damageFactor = 0.0f;
    for (uint32_t light = AnimSlashL; light <= AnimSlashLRL; ++light) {
        player->Body()->SetAnimation(light);
        player->Strike(room, 0.1f, 0.34f, -0.45f, true);
    }
    EXPECT_EQ(shot->hits, 0);
    player->Body()->SetAnimation(AnimSlashR);
    player->Strike(room, 0.3f, 0.36f, -0.5f, true);
    EXPECT_EQ(shot->hits, 1);
}

TEST_F(PlayerTest, HeavySlashesBatBackShotsInFrontOnly) {
    Target* ahead = Add(KindProjectile, {-20.0f, 0.0f});
    Target* behind = Add(KindProjectile, {15.0f, 0.0f});
    Target* above = Add(KindProjectile, {-3.0f, 20.0f}); // dot 0.15: not in front
    for (Target* t : {ahead, behind, above})
        t->damageFactor = 0.0f; // shots turn back instead of dying
    Tap(QN_VK_RBUTTON);
    ASSERT_EQ(player->Body()->animation, AnimSlashR);
    const int struckByTheSlash = ahead->hits;
    Frames(5);
    EXPECT_EQ(ahead->hits, struckByTheSlash + 1); // deflected once, then marked
    EXPECT_TRUE(ahead->struck);
    EXPECT_FALSE(behind->struck);
    EXPECT_FALSE(above->struck);
    EXPECT_EQ(behind->hits, 0);
}

TEST_F(PlayerTest, StaticSceneryShrugsOffEveryAttack) {
    auto* crate = new StaticEntity(
        1,
        new LightedAnimation2D(&mesh, &texture, &texture, Resources::BuildFrameTables({{1, 0}})[0]),
        {-30.0f, -15.0f}, {30.0f, 30.0f}, true);
    std::unique_ptr<StaticEntity> owner(crate);
    crate->Update(kFrame, nullptr, &room);
    room.push_back(crate);
    player->Body()->SetAnimation(AnimSlashR);
    player->Strike(room, 0.0f, 0.4f, -0.7f, true);
    player->Strike(room, 0.0f, 0.32f, -1.0f, false);
    EXPECT_EQ(crate->health, 1.0f);
}

// ---------------------------------------------------------------------------
// Aim and dash
// ---------------------------------------------------------------------------
TEST_F(PlayerTest, AimingNeedsAQuarterOfSpecial) {
    struct Case {
        float special;
        bool aims;
    };
    for (const Case c : {Case{0.24f, false}, Case{0.25f, true}}) {
        Game::Instance().timeScale = 1.0f;
        player->special = c.special;
        level.cursor = {-100.0f, 0.0f};
        QNInputInjectKey(QN_VK_LSHIFT, true);
        Frames(3);
        EXPECT_EQ(Game::Instance().timeScale < 1.0f, c.aims) << c.special;
        Tap(QN_VK_LBUTTON);
        QNInputInjectKey(QN_VK_LSHIFT, false);
        EXPECT_EQ(player->state, c.aims ? PlayerDash : PlayerSlash) << c.special;
        if (c.aims) {
            EXPECT_FLOAT_EQ(player->special, 0.0f);
            EXPECT_FLOAT_EQ(level.shownSpecial.back(), 0.0f);
        }
        Frames(120);
    }
}

TEST_F(PlayerTest, ReleasingTheAimGivesTimeBackSmoothly) {
    level.cursor = {-300.0f, 0.0f};
    QNInputInjectKey(QN_VK_LSHIFT, true);
    Frames(20);
    Game& game = Game::Instance();
    EXPECT_LT(game.timeScale, 0.2f); // slowed time slows its own decay
    EXPECT_GT(game.timeScale, 0.05f);
    EXPECT_GT(player->ghost->tint[3], 0.0f);
    EXPECT_EQ(player->ghost->GetPosition(), (Vec2{-150.0f, 0.0f})); // reach is 150

    QNInputInjectKey(QN_VK_LSHIFT, false);
    float previousScale = game.timeScale;
    float previousMarker = player->ghost->tint[3];
    for (int i = 0; i < 240; ++i) {
        Frame();
        // (the aim of the last frame held still holds this frame's time)
        if (i > 0 && previousScale < 0.999f) {
            EXPECT_GT(game.timeScale, previousScale);
            EXPECT_LT(player->ghost->tint[3], previousMarker);
        }
        previousScale = game.timeScale;
        previousMarker = player->ghost->tint[3];
        if (i == 30) {
            EXPECT_GT(game.timeScale, 0.99f) << "back within half a second";
        }
    }
    EXPECT_EQ(player->state, PlayerIdle);
    EXPECT_FLOAT_EQ(player->special, 1.0f); // nothing spent
}

TEST_F(PlayerTest, TheMarkerStopsOneBodyShortOfASurvivorAndTheDashStopsThere) {
    // 0.6 health, half damage: the dash's -1.0 leaves it standing.
    Target* survivor = Add(KindEnemy, {-100.0f, 0.0f}, 0.6f);
    survivor->damageFactor = 0.5f;
    Target* bystander = Add(KindEnemy, {-40.0f, 60.0f}); // off the path
    level.cursor = {-150.0f, 0.0f};
    QNInputInjectKey(QN_VK_LSHIFT, true);
    Frame();
    // The survivor's edge at -82.72, less one body radius.
    EXPECT_NEAR(player->ghost->GetPosition().x, -100.0f + 2 * 17.28f, 1e-3f);
    Tap(QN_VK_LBUTTON);
    QNInputInjectKey(QN_VK_LSHIFT, false);
    ASSERT_EQ(player->state, PlayerDash);
    Frames(60);
    EXPECT_EQ(player->state, PlayerIdle);
    EXPECT_EQ(survivor->hits, 1);
    EXPECT_FLOAT_EQ(survivor->health, 0.1f);
    EXPECT_EQ(bystander->hits, 0);
    EXPECT_GT(player->GetPosition().x, -100.0f + 17.28f); // never inside it
    for (Entity* e : room)
        EXPECT_FALSE(e->struck); // the next dash may strike them again
}

TEST_F(PlayerTest, TheNearestSurvivorOnThePathHoldsTheMarker) {
    Target* far = Add(KindNpc, {-120.0f, 0.0f});
    far->damageFactor = 0.0f;
    Target* near = Add(KindEnemy, {-60.0f, 0.0f}, 0.9f); // listed later
    near->damageFactor = 0.5f;
    level.cursor = {-150.0f, 0.0f};
    QNInputInjectKey(QN_VK_LSHIFT, true);
    Frame();
    EXPECT_NEAR(player->ghost->GetPosition().x, -60.0f + 2 * 17.28f, 1e-3f);
    std::reverse(room.begin(), room.end());
    Frame();
    EXPECT_NEAR(player->ghost->GetPosition().x, -60.0f + 2 * 17.28f, 1e-3f);
}

TEST_F(PlayerTest, TheDashCutsThroughWhatItKillsAndStrikesEachOnce) {
    Target* weak = Add(KindEnemy, {-60.0f, 0.0f}, 0.5f);
    weak->damageFactor = 0.5f; // dies to the dash exactly
    Target* behind = Add(KindEnemy, {-200.0f, 0.0f});
    level.cursor = {-150.0f, 0.0f};
    QNInputInjectKey(QN_VK_LSHIFT, true);
    Frame();
    EXPECT_NEAR(player->ghost->GetPosition().x, -150.0f, 1e-3f);
    Tap(QN_VK_LBUTTON);
    QNInputInjectKey(QN_VK_LSHIFT, false);
    int frames = 0;
    while (player->state == PlayerDash && frames < 120) {
        Frame();
        ++frames;
    }
    EXPECT_EQ(weak->hits, 1);
    EXPECT_TRUE(weak->IsDead());
    EXPECT_EQ(behind->hits, 0);
    EXPECT_LT(player->GetPosition().x, -100.0f);
    // No longer than one play of the dash strip (0.545 s of game time),
    // with time still recovering from the aim.
    EXPECT_LE(frames, 60);
    EXPECT_EQ(player->Body()->animation, AnimIdle);
    for (Entity* e : room)
        EXPECT_FALSE(e->struck);
}

TEST_F(PlayerTest, TheMarkerStopsShortOfWalls) {
    level.wallX = -80.0f;
    level.cursor = {-150.0f, 0.0f};
    QNInputInjectKey(QN_VK_LSHIFT, true);
    Frame();
    EXPECT_NEAR(player->ghost->GetPosition().x, -80.0f + 17.28f, 1e-3f);
    EXPECT_EQ(player->GetScale().x, 96.0f); // faces the aim
    level.cursor = {150.0f, 10.0f};
    Frame();
    EXPECT_EQ(player->GetScale().x, -96.0f);
    EXPECT_EQ(player->ghost->GetScale().x, -96.0f);
}

TEST_F(PlayerTest, APadAimsWithTheStick) {
    ControllerState pad;
    pad.thumbLY = 32767;
    pad.leftTrigger = 200;
    Game::Instance().gamePad.InjectController(pad);
    level.cursor = {-150.0f, 0.0f}; // ignored while a pad is in use
    Frame();
    // The aim is taken before the stick walks the body on.
    const Vec2 from = player->GetPosition();
    Frame();
    EXPECT_NEAR(player->ghost->GetPosition().x, from.x, 1e-3f);
    EXPECT_NEAR(player->ghost->GetPosition().y, from.y + 150.0f, 1e-3f);
    EXPECT_LT(Game::Instance().timeScale, 1.0f);
}

// ---------------------------------------------------------------------------
// Health, tints, idling and death
// ---------------------------------------------------------------------------
TEST_F(PlayerTest, HitsBlinkRedThreeTimesAndPoisonShowsGreen) {
    player->ChangeHealth(-0.3f, nullptr);
    EXPECT_FLOAT_EQ(player->health, 0.7f);
    EXPECT_EQ(player->blinkCount, 3);
    EXPECT_FLOAT_EQ(level.shownHealth.back(), 0.7f);
    Frames(5);
    EXPECT_LT(player->sprite->tint[1], 1.0f);
    EXPECT_FLOAT_EQ(player->sprite->tint[1], player->sprite->tint[2]); // red, not green
    Frames(60); // three turns of 20 radians per second take just under a second
    EXPECT_EQ(player->blinkCount, 0);
    Frame();
    EXPECT_EQ(player->sprite->tint[1], 1.0f);

    player->poison = 0.5f;
    Frame();
    EXPECT_NEAR(player->sprite->tint[0], 1.0f - (0.5f - kFrame), 1e-5f);
    EXPECT_EQ(player->sprite->tint[1], 1.0f);

    player->ChangeHealth(0.5f, nullptr); // healing does not blink
    EXPECT_FLOAT_EQ(player->health, 1.0f);
    EXPECT_EQ(player->blinkCount, 0);
}

TEST_F(PlayerTest, TenSecondsIdlePlayTheVariationOnce) {
    Frames(599);
    EXPECT_EQ(player->Body()->animation, AnimIdle);
    Frames(2);
    EXPECT_EQ(player->Body()->animation, AnimIdleVariation);
    int frames = 0;
    while (player->Body()->animation == AnimIdleVariation && frames < 120) {
        Frame();
        ++frames;
    }
    EXPECT_GE(frames, 72); // eight frames of 0.15 s
    EXPECT_EQ(player->Body()->animation, AnimIdle);
    EXPECT_TRUE(player->Body()->playing);
    EXPECT_LT(player->idleTimer, 2.0f);
}

TEST_F(PlayerTest, DyingMidAimGivesTimeBackAndEndsDead) {
    level.cursor = {-100.0f, 0.0f};
    QNInputInjectKey(QN_VK_LSHIFT, true);
    Frames(10);
    ASSERT_LT(Game::Instance().timeScale, 0.5f);
    player->ChangeHealth(-1.0f, nullptr);
    Frame();
    EXPECT_EQ(Game::Instance().timeScale, 1.0f);
    EXPECT_FLOAT_EQ(Game::Instance().lowPassDsp.GetCutoff(), 22000.0f);
    EXPECT_EQ(player->ghost->tint[3], 0.0f);
    EXPECT_EQ(player->Body()->animation, AnimDead);
    EXPECT_NE(player->state, PlayerDead);
    Tap(QN_VK_LBUTTON);
    QNInputInjectKey(QN_VK_D, true);
    Frames(70);
    EXPECT_EQ(player->state, PlayerDead);
    EXPECT_EQ(player->GetPosition(), (Vec2{0.0f, 0.0f}));
    EXPECT_EQ(Game::Instance().timeScale, 1.0f);
    player->ChangeHealth(-0.5f, nullptr); // still lands, still blinks
    EXPECT_EQ(player->health, 0.0f);
    EXPECT_EQ(player->blinkCount, 3);
}

} // namespace
