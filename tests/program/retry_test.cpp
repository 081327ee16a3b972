// "Try again" on the real game loop: after a death Blade stands again at the
// door he came into the room by (the level's start in the first room), with
// the health and special he had when he came in; that room is as it was
// before he first entered it, the rooms he cleared stay cleared, and the
// conversations he heard do not start again by themselves. A picture of
// Blade back at the hall's door is written to the build directory.
#include "entities/DialogNPC.h"
#include "entities/Gate.h"
#include "world/TriggerLine.h"

#include "program/LevelDriver.h"

#include <algorithm>

namespace {

class RetryTest : public LevelDriver {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(StartLevel(0));
        hearConversations = true;
        drawEvery = 30;
    }
    size_t TimesHeard(const std::string& name) const {
        return static_cast<size_t>(std::count(heard.begin(), heard.end(), name));
    }
    void DieAndTryAgain() {
        Blade().ChangeHealth(-10.0f, nullptr);
        ASSERT_TRUE(TryAgainAfterDeath()) << "room " << RoomOf();
        Frames(20); // the bars catch up
    }
    // Where Blade stands once he has walked in through the door from `from`.
    Vec2 InsideDoorFrom(int32_t from) const {
        const LevelMap::Door* door = scene->currentRoom->DoorTo(from);
        EXPECT_NE(door, nullptr);
        return door ? door->entryLine.end : Vec2{};
    }
    void ExpectAt(Vec2 spot) const {
        EXPECT_NEAR(Blade().GetPosition().x, spot.x, 0.5f);
        EXPECT_NEAR(Blade().GetPosition().y, spot.y, 0.5f);
    }
    void ExpectCarrying(float health, float special) const {
        EXPECT_FLOAT_EQ(Blade().health, health);
        EXPECT_FLOAT_EQ(Blade().special, special);
        EXPECT_FLOAT_EQ(scene->hud->health.fill, health) << "the bar shows it";
        EXPECT_EQ(Blade().state, PlayerIdle);
    }
    int Living() const {
        int living = 0;
        for (Enemy* e : InRoom<Enemy>())
            living += !e->IsDead();
        return living;
    }
    // Walks east across the hall's first lines: its conversation, then the
    // two that wake the first pair of its ambush.
    void CrossTheHallsLines() { ASSERT_TRUE(WalkTo({360.0f, Blade().GetPosition().y}, 900)); }
    int Awake() const {
        int awake = 0;
        for (Enemy* e : InRoom<Enemy>())
            awake += !e->IsDead() && !e->attackDisabled;
        return awake;
    }
    void SetCarried(float health, float special) {
        Blade().health = health;
        Blade().special = special;
        Blade().PushHealth();
        Blade().PushSpecial();
    }
};

TEST_F(RetryTest, BladeComesBackAtTheDoorWithWhatHeHadAndTheRoomAfresh) {
    // The quartermaster speaks by himself as Blade starts beside him.
    ASSERT_TRUE(RunUntil([&] { return TimesHeard("1") == 1; }, 600));
    const Vec2 start = Blade().GetPosition();
    // A death in the first room: back at the level's start, as he began.
    Blade().special = 0.3f;
    ASSERT_TRUE(WalkTo(start + Vec2{120.0f, -80.0f}, 600));
    ASSERT_NO_FATAL_FAILURE(DieAndTryAgain());
    EXPECT_EQ(RoomOf(), 1);
    ExpectAt(start);
    ExpectCarrying(1.0f, 1.0f);
    EXPECT_EQ(scene->tries, 1);
    Frames(300); // beside the quartermaster, who has had his say
    EXPECT_EQ(TimesHeard("1"), 1u);

    // Into the hall with less than he started with.
    SetCarried(0.8f, 0.5f);
    ASSERT_NO_FATAL_FAILURE(TakeDoor(2));
    const Vec2 hallDoor = InsideDoorFrom(1);
    ASSERT_NO_FATAL_FAILURE(CrossTheHallsLines());
    EXPECT_EQ(TimesHeard("2"), 1u);
    ASSERT_EQ(Living(), 3);
    EXPECT_EQ(Awake(), 2) << "the first pair of the ambush is awake";
    ASSERT_TRUE(CutDown(NearestLivingEnemy(), 900, nullptr, true));
    ASSERT_EQ(Living(), 2);
    ASSERT_NO_FATAL_FAILURE(DieAndTryAgain());

    EXPECT_EQ(RoomOf(), 2);
    ExpectAt(hallDoor);
    ExpectCarrying(0.8f, 0.5f);
    EXPECT_FLOAT_EQ(scene->currentRoom->camera.GetPosition().x, hallDoor.x) << "the view is on him";
    EXPECT_EQ(Living(), 3) << "the hall as before he came in";
    // The picture once the room has faded back in (docs/retry keeps a copy).
    Frames(40);
    Capture("retry_at_the_hall_door.png");
    for (Enemy* e : InRoom<Enemy>())
        EXPECT_TRUE(e->attackDisabled) << "its soldiers asleep again";
    ASSERT_NO_FATAL_FAILURE(CrossTheHallsLines());
    EXPECT_EQ(TimesHeard("2"), 1u) << "the hall's conversation is not played again";
    EXPECT_EQ(Awake(), 2) << "the ambush lines wake them again";

    // Back in the gatehouse, come in by its door this time.
    SetCarried(0.6f, 0.7f);
    ASSERT_NO_FATAL_FAILURE(TakeDoor(1));
    // (A shot may have caught him on the way out.)
    const float health = Blade().health, special = Blade().special;
    EXPECT_GT(health, 0.5f);
    const Vec2 gatehouseDoor = InsideDoorFrom(2);
    Blade().ChangeSpecial(-0.2f);
    ASSERT_NO_FATAL_FAILURE(DieAndTryAgain());
    EXPECT_EQ(RoomOf(), 1);
    ExpectAt(gatehouseDoor);
    ExpectCarrying(health, special);
    ASSERT_TRUE(WalkTo(start, 900));
    Frames(300);
    EXPECT_EQ(TimesHeard("1"), 1u) << "the quartermaster waits to be asked";
    EXPECT_EQ(scene->tries, 3);
}

