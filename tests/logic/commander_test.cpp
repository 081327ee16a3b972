// The Commander without drawing, against the real Blade in a room whose
// floor plan is a real path grid: what a hit takes and what a slice of his
// health pays, the stagger his own swing ignores, his swing's one hit on
// frames 2 to 4, the fall, the last words and the end, the gate, his run to
// Blade's side, and the teleport to a free spot (or none).
#include "core/Circle2D.h"
#include "core/Runtime.h"
#include "core/Tween.h"
#include "engine/QNInput.h"
#include "engine/QNKeys.h"
#include "entities/Commander.h"
#include "entities/Dummy.h"
#include "entities/Gate.h"
#include "entities/LevelServices.h"
#include "entities/Player.h"
#include "entities/StaticEntity.h"
#include "render/LightedAnimation2D.h"
#include "render/ParticleSystem.h"
#include "world/RoomPathing.h"

#include "support/StandInAssets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr float kFrame = 1.0f / 60.0f;

// The level as the Commander sees it: one room drawn as text ('.' floor,
// '#' wall, 48-unit cells; row 0 at the top, y down the rows is negative),
// its entity list, Blade, and the conversations asked for.
class HallLevel : public LevelServices {
public:
    HallLevel() { LevelServices::current = this; }
    ~HallLevel() override {
        if (LevelServices::current == this)
            LevelServices::current = nullptr;
    }
    void Draw(const std::vector<std::string>& rows) {
        floor.tileWidth = floor.tileHeight = 48;
        floor.walkable = {1, 0};
        floor.height = static_cast<int32_t>(rows.size());
        floor.width = static_cast<int32_t>(rows[0].size());
        floor.tiles.clear();
        for (const std::string& row : rows) {
            for (char cell : row)
                floor.tiles.push_back(cell == '.' ? 1u : 2u);
        }
        floor.Init();
    }
    // The centre of cell (column, row).
    Vec2 Cell(int32_t column, int32_t row) const { return floor.CellCentre(column, row); }

    EntityList* RoomEntities(int32_t) override { return list; }
    Vec2 CursorInRoom(int32_t) const override { return {0.0f, 0.0f}; }
    LevelMap::WallHit Raycast(int32_t, Vec2 a, Vec2 b) const override {
        return floor.Raycast(a, b);
    }
    bool IsWalkable(int32_t, Vec2 p) const override { return floor.IsWalkable(p); }
    LevelMap::WallHit ResolveWalls(int32_t, const Circle2D& body) const override {
        return floor.ResolveWalls(body);
    }
    void FindPath(int32_t, std::deque<Vec2>& path, const Collider2D* mover, Vec2 start,
                  Vec2 goal) override {
        ++pathRequests;
        floor.FindPath(path, mover, start, goal);
    }
    Player* LevelPlayer() override { return player; }
    void ShowSpecial(float s) override { shownSpecial.push_back(s); }
    bool DialogueRunning() const override { return talking; }
    void StartDialogue(int32_t number) override {
        started.push_back(number);
        talking = true;
    }

    LevelMap::RoomPathing floor;
    EntityList* list = nullptr;
    Player* player = nullptr;
    int pathRequests = 0;
    std::vector<float> shownSpecial;
    std::vector<int32_t> started; // conversations started, in order
    bool talking = false;         // a conversation is on screen
};

// A hall of 16 x 12 cells with a wall ring.
const std::vector<std::string> kHall = {
    "################", "#..............#", "#..............#", "#..............#",
    "#..............#", "#..............#", "#..............#", "#..............#",
    "#..............#", "#..............#", "#..............#", "################",
};

class CommanderTest : public ::testing::Test {
protected:
    void SetUp() override {
        QNInputReset();
        QNInputSetScripted(true);
        Runtime::Get().gamePad.SetScripted(true);
        Runtime::Get().timeScale = 1.0f;
        level.Draw(kHall);
        level.list = &room;
        blade = std::make_unique<Player>(1);
        blade->special = 0.0f;
        level.player = blade.get();
        room.push_back(blade.get());
        Commander::Random().Seed(7);
    }
    void TearDown() override {
        room.clear();
        owned.clear();
        ClearTweens();
        Runtime::Get().timeScale = 1.0f;
        Runtime::Get().gamePad.SetScripted(false);
        QNInputSetScripted(false);
    }

