// A room saved by its author while a level pack runs comes back into the
// game: Blade is kept, with his health, at the door he came in by; a save
// that cannot be played keeps the old room and says why.
#include "core/LevelPack.h"
#include "core/Notices.h"
#include "program/LevelDriver.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class RoomReloadTest : public LevelDriver {
protected:
    void SetUp() override {
        fs::copy(fs::path(SourceDir()) / "tests/fixtures/packs/sample", pack,
                 fs::copy_options::recursive);
        LevelPack::Use(pack.string());
        ASSERT_NO_FATAL_FAILURE(StartLevel(0));
    }
    void TearDown() override {
        LevelDriver::TearDown();
        LevelPack::Use("");
        Game::Instance().levels = LevelCatalogue("levels.xml");
        ClearNotices();
    }
    // Saves room `n` as its author would: new text, a newer time.
    void SaveRoom(int n, const std::string& text) {
        const fs::path file = pack / "rooms" / (std::to_string(n) + ".tmx");
        const auto before = fs::last_write_time(file);
        std::ofstream(file, std::ios::binary) << text;
        fs::last_write_time(file, before + std::chrono::seconds(1));
    }
    std::string RoomText(int n) const {
        std::stringstream ss;
        ss << std::ifstream(pack / "rooms" / (std::to_string(n) + ".tmx")).rdbuf();
        return ss.str();
    }
    bool Noticed(const std::string& part) const {
        for (const Notice& n : Notices()) {
            if (n.text.find(part) != std::string::npos)
                return true;
        }
        return false;
    }

    fs::path pack = fs::path(dir.Path()) / "pack";
};

TEST_F(RoomReloadTest, ASavedRoomComesBackWithBladeAndABrokenSaveIsRefused) {
    ASSERT_NO_FATAL_FAILURE(TakeDoor(2));
    Player* blade = &Blade();
    blade->health = 0.6f;
    const Vec2 entered = blade->GetPosition();
    Frames(30); // the watch has seen the room's file
    ASSERT_TRUE(WalkTo(entered + Vec2{60.0f, 0.0f}, 300));

    // The author adds a second guard.
    std::string room = RoomText(2);
    const std::string guard = "<object id=\"2\" template=\"../templates/Enemy.tx\" x=\"450\" "
                              "y=\"380\"/>";
    room.replace(room.find(guard), guard.size(),
                 guard + "\n  <object id=\"6\" template=\"../templates/Enemy.tx\" x=\"550\" "
                         "y=\"300\"/>");
    SaveRoom(2, room);
    LevelMap::Room* before = scene->currentRoom;
    ASSERT_TRUE(RunUntil([&] { return scene->currentRoom != before; }, 60)) << "never read again";
    EXPECT_EQ(&Blade(), blade) << "Blade is kept";
    EXPECT_FLOAT_EQ(Blade().health, 0.6f);
    EXPECT_EQ(scene->currentRoom->player, blade);
    EXPECT_NEAR(Blade().GetPosition().x, entered.x, 2.0f) << "back at the door he came in by";
    EXPECT_EQ(InRoom<Enemy>().size(), 2u);
    EXPECT_TRUE(Noticed("Room 2 read again"));

    // A save half written: the room stays as it was, and the notice says why.
    SaveRoom(2, room.substr(0, room.size() / 2));
    LevelMap::Room* kept = scene->currentRoom;
    ASSERT_TRUE(RunUntil([&] { return Noticed("kept as it was"); }, 60));
    EXPECT_EQ(scene->currentRoom, kept);
    EXPECT_EQ(&Blade(), blade);
    EXPECT_EQ(InRoom<Enemy>().size(), 2u);
    Frames(30);
    EXPECT_TRUE(Playing());
}

} // namespace