TEST_F(RetryTest, PressesWhileTheWindowClosesDoNotTryAgainTwice) {
    // A player who presses again, or clicks to swing at once, while the
    // window shrinks away starts the room once: what he sees is what he
    // plays.
    ASSERT_NO_FATAL_FAILURE(TakeDoor(2));
    ASSERT_NO_FATAL_FAILURE(CrossTheHallsLines());
    Blade().ChangeHealth(-10.0f, nullptr);
    const UIElement* again = scene->deathWindow->FindText("Try again");
    ASSERT_NE(again, nullptr);
    const Vec2 button = again->GetPosition();
    ASSERT_TRUE(TryAgainAfterDeath());
    const LevelMap::Room* room = scene->currentRoom;
    std::vector<Enemy*> soldiers = InRoom<Enemy>();
    ASSERT_FALSE(soldiers.empty());
    // Over the place the button was, for as long as the window shrinks and
    // a little more.
    PointAtUi(button);
    for (int i = 0; i < 150; ++i) {
        QNInputInjectKey(QN_VK_RETURN, i % 4 == 0);
        QNInputInjectKey(QN_VK_LBUTTON, i % 4 == 2);
        Frame();
    }
    ReleaseKeys();
    EXPECT_EQ(scene->tries, 1);
    EXPECT_EQ(scene->currentRoom, room);
    EXPECT_EQ(InRoom<Enemy>(), soldiers);
}

TEST_F(RetryTest, RoomsHeClearedStayClearedWhenHeDiesInTheNext) {
    ASSERT_NO_FATAL_FAILURE(TakeDoor(2));
    ASSERT_NO_FATAL_FAILURE(CrossTheHallsLines());
    while (Enemy* next = NearestLivingEnemy())
        ASSERT_TRUE(CutDown(next, 1800, nullptr, true));
    // Falling in the hall once it is clear brings nobody back.
    SetCarried(0.9f, 0.9f);
    ASSERT_NO_FATAL_FAILURE(DieAndTryAgain());
    EXPECT_EQ(RoomOf(), 2);
    EXPECT_FALSE(scene->currentRoom->HasLivingEnemy());
    ExpectCarrying(1.0f, 1.0f); // what he had when he came in
    SetCarried(0.7f, 0.4f);
    ASSERT_NO_FATAL_FAILURE(TakeDoor(3));
    const Vec2 armouryDoor = InsideDoorFrom(2);
    // A fight that went badly: the heavy hurt, then Blade down.
    for (Enemy* e : InRoom<Enemy>())
        e->ChangeHealth(-0.5f, nullptr);
    Frames(30);
    ASSERT_NO_FATAL_FAILURE(DieAndTryAgain());

    EXPECT_EQ(RoomOf(), 3);
    ExpectAt(armouryDoor);
    ExpectCarrying(0.7f, 0.4f);
    ASSERT_EQ(InRoom<Enemy>().size(), 2u);
    for (Enemy* e : InRoom<Enemy>())
        EXPECT_FLOAT_EQ(e->health, 1.0f) << "the armoury's enemies as they were";

    const LevelMap::Room& hall = *scene->FindRoom(2);
    EXPECT_FALSE(hall.HasLivingEnemy()) << "the hall stays clear";
    int gates = 0;
    for (Entity* e : hall.entities) {
        if (const auto* gate = dynamic_cast<const Gate*>(e)) {
            EXPECT_TRUE(gate->IsOpening()) << "its gate stays open";
            ++gates;
        }
    }
    EXPECT_EQ(gates, 1);
    // The way back through it is free and quiet.
    const size_t before = heard.size();
    ASSERT_NO_FATAL_FAILURE(TakeDoor(2));
    Frames(120);
    EXPECT_EQ(heard.size(), before);
}

} // namespace