    void Frame(float dt = kFrame) {
        QNInputUpdate();
        UpdateEntityList(room, dt, nullptr);
        UpdateTweens(dt, 1.0f);
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i)
            Frame();
    }
    void Seconds(float s) { Frames(static_cast<int>(s * 60.0f + 0.5f)); }
    template <class T, class... Args> T* Spawn(Args&&... args) {
        owned.push_back(std::make_unique<T>(1, std::forward<Args>(args)...));
        room.push_back(owned.back().get());
        return static_cast<T*>(owned.back().get());
    }
    Commander* SpawnCommander(Vec2 at, int32_t dialog = 600) {
        return Spawn<Commander>(at, dialog);
    }
    void PlaceBlade(Vec2 at) {
        blade->SetPosition(at);
        blade->sprite->Update(0.0f, nullptr);
    }
    // Brings him down to `left` health without a teleport on the way.
    static void WearDown(Commander* boss, float left) {
        boss->health = left;
        boss->rewardMeter = Commander::sliceSize;
    }
    // Runs frames until he has fallen and lies still (at most 2 s).
    void UntilDown(Commander* boss) {
        for (int i = 0; i < 120 && boss->state != CommanderDown; ++i)
            Frame();
        ASSERT_EQ(boss->state, CommanderDown);
    }

    StandInAssets assets;
    HallLevel level;
    EntityList room;
    std::unique_ptr<Player> blade;
    std::vector<std::unique_ptr<Entity>> owned;
};

// ---------------------------------------------------------------------------
// Hits and slices
// ---------------------------------------------------------------------------
TEST_F(CommanderTest, ALightSlashTakesAHundredthAndEightLightSlashesEmptyASlice) {
    Commander* boss = SpawnCommander(level.Cell(8, 6));
    PlaceBlade(level.Cell(3, 6)); // out of reach: he would run, not slash
    Frame();
    // Seven light slashes (-0.34 each, 3 % of it felt) leave 0.0036 of the
    // 0.075 slice: no pay, no teleport yet.
    for (int i = 0; i < 7; ++i) {
        boss->ChangeHealth(-0.34f, blade.get());
        EXPECT_NEAR(boss->health, 1.0f - 0.0102f * static_cast<float>(i + 1), 1e-5f) << i;
        EXPECT_EQ(boss->state, CommanderStagger) << i;
        EXPECT_EQ(boss->Body()->animation, CommanderAnimHurt) << i;
    }
    EXPECT_NEAR(boss->rewardMeter, 0.075f - 7.0f * 0.0102f, 1e-5f);
    EXPECT_EQ(blade->special, 0.0f);
    // The eighth (7.35 slashes' worth empties a slice) pays a quarter of
    // the special bar and sends him away.
    boss->ChangeHealth(-0.34f, blade.get());
    EXPECT_FLOAT_EQ(blade->special, 0.25f);
    ASSERT_FALSE(level.shownSpecial.empty());
    EXPECT_FLOAT_EQ(level.shownSpecial.back(), 0.25f) << "the HUD is told";
    EXPECT_EQ(boss->state, CommanderTeleport);
    EXPECT_FLOAT_EQ(boss->rewardMeter, Commander::sliceSize);
    EXPECT_EQ(boss->blinkCount, 3);
    // Healing does nothing to him.
    const float health = boss->health;
    boss->ChangeHealth(0.5f, blade.get());
    EXPECT_EQ(boss->health, health);
}

