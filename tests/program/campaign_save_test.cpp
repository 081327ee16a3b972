// The save follows the story: Blade leaves a level through its exit door in
// the real loop, the next level starts and the save names it; after the game
// is quit and started again, "Continue" in the main menu starts that level,
// in its first room with its own music.
#include "audio/Audio.h"
#include "engine/QNGraphics.h"
#include "entities/Player.h"
#include "scenes/LevelScene.h"
#include "scenes/MainMenu.h"
#include "world/LevelCatalogue.h"
#include "world/Room.h"

#include "program/UiDriver.h"

#include <deque>
#include <map>

namespace {

class CampaignSaveTest : public UiDriver {
protected:
    // Hands Blade from room to room along the doors until he stands in the
    // room with the level's exit, then puts him on the exit door.
    void WalkToTheExit(LevelScene& scene) {
        int32_t exitRoom = 0;
        for (const auto& [number, room] : scene.rooms)
            if (room->DoorTo(0))
                exitRoom = number;
        ASSERT_NE(exitRoom, 0) << "the level has an exit";
        // The rooms on the way, found through the doors.
        std::map<int32_t, int32_t> cameFrom{{scene.currentRoom->id, 0}};
        std::deque<int32_t> open{scene.currentRoom->id};
        while (!open.empty()) {
            const int32_t here = open.front();
            open.pop_front();
            for (const LevelMap::Door& door : scene.rooms.at(here)->doors)
                if (door.target != 0 && cameFrom.emplace(door.target, here).second)
                    open.push_back(door.target);
        }
        ASSERT_TRUE(cameFrom.count(exitRoom));
        std::vector<int32_t> way;
        for (int32_t room = exitRoom; room != scene.currentRoom->id; room = cameFrom.at(room))
            way.insert(way.begin(), room);
        for (int32_t next : way) {
            LevelMap::Room* to = scene.rooms.at(next).get();
            ASSERT_NE(scene.currentRoom->MovePlayerTo(*to), nullptr);
            scene.currentRoom = to;
        }
        scene.player->SetPosition(scene.currentRoom->DoorTo(0)->centre);
    }
};

TEST_F(CampaignSaveTest, QuittingMidCampaignContinuesAtTheLevelReached) {
    // The third level is being played.
    Game& game = Game::Instance();
    game.levels = LevelCatalogue("levels.xml");
    ASSERT_GE(game.levels.firstRooms.size(), 5u);
    game.levels.currentLevel = 2;
    Start([] { return new LevelScene(); });
    LevelScene* third = Current<LevelScene>();
    ASSERT_NE(third, nullptr) << game.lastError;
    EXPECT_EQ(third->currentRoom->id, game.levels.firstRooms[2]);
    Seconds(0.6f); // the fade-in

    WalkToTheExit(*third);
    ASSERT_GE(
        FramesUntil([&] { return Current<LevelScene>() && Current<LevelScene>() != third; }, 120),
        0)
        << "the exit door leads to the next level";
    LevelScene* fourth = Current<LevelScene>();
    EXPECT_EQ(fourth->currentRoom->id, game.levels.firstRooms[3]);
    EXPECT_EQ(game.levels.currentLevel, 3);
    EXPECT_EQ(dir.Read("save.xml"), "<save level=\"3\"/>\n");
    Seconds(1.0f); // a little of the fourth level, then the player quits

    game.Shutdown();
    // The next run of the program reads the catalogue and the save afresh.
    game.levels = LevelCatalogue("levels.xml");
    EXPECT_EQ(game.levels.currentLevel, 3);
    Start([] { return new MainMenu(); });
    MainMenu* menu = Current<MainMenu>();
    ASSERT_NE(menu, nullptr);
    WaitOpen(*menu->window);
    UIText* cont = menu->window->FindText("Continue");
    ASSERT_NE(cont, nullptr);
    EXPECT_TRUE(cont->IsInteractive()) << "a save makes Continue available";
    Tap(QN_VK_DOWN);
    ASSERT_EQ(Highlighted(*menu->window), "Continue");
    Tap(QN_VK_RETURN);
    ASSERT_GE(FramesUntil([] { return Current<LevelScene>() && !Current<MainMenu>(); }, 60), 0);
    LevelScene* resumed = Current<LevelScene>();
    EXPECT_EQ(resumed->currentRoom->id, game.levels.firstRooms[3]);
    EXPECT_EQ(resumed->player->roomId, game.levels.firstRooms[3]);
    EXPECT_EQ(LevelCatalogue::Story().CurrentMusic(), game.levels.music[3]);
    EXPECT_EQ(resumed->music.sound, Audio::GetSound(game.levels.music[3], true).sound);
    EXPECT_EQ(dir.Read("save.xml"), "<save level=\"3\"/>\n") << "continuing does not rewrite it";
}

// Every story level starts in the real loop: its rooms load with their
// torches, props and doors, Blade stands in the start room, and the level's
// music plays. A picture of each start room is written to the build
// directory (campaign_level_<n>.png).
TEST_F(CampaignSaveTest, EveryStoryLevelStartsInTheRealLoop) {
    Game& game = Game::Instance();
    game.levels = LevelCatalogue("levels.xml");
    const size_t count = game.levels.firstRooms.size();
    ASSERT_GE(count, 5u);
    for (size_t k = 0; k < count; ++k) {
        SCOPED_TRACE("level " + std::to_string(k + 1));
        game.levels.currentLevel = static_cast<int32_t>(k);
        Start([] { return new LevelScene(); });
        LevelScene* scene = Current<LevelScene>();
        ASSERT_NE(scene, nullptr) << game.lastError;
        EXPECT_EQ(scene->currentRoom->id, game.levels.firstRooms[k]);
        EXPECT_GE(scene->rooms.size(), 3u);
        for (const auto& [number, room] : scene->rooms) {
            EXPECT_FALSE(room->torches.empty()) << "room " << number << " is lit";
            EXPECT_FALSE(room->doors.empty()) << "room " << number;
        }
        ASSERT_NE(scene->player, nullptr);
        EXPECT_EQ(scene->music.sound, Audio::GetSound(game.levels.music[k], true).sound);
        QNInputInjectCursor(900, 260);
        Seconds(1.0f);
        QNGfxRequestCapture(BuildDir() + "/campaign_level_" + std::to_string(k + 1) + ".png");
        Frames(1);
        game.Shutdown();
    }
}

} // namespace
