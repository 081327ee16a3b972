// Trigger lines across a room: conversations that wait for normal time and a
// quiet moment, the one that waits for the room to be clear, the ambush
// that wakes the dormant gunners; and how a room reads them. (The credits
// line fades the screen: tests/gl/dialogue_box_test.cpp.)
#include "InhabitantStandIns.h"

#include "world/RoomContents.h"
#include "world/TriggerLine.h"

namespace {

using namespace standins;
using LevelMap::TriggerLine;

// An enemy that only stands there.
class Soldier : public RenderableEntity {
public:
    Soldier()
        : RenderableEntity(1, KindEnemy, new Sprite2D(&mesh, &texture, 96, 96, {1, 1, 1, 1})) {
        attackDisabled = true;
    }
};

class TriggerLineTest : public InhabitantTest {
protected:
    // A vertical line at x = 0 from y -50 to 50 in room 1.
    TriggerLine Line(int32_t kind, int32_t dialog = 4) {
        return TriggerLine(Line2D({0.0f, -50.0f}, {0.0f, 50.0f}), kind, 1, dialog);
    }
    void BladeAt(float x) {
        blade->SetPosition(x, -8.0f);
        blade->Body()->Update(0.0f, nullptr);
    }
};

TEST_F(TriggerLineTest, ADialogueTriggerCrossedWhileAimingStartsOnceTimeIsBack) {
    AddBlade({-60.0f, -8.0f});
    TriggerLine line = Line(LevelMap::TriggerDialog);
    EXPECT_TRUE(line.Update(room));
    BladeAt(0.0f);
    Game::Instance().timeScale = 0.3f; // aiming a dash
    EXPECT_TRUE(line.Update(room));
    EXPECT_TRUE(line.pending);
    EXPECT_TRUE(level.started.empty());
    // Blade walks on; time comes back slowly.
    BladeAt(80.0f);
    for (float scale : {0.5f, 0.9f, 0.95f}) {
        Game::Instance().timeScale = scale;
        EXPECT_TRUE(line.Update(room)) << scale;
    }
    EXPECT_TRUE(level.started.empty());
    Game::Instance().timeScale = 0.96f;
    EXPECT_FALSE(line.Update(room)) << "used up";
    EXPECT_EQ(level.started, (std::vector<int32_t>{4}));
}

TEST_F(TriggerLineTest, APendingDialogueWaitsForTheRunningOneAndTheDashToEnd) {
    AddBlade({0.0f, -8.0f});
    TriggerLine line = Line(LevelMap::TriggerDialog);
    level.talking = true;
    EXPECT_TRUE(line.Update(room));
    EXPECT_TRUE(line.pending);
    BladeAt(100.0f);
    level.talking = false;
    blade->state = PlayerDash;
    EXPECT_TRUE(line.Update(room)) << "not in the middle of a dash";
    blade->state = PlayerIdle;
    EXPECT_FALSE(line.Update(room));
    EXPECT_EQ(level.started.size(), 1u);
}

TEST_F(TriggerLineTest, AClearRoomTriggerWaitsForTheRoomToClearAndANewCrossing) {
    AddBlade({0.0f, -8.0f});
    Soldier soldier;
    room.push_back(&soldier);
    TriggerLine line = Line(LevelMap::TriggerDialogNoEnemy, 9);
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(line.Update(room));
    EXPECT_FALSE(line.pending) << "crossing with an enemy alive does nothing";
    BladeAt(120.0f);
    soldier.health = 0.0f; // the room is clear, Blade away from the line
    EXPECT_TRUE(line.Update(room));
    EXPECT_TRUE(level.started.empty()) << "it needs a new crossing";
    BladeAt(0.0f);
    EXPECT_FALSE(line.Update(room));
    EXPECT_EQ(level.started, (std::vector<int32_t>{9}));
}

TEST_F(TriggerLineTest, AnEnemyTriggerWakesTheDormantGunnersOnce) {
    AddBlade({-100.0f, -8.0f});
    Soldier a, b;
    room.push_back(&a);
    room.push_back(&b);
    TriggerLine line = Line(LevelMap::TriggerEnemy);
    EXPECT_TRUE(line.Update(room));
    EXPECT_TRUE(a.attackDisabled);
    BladeAt(0.0f);
    EXPECT_FALSE(line.Update(room));
    EXPECT_FALSE(a.attackDisabled);
    EXPECT_FALSE(b.attackDisabled);
    EXPECT_FALSE(blade->attackDisabled);
    EXPECT_TRUE(level.started.empty());
}

TEST_F(TriggerLineTest, AnAmbushInWavesWakesOnlyItsOwnWave) {
    AddBlade({-100.0f, -8.0f});
    Soldier plain, first, second;
    for (Soldier* s : {&plain, &first, &second})
        room.push_back(s);
    const LevelMap::WaveTable waves{{&first, 1}, {&second, 2}};
    TriggerLine wave1 = Line(LevelMap::TriggerEnemy);
    wave1.wave = 1;
    TriggerLine everyone = Line(LevelMap::TriggerEnemy);
    BladeAt(0.0f);
    EXPECT_FALSE(wave1.Update(room, waves));
    EXPECT_TRUE(plain.attackDisabled);
    EXPECT_FALSE(first.attackDisabled);
    EXPECT_TRUE(second.attackDisabled) << "the second wave waits for its own line";
    EXPECT_FALSE(everyone.Update(room, waves));
    EXPECT_FALSE(plain.attackDisabled) << "a line without a wave wakes those without one";
    EXPECT_TRUE(second.attackDisabled);
}

TEST_F(TriggerLineTest, BladeInAnotherRoomTouchesNothing) {
    AddBlade({0.0f, -8.0f});
    blade->roomId = 2;
    TriggerLine line = Line(LevelMap::TriggerDialog);
    EXPECT_TRUE(line.Update(room));
    EXPECT_TRUE(level.started.empty());
}

TEST(RoomTriggersTest, TheRoomKeepsItsTriggerLinesAndDropsSpentOnes) {
    LevelMap::RoomContents room;
    room.id = 5;
    LevelMap::RoomObject object;
    object.kind = LevelMap::ObjectKind::TriggerLine;
    object.line = Line2D({0.0f, 0.0f}, {0.0f, 90.0f});
    object.properties = {{"Dialog", "7"}, {"Trigger", "TriggerCredits"}};
    EXPECT_TRUE(room.SpawnEntity(object));
    object.properties = {{"Dialog", "0"}, {"Trigger", "TriggerEnemy"}};
    EXPECT_TRUE(room.SpawnEntity(object));
    object.properties = {{"Dialog", "3"}, {"Trigger", "Nonsense"}};
    EXPECT_FALSE(room.SpawnEntity(object));
    ASSERT_EQ(room.triggers.size(), 2u);
    EXPECT_EQ(room.triggers[0]->triggerKind, LevelMap::TriggerCredits);
    EXPECT_EQ(room.triggers[0]->dialog, 7);
    EXPECT_EQ(room.triggers[0]->roomId, 5);
    EXPECT_EQ(room.triggers[1]->triggerKind, LevelMap::TriggerEnemy);
    EXPECT_TRUE(room.entities.empty());
    room.triggers[0]->triggerKind = LevelMap::TriggerSpent;
    room.UpdateContents(1.0f / 60.0f);
    ASSERT_EQ(room.triggers.size(), 1u);
    EXPECT_EQ(room.triggers[0]->triggerKind, LevelMap::TriggerEnemy);
}

} // namespace