TEST_F(CommanderTest, HisBarShowsHealthAboveHimAndHidesWhenBladeLeaves) {
    Commander* boss = SpawnCommander(level.Cell(8, 6));
    PlaceBlade(level.Cell(3, 6));
    Frame();
    EXPECT_EQ(boss->healthBar.tint[3], 0.0f) << "no bar before the first hit";
    boss->ChangeHealth(-1.0f, blade.get());
    Seconds(0.5f);
    EXPECT_FLOAT_EQ(boss->healthBar.tint[3], 1.0f);
    EXPECT_NEAR(boss->healthBar.fill, 0.97f, 1e-5f);
    EXPECT_FLOAT_EQ(boss->healthBar.y, boss->GetPosition().y + 32.0f);
    boss->OnRoomExit();
    Seconds(0.1f);
    EXPECT_EQ(boss->healthBar.tint[3], 0.0f);
    EXPECT_TRUE(boss->teleportParticles->particles.empty());
}

TEST_F(CommanderTest, AHitStaggersHimButNeverOutOfHisOwnSwing) {
    Commander* boss = SpawnCommander(level.Cell(8, 6));
    PlaceBlade(level.Cell(8, 6) + Vec2{-30.0f, 0.0f}); // in reach
    boss->actionTimer = Commander::actionInterval;
    Frame();
    ASSERT_EQ(boss->state, CommanderSlash);
    ASSERT_EQ(boss->Body()->animation, CommanderAnimSlash);
    Frames(3);
    const uint32_t frame = boss->Body()->frame;
    boss->ChangeHealth(-0.5f, blade.get());
    EXPECT_EQ(boss->state, CommanderSlash) << "the swing goes on";
    EXPECT_EQ(boss->Body()->animation, CommanderAnimSlash);
    EXPECT_EQ(boss->Body()->frame, frame);
    EXPECT_TRUE(boss->Body()->playing);
    EXPECT_LT(boss->health, 1.0f) << "the hit still counts";

    // Out of the swing a hit staggers him, for the hurt animation (0.3 s)
    // and never longer than 2 s.
    while (boss->state == CommanderSlash)
        Frame();
    boss->ChangeHealth(-0.5f, blade.get());
    EXPECT_EQ(boss->state, CommanderStagger);
    EXPECT_EQ(boss->Body()->animation, CommanderAnimHurt);
    EXPECT_EQ(boss->actionTimer, 0.0f);
    Seconds(0.25f);
    EXPECT_EQ(boss->state, CommanderStagger);
    Seconds(0.15f);
    EXPECT_NE(boss->state, CommanderStagger);
    boss->ChangeHealth(-0.5f, blade.get());
    boss->Body()->playing = true; // a hurt animation that would not end
    boss->Body()->playOnce = false;
    Seconds(1.9f);
    EXPECT_EQ(boss->state, CommanderStagger);
    Seconds(0.15f);
    EXPECT_NE(boss->state, CommanderStagger) << "2 s at most";
}

// ---------------------------------------------------------------------------
// His slash
// ---------------------------------------------------------------------------
TEST_F(CommanderTest, HisSlashHitsOncePerSwingOnlyOnFramesTwoToFour) {
    struct Case {
        uint32_t bladeArrives; // the body frame from which Blade stands in reach
        bool hit;
    };
    // Blade in reach from the start, or stepping in on a later frame.
    const Case cases[] = {{0, true}, {2, true}, {3, true}, {4, true}, {5, false}};
    for (const Case& c : cases) {
        room.resize(1);
        owned.clear();
        blade->health = 1.0f;
        const Vec2 at = level.Cell(8, 6);
        Commander* boss = SpawnCommander(at);
        const Vec2 near = at + Vec2{-30.0f, 0.0f};
        const Vec2 away = at + Vec2{-120.0f, 0.0f};
        PlaceBlade(near);
        boss->actionTimer = Commander::actionInterval;
        Frame(); // the swing starts on frame 0
        ASSERT_EQ(boss->state, CommanderSlash);
        std::vector<uint32_t> hitFrames;
        float before = blade->health;
        while (boss->state == CommanderSlash) {
            PlaceBlade(boss->Body()->frame >= c.bladeArrives ? near : away);
            const uint32_t frame = boss->Body()->frame;
            Frame();
            if (blade->health < before)
                hitFrames.push_back(frame);
            before = blade->health;
        }
        if (c.hit) {
            ASSERT_EQ(hitFrames.size(), 1u) << "from frame " << c.bladeArrives;
            EXPECT_GE(hitFrames[0], 2u);
            EXPECT_LE(hitFrames[0], 4u);
            EXPECT_FLOAT_EQ(blade->health, 0.95f);
        } else {
            EXPECT_TRUE(hitFrames.empty()) << "from frame " << c.bladeArrives;
            EXPECT_FLOAT_EQ(blade->health, 1.0f);
        }
        EXPECT_EQ(boss->actionTimer, 0.0f) << "the next swing is 2 s away";
    }
}

