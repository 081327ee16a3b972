// The sample level pack (tests/fixtures/packs/sample, made from the Tiled
// project's templates) played on the real game loop from its start to its
// exit: Blade walks east into the cellar, cuts the guard down and leaves by
// the door the guard kept shut, and the game goes back to the main menu,
// the pack's one level done.
#include "core/LevelPack.h"
#include "program/LevelDriver.h"
#include "scenes/MainMenu.h"

namespace {

class LevelPackPlayTest : public LevelDriver {
protected:
    void SetUp() override {
        LevelPack::Use(SourceDir() + "/tests/fixtures/packs/sample");
        ASSERT_NO_FATAL_FAILURE(StartLevel(0));
    }
    void TearDown() override {
        LevelDriver::TearDown();
        LevelPack::Use("");
        Game::Instance().levels = LevelCatalogue("levels.xml");
    }
};

TEST_F(LevelPackPlayTest, TheSamplePackIsPlayedFromItsStartToItsExit) {
    ASSERT_EQ(RoomOf(), 1);
    EXPECT_EQ(scene->rooms.size(), 2u);
    RunUntil([] { return false; }, 60);
    Capture("level_pack_start.png");
    ASSERT_NO_FATAL_FAILURE(TakeDoor(2));

    Enemy* guard = NearestLivingEnemy();
    ASSERT_NE(guard, nullptr);
    ASSERT_TRUE(CutDown(guard, 1800)) << "the guard never fell";
    const LevelMap::Door* exit = scene->currentRoom->DoorTo(0);
    ASSERT_NE(exit, nullptr);
    const Vec2 middle = (exit->start + exit->end) * 0.5f;
    ASSERT_TRUE(WalkUntil(
        middle, [&] { return !Playing(); }, 1800))
        << "Blade never left by the exit";
    EXPECT_NE(dynamic_cast<MainMenu*>(Game::Instance().currentScene), nullptr)
        << "the pack's last level leads back to the menu";
}

} // namespace
