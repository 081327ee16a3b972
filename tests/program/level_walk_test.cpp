// The story level on the real game loop: Blade starts in the gatehouse,
// walks east through the door into the hall behind the circular reveal and
// back again, and slashes. Pictures of the lit room, the reveal half way and
// a slash are written to the build directory (docs/ keeps copies).
#include "program/LevelDriver.h"

namespace {

class LevelWalkTest : public LevelDriver {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(StartLevel(0)); }
};

TEST_F(LevelWalkTest, BladeWalksThroughADoorIntoTheHallAndBack) {
    ASSERT_EQ(RoomOf(), 1);
    ASSERT_NE(scene->player, nullptr);
    EXPECT_EQ(scene->rooms.size(), 3u) << "every room the doors reach is loaded";
    EXPECT_EQ(scene->currentRoom->torches.size(), 5u);

    // Let the fade-in finish and the camera settle on Blade.
    QNInputInjectCursor(900, 260);
    RunUntil([] { return false; }, 60);
    Capture("level_lit_room.png");

    // Down to the level of the hall door, then east through it.
    QNInputInjectKey(QN_VK_S, true);
    ASSERT_TRUE(RunUntil([&] { return scene->player->GetPosition().y < -290.0f; }, 120));
    QNInputInjectKey(QN_VK_S, false);
    QNInputInjectKey(QN_VK_D, true);
    ASSERT_TRUE(RunUntil([&] { return scene->nextRoom != nullptr; }, 600))
        << "Blade reached the east door";
    EXPECT_TRUE(scene->player->frozen);
    EXPECT_EQ(scene->nextRoom->id, 2);
    QNInputInjectKey(QN_VK_D, false);
    ASSERT_TRUE(RunUntil([&] { return scene->revealRadius >= 0.5f; }, 120));
    Capture("level_reveal.png");
    ASSERT_TRUE(RunUntil([&] { return scene->nextRoom == nullptr; }, 120));
    EXPECT_EQ(RoomOf(), 2);
    EXPECT_FALSE(scene->player->frozen);
    EXPECT_EQ(scene->player->roomId, 2);
    EXPECT_EQ(scene->rooms.at(1)->player, nullptr);
    // Blade stands on the far end of the west door's entry line.
    const LevelMap::Door* west = scene->currentRoom->DoorTo(1);
    ASSERT_NE(west, nullptr);
    EXPECT_NEAR(scene->player->GetPosition().x, west->entryLine.end.x, 0.5f);
    EXPECT_NEAR(scene->player->GetPosition().y, west->entryLine.end.y, 0.5f);

    // A light slash in the hall.
    RunUntil([] { return false; }, 20);
    QNInputInjectKey(QN_VK_LBUTTON, true);
    Frame();
    QNInputInjectKey(QN_VK_LBUTTON, false);
    EXPECT_EQ(scene->player->state, PlayerSlash);
    RunUntil([] { return false; }, 12);
    Capture("level_slash.png");
    RunUntil([&] { return scene->player->state != PlayerSlash; }, 60);

    // And back west into the gatehouse.
    QNInputInjectKey(QN_VK_A, true);
    ASSERT_TRUE(RunUntil([&] { return scene->nextRoom != nullptr; }, 300));
    QNInputInjectKey(QN_VK_A, false);
    ASSERT_TRUE(RunUntil([&] { return scene->nextRoom == nullptr; }, 240));
    EXPECT_EQ(RoomOf(), 1);
    EXPECT_EQ(scene->player->roomId, 1);
    const LevelMap::Door* east = scene->currentRoom->DoorTo(2);
    ASSERT_NE(east, nullptr);
    EXPECT_NEAR(scene->player->GetPosition().x, east->entryLine.end.x, 0.5f);
}

} // namespace