TEST_F(CommanderTest, HeSlashesEveryTwoSecondsInReachAndEachSwingHitsOnce) {
    const Vec2 at = level.Cell(8, 6);
    Commander* boss = SpawnCommander(at);
    PlaceBlade(at + Vec2{-30.0f, 0.0f});
    std::vector<int> swingStarts;
    CommanderState last = boss->state;
    for (int i = 0; i < 60 * 8; ++i) {
        Frame();
        if (boss->state == CommanderSlash && last != CommanderSlash)
            swingStarts.push_back(i);
        last = boss->state;
    }
    ASSERT_EQ(swingStarts.size(), 3u);
    EXPECT_NEAR(swingStarts[0], 120, 2);
    // A swing (about 0.5 s) and 2 s more.
    for (size_t i = 1; i < swingStarts.size(); ++i) {
        EXPECT_GE(swingStarts[i] - swingStarts[i - 1], 150);
        EXPECT_LE(swingStarts[i] - swingStarts[i - 1], 160);
    }
    EXPECT_NEAR(blade->health, 1.0f - 3.0f * 0.05f, 1e-5f);
    EXPECT_LT(boss->GetScale().x, 0.0f) << "he faces Blade, on his left";
}

// ---------------------------------------------------------------------------
// The run
// ---------------------------------------------------------------------------
TEST_F(CommanderTest, HeWaitsHalfASecondThenRunsToTheOpenSideOfBlade) {
    struct Case {
        const char* what;
        Vec2 blade;
        float side; // the side of Blade he ends on: +1 right, -1 left
    };
    // Blade in the open, or with his back to the west wall.
    const Case cases[] = {
        {"open floor, he comes from the east", level.Cell(6, 6), 1.0f},
        {"against the west wall", Vec2{level.Cell(1, 6).x - 10.0f, level.Cell(1, 6).y}, 1.0f},
        {"against the east wall, he comes from the west",
         Vec2{level.Cell(14, 6).x + 10.0f, level.Cell(14, 6).y}, -1.0f},
    };
    for (const Case& c : cases) {
        room.resize(1);
        owned.clear();
        const Vec2 start = c.side > 0.0f ? level.Cell(12, 3) : level.Cell(4, 3);
        Commander* boss = SpawnCommander(start);
        PlaceBlade(c.blade);
        Seconds(0.45f);
        EXPECT_EQ(boss->state, CommanderRun) << c.what;
        EXPECT_EQ(boss->GetPosition(), start) << c.what << ": he gathers himself";
        EXPECT_EQ(boss->Body()->animation, CommanderAnimIdle) << c.what;
        Seconds(0.1f);
        EXPECT_NE(boss->GetPosition(), start) << c.what;
        EXPECT_EQ(boss->Body()->animation, CommanderAnimRun) << c.what;
        Seconds(12.0f); // some 500 units along the cells at 70 per second
        const Vec2 d = boss->GetPosition() - blade->GetPosition();
        EXPECT_LE(LengthSq(d), Commander::slashRangeSq) << c.what;
        EXPECT_GT(d.x * c.side, 0.0f) << c.what;
        EXPECT_TRUE(level.IsWalkable(1, boss->GetPosition())) << c.what;
    }
}

