// The endless mode in the real loop: "Endless Mode" from the menu generates
// rooms 100 to 104 and plays them; the level is crossed door by door to its
// exit, the next level is generated, the depth on the HUD rises and the best
// depth survives a restart. A room folder that cannot be written keeps the
// player in the menu with a message.
#include "engine/QNGraphics.h"
#include "entities/Entity.h"
#include "entities/Player.h"
#include "program/UiDriver.h"
#include "scenes/LevelScene.h"
#include "scenes/MainMenu.h"
#include "world/EndlessRecord.h"
#include "world/EndlessRun.h"
#include "world/LevelCatalogue.h"
#include "world/Room.h"

#include <cmath>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

class EndlessModeTest : public UiDriver {
protected:
    // The scratch directory gets an assets folder of its own whose rooms
    // folder is real (the generator writes into it); everything else links
    // to the build's assets.
    void SetUp() override {
        const fs::path link = fs::path(dir.Path()) / "assets";
        const fs::path built = fs::read_symlink(link);
        fs::remove(link);
        fs::create_directory(link);
        for (const auto& entry : fs::directory_iterator(built)) {
            if (entry.path().filename() != "rooms")
                fs::create_symlink(entry.path(), link / entry.path().filename());
        }
        fs::create_directory(link / "rooms");
        for (const auto& entry : fs::directory_iterator(built / "rooms")) {
            if (entry.path().extension() != ".tmx")
                fs::create_symlink(entry.path(), link / "rooms" / entry.path().filename());
        }
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
    // Every enemy of the current room falls at once (a test's shortcut; the
    // doors and gates still follow the real rules).
    void ClearRoom() {
        for (Entity* e : Level()->currentRoom->entities) {
            if (e->kind == KindEnemy && !e->IsDead())
                e->ChangeHealth(-100.0f, nullptr);
        }
    }
    // Blade against the door of the current room leading to `target`.
    void StandInDoor(int target) {
        const LevelMap::Door* door = Level()->currentRoom->DoorTo(target);
        ASSERT_NE(door, nullptr) << "room " << Level()->currentRoom->id << " has no door to "
                                 << target;
        const Vec2 along = door->entryLine.end - door->entryLine.start;
        const float length = std::sqrt(along.x * along.x + along.y * along.y);
        const Vec2 in{along.x / length, along.y / length};
        Level()->player->SetPosition(door->entryLine.start + in * 16.0f - Vec2{0.0f, 8.0f});
    }
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
