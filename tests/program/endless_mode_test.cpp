// The endless mode in the real loop: "Endless Mode" from the menu generates
// rooms 100 to 104 and plays them; the level is crossed door by door to its
// exit, the next level is generated, the depth on the HUD rises and the best
// depth survives a restart. A room folder that cannot be written keeps the
// player in the menu with a message.
#include "engine/QNGraphics.h"
#include "entities/Entity.h"
#include "entities/Player.h"
#include "program/RoomSteps.h"
#include "program/UiDriver.h"
#include "scenes/LevelScene.h"
#include "scenes/MainMenu.h"
#include "world/EndlessRecord.h"
#include "world/EndlessRun.h"
#include "world/LevelCatalogue.h"
#include "world/Room.h"

namespace {

class EndlessModeTest : public UiDriver {
protected:
    // The generator writes into a rooms folder of the test's own.
    void SetUp() override {
        OwnRoomsFolder();
        EndlessRun& run = EndlessRun::Current();
        run = EndlessRun();
        run.seed = 20261210u;
        LevelCatalogue::Story().endless = false;
    }
    void TearDown() override {
        UiDriver::TearDown();
        EndlessRun::Current() = EndlessRun();
        LevelCatalogue::Story().endless = false;
    }

    MainMenuWindow& Menu() { return *Current<MainMenu>()->window; }
    // `started` runs once the game has chosen where it writes.
    void ChooseEndless(const std::function<void()>& started = nullptr) {
        Start([] { return new MainMenu(); });
        WaitOpen(Menu());
        if (started)
            started();
        UIText* entry = Menu().FindText("Endless Mode");
        ASSERT_NE(entry, nullptr);
        ASSERT_TRUE(entry->IsInteractive()) << "the entry is active";
        PointAt(entry);
        Tap(QN_VK_LBUTTON);
    }
    LevelScene* Level() { return Current<LevelScene>(); }
    void ClearRoom() { ::ClearRoom(*Level()); }
    void StandInDoor(int target) { ::StandInDoor(*Level(), target); }
    std::string HudDepth() {
        const auto& text = Level()->hud->depthText;
        return text ? std::string(text->text.begin(), text->text.end()) : "";
    }
};

TEST_F(EndlessModeTest, ALevelIsCrossedRoomByRoomAndTheNextOneIsOneDeeper) {
    ChooseEndless();
    ASSERT_GE(FramesUntil([&] { return Level() != nullptr; }, 90), 0) << Game::Instance().lastError;
    EXPECT_TRUE(LevelCatalogue::Story().endless);
    for (int room = 100; room <= 104; ++room)
        EXPECT_TRUE(dir.Exists("assets/rooms/" + std::to_string(room) + ".tmx")) << room;
    EXPECT_FALSE(dir.Exists("save.xml")) << "the endless mode never touches the save";
    ASSERT_EQ(Level()->currentRoom->id, 100);
    EXPECT_EQ(Level()->rooms.size(), 5u) << "every generated room is reachable";
    EXPECT_EQ(HudDepth(), "Depth 0");
    Seconds(0.6f);
    QNGfxRequestCapture(BuildDir() + "/endless_room_100.png");
    Frames(1);

    // Through the chain: 100 -> 101 -> ... -> 104, then the exit.
    for (int next = 101; next <= 105; ++next) {
        const int target = next == 105 ? 0 : next;
        ClearRoom();
        Level()->player->health = 1.0f;
        Frames(2);
        StandInDoor(target);
        if (target == 0)
            break;
        ASSERT_GE(FramesUntil([&] { return Level()->currentRoom->id == next; }, 240), 0)
            << "stuck before room " << next;
        Seconds(0.5f);
        if (next == 102 || next == 104) {
            QNGfxRequestCapture(BuildDir() + "/endless_room_" + std::to_string(next) + ".png");
            Frames(1);
        }
    }
    const LevelScene* first = Level();
    ASSERT_GE(FramesUntil([&] { return Level() && Level() != first; }, 240), 0)
        << "the exit led to a new level";
    EXPECT_EQ(EndlessRun::Current().depth, 1);
    EXPECT_EQ(HudDepth(), "Depth 1");
    EXPECT_EQ(Level()->currentRoom->id, 100);
    EXPECT_EQ(ReadBestDepth("endless.xml"), 1) << "the record is kept";
    EXPECT_FALSE(dir.Exists("save.xml"));
}

TEST_F(EndlessModeTest, TheBestDepthIsShownBesideTheEntryAfterARestart) {
    ASSERT_TRUE(WriteBestDepth("endless.xml", 7));
    Start([] { return new MainMenu(); });
    WaitOpen(Menu());
    EXPECT_NE(Menu().FindText("best 7"), nullptr);
}

TEST_F(EndlessModeTest, UnwritableRoomsKeepThePlayerInTheMenuWithAMessage) {
    // A plain file where the rooms folder should be: no room can be written
    // there, whatever the rights of the user running the test.
    dir.Write("blocked", "not a folder");
    ChooseEndless([] { EndlessRun::Current().roomsDir = "blocked/rooms"; });
    Frames(60);
    EXPECT_NE(Current<MainMenu>(), nullptr) << "no level starts";
    EXPECT_FALSE(LevelCatalogue::Story().endless);
    EXPECT_NE(Menu().FindText("The endless rooms could not be written."), nullptr);
    EXPECT_NE(Menu().FindText("Back"), nullptr);
}

} // namespace