// ---------------------------------------------------------------------------
// The teleport
// ---------------------------------------------------------------------------
TEST_F(CommanderTest, TheTeleportLandsEightyUnitsAwayOnAFreeSpotClearOfWallsAndBodies) {
    // A cramped corner: walls north and west, a pillar east, a crate south
    // west, Blade beside him. Most directions are shut.
    level.Draw({
        "##########",
        "#........#",
        "#........#",
        "#...#....#",
        "#........#",
        "#........#",
        "##########",
    });
    const Vec2 start = level.Cell(2, 2) + Vec2{0.0f, 0.0f};
    auto* crate = Spawn<StaticEntity>(std::string("prop_crate.png"), start + Vec2{-10.0f, -70.0f},
                                      Vec2{48.0f, 48.0f}, true, 1, 0.0f);
    Frame(); // the crate fits its box
    ASSERT_NE(crate->GetCollider(), nullptr);
    struct Case {
        uint32_t seed;
        float dt; // the frame length of the flight
    };
    std::vector<Case> cases;
    for (uint32_t seed = 1; seed <= 40; ++seed)
        cases.push_back({seed, seed % 4 == 0 ? 1.0f / 15.0f : kFrame});
    for (const Case& c : cases) {
        room.resize(2);
        owned.resize(1);
        Commander* boss = SpawnCommander(start);
        PlaceBlade(start + Vec2{-28.0f, -6.0f});
        Commander::Random().Seed(c.seed);
        WearDown(boss, 0.5f);
        boss->rewardMeter = 0.001f;
        Frame();
        boss->ChangeHealth(-0.34f, blade.get());
        ASSERT_EQ(boss->state, CommanderTeleport) << c.seed;
        bool colliderOffInFlight = true;
        int frames = 0;
        for (; frames < 30 && boss->state == CommanderTeleport; ++frames) {
            Frame(c.dt);
            if (boss->state == CommanderTeleport)
                colliderOffInFlight = colliderOffInFlight && !boss->GetCollider()->enabled;
        }
        ASSERT_NE(boss->state, CommanderTeleport) << c.seed << ": the flight ends";
        EXPECT_TRUE(colliderOffInFlight) << c.seed;
        EXPECT_TRUE(boss->GetCollider()->enabled) << c.seed;
        EXPECT_FALSE(boss->teleportPending) << c.seed;
        const Vec2 spot = boss->teleportTarget;
        EXPECT_NEAR(Length(spot - start), 80.0f, 1e-3f) << c.seed;
        EXPECT_LT(LengthSq(boss->GetPosition() - spot), 1.0f) << c.seed;
        // His body there touches no wall and no one.
        Circle2D body(Commander::bodyRadius);
        body.UpdateTransform(spot, 0.0f, {96.0f, 96.0f});
        EXPECT_TRUE(level.IsWalkable(1, spot)) << c.seed;
        EXPECT_FALSE(level.ResolveWalls(1, body).hit) << c.seed;
        EXPECT_FALSE(body.Collides(*blade->GetCollider())) << c.seed;
        EXPECT_FALSE(body.Collides(*crate->GetCollider())) << c.seed;
        EXPECT_FALSE(boss->teleportParticles->particles.empty()) << c.seed << ": sparks";
        EXPECT_FLOAT_EQ(boss->runTimer, 0.0f) << c.seed;
    }
}

TEST_F(CommanderTest, WithNoFreeSpotTheTeleportGivesUpAndHeStaysWhereHeIs) {
    struct Case {
        const char* what;
        std::vector<std::string> rows;
        int bodies; // dummies ringed round him 80 units out
    };
    const Case cases[] = {
        {"a pocket walled in", {"####", "#..#", "#..#", "####"}, 0},
        {"an open hall, ringed by dummies", kHall, 12},
    };
    for (const Case& c : cases) {
        room.resize(1);
        owned.clear();
        level.Draw(c.rows);
        // The pocket's floor is 96 units square: nothing 80 units from its
        // middle has room for him.
        const Vec2 start = c.bodies ? level.Cell(8, 6) : Vec2{96.0f, -96.0f};
        for (int i = 0; i < c.bodies; ++i) {
            const float a = 6.2831853f * static_cast<float>(i) / static_cast<float>(c.bodies);
            Spawn<Dummy>(start + Vec2{std::cos(a), std::sin(a)} * 80.0f, false);
        }
        Commander* boss = SpawnCommander(start);
        PlaceBlade(start + Vec2{-200.0f, 0.0f});
        Frame();
        boss->rewardMeter = 0.001f;
        boss->ChangeHealth(-0.34f, blade.get());
        ASSERT_EQ(boss->state, CommanderTeleport) << c.what;
        // The search is bounded: exactly its tries are drawn, then he stays.
        std::mt19937 expected = Commander::Random().engine;
        expected.discard(Commander::teleportTries);
        Frame();
        EXPECT_EQ(Commander::Random().engine, expected) << c.what;
        EXPECT_NE(boss->state, CommanderTeleport) << c.what;
        EXPECT_FALSE(boss->teleportPending) << c.what;
        EXPECT_EQ(boss->GetPosition(), start) << c.what;
        EXPECT_TRUE(boss->GetCollider()->enabled) << c.what;
        // And the duel goes on: he runs at Blade.
        Seconds(1.0f);
        EXPECT_EQ(boss->state, CommanderRun) << c.what;
    }
}

// ---------------------------------------------------------------------------
// The fall, the last words, the end
// ---------------------------------------------------------------------------
TEST_F(CommanderTest, FallenHeCannotBeHurtUntilHeSpeaksThenOneHeavySlashEndsHim) {
    Commander* boss = SpawnCommander(level.Cell(8, 6), 600);
    PlaceBlade(level.Cell(3, 6));
    Frame();
    WearDown(boss, 0.01f);
    boss->ChangeHealth(-0.5f, blade.get());
    EXPECT_EQ(boss->health, 0.0f);
    EXPECT_FALSE(boss->IsDead()) << "he is only down";
    EXPECT_FALSE(HasLivingEnemy(room));
    EXPECT_EQ(boss->Body()->animation, CommanderAnimDead);
    EXPECT_TRUE(boss->GetCollider()->enabled) << "he lies within reach";
    // While he falls, and while another conversation holds his words back,
    // nothing hurts him.
    level.talking = true;
    for (int i = 0; i < 90; ++i) {
        boss->ChangeHealth(-1.0f, blade.get());
        Frame();
    }
    EXPECT_EQ(boss->state, CommanderDown);
    EXPECT_EQ(boss->Body()->frame, 3u) << "the fall rests on its last frame";
    EXPECT_TRUE(level.started.empty());
    EXPECT_FALSE(boss->secondPhase);
    EXPECT_FLOAT_EQ(boss->finalHealth, 0.3f);
    // The other conversation ends: he speaks, once.
    level.talking = false;
    Frame();
    ASSERT_EQ(level.started, std::vector<int32_t>{600});
    EXPECT_TRUE(boss->secondPhase);
    level.talking = false;
    Frames(10);
    EXPECT_EQ(level.started.size(), 1u);
    // Now a hit counts in full: a light slash leaves a little, a heavy one
    // finishes him.
    boss->ChangeHealth(-0.2f, blade.get());
    EXPECT_NEAR(boss->finalHealth, 0.1f, 1e-6f);
    EXPECT_FALSE(boss->IsDead());
    boss->finalHealth = 0.3f;
    boss->ChangeHealth(-0.5f, blade.get());
    EXPECT_EQ(boss->finalHealth, 0.0f);
    EXPECT_TRUE(boss->IsDead());
    EXPECT_EQ(boss->Body()->animation, CommanderAnimReallyDead);
    EXPECT_FALSE(boss->GetCollider()->enabled);
    EXPECT_TRUE(boss->bossParticles->active) << "the boss burst";
    Seconds(1.0f);
    EXPECT_EQ(boss->Body()->frame, 4u);
    EXPECT_FALSE(boss->Body()->playing);
    EXPECT_EQ(boss->state, CommanderDown);
    EXPECT_FALSE(boss->bossParticles->particles.empty());
    // Nothing more happens to the dead.
    boss->ChangeHealth(-1.0f, blade.get());
    EXPECT_EQ(boss->Body()->animation, CommanderAnimReallyDead);
}

TEST_F(CommanderTest, BladesOwnSlashesWearHimDownAndFinishHim) {
    // Blade faces left (his art's own way); the Commander stands in front.
    const Vec2 at = level.Cell(8, 6);
    PlaceBlade(at);
    ASSERT_EQ(blade->Facing(), (Vec2{-1.0f, 0.0f}));
    Commander* boss = SpawnCommander(at + Vec2{-30.0f, 0.0f});
    Frame();
    const auto tap = [&](uint8_t key) {
        QNInputInjectKey(key, true);
        Frame();
        QNInputInjectKey(key, false);
    };
    tap(QN_VK_LBUTTON);
    EXPECT_NEAR(boss->health, 1.0f - 0.0102f, 1e-6f) << "a light slash";
    EXPECT_EQ(boss->state, CommanderStagger);

    // Down, his words started: one heavy slash of Blade's ends him.
    while (blade->state == PlayerSlash)
        Frame();
    WearDown(boss, 0.01f);
    tap(QN_VK_LBUTTON);
    ASSERT_EQ(boss->health, 0.0f);
    UntilDown(boss);
    ASSERT_TRUE(boss->secondPhase);
    while (blade->state == PlayerSlash)
        Frame();
    Frames(5);
    tap(QN_VK_RBUTTON);
    EXPECT_TRUE(boss->IsDead());
    EXPECT_EQ(boss->finalHealth, 0.0f);
}

TEST_F(CommanderTest, WithoutWordsHeStaysDownForGood) {
    Commander* boss = SpawnCommander(level.Cell(8, 6), 0);
    PlaceBlade(level.Cell(3, 6));
    Frame();
    WearDown(boss, 0.01f);
    boss->ChangeHealth(-0.5f, blade.get());
    UntilDown(boss);
    Seconds(1.0f);
    boss->ChangeHealth(-1.0f, blade.get());
    EXPECT_TRUE(level.started.empty());
    EXPECT_FALSE(boss->IsDead());
    EXPECT_EQ(boss->Body()->animation, CommanderAnimDead);
}

TEST_F(CommanderTest, TheGateOpensAsSoonAsHeFalls) {
    auto* gate =
        Spawn<Gate>(std::string("prop_gate.png"), level.Cell(8, 1), Vec2{96.0f, 64.0f}, 4, 0.08f);
    Commander* boss = SpawnCommander(level.Cell(8, 6));
    PlaceBlade(level.Cell(3, 6));
    Seconds(0.5f);
    EXPECT_FALSE(gate->IsOpening());
    WearDown(boss, 0.01f);
    boss->ChangeHealth(-0.5f, blade.get());
    Frame();
    EXPECT_TRUE(gate->IsOpening()) << "he is not dead yet, but down";
    EXPECT_FALSE(boss->IsDead());
    Seconds(1.0f);
    EXPECT_FALSE(gate->GetCollider()->enabled);
}

TEST_F(CommanderTest, AFallDuringHisSwingStillLeavesHimDownAndSpeaking) {
    const Vec2 at = level.Cell(8, 6);
    Commander* boss = SpawnCommander(at);
    PlaceBlade(at + Vec2{-30.0f, 0.0f});
    boss->actionTimer = Commander::actionInterval;
    Frame();
    ASSERT_EQ(boss->state, CommanderSlash);
    WearDown(boss, 0.01f);
    boss->ChangeHealth(-0.5f, blade.get());
    EXPECT_EQ(boss->Body()->animation, CommanderAnimDead);
    const float bladeHealth = blade->health;
    UntilDown(boss);
    EXPECT_EQ(blade->health, bladeHealth) << "a fallen man's swing does not cut";
    EXPECT_EQ(level.started, std::vector<int32_t>{600});
}

} // namespace
