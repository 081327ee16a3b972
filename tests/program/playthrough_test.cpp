// The story played through on the real game loop, one test per level, each
// starting from that level as a save would: Blade walks every room of the
// level along the room's own paths, crosses its trigger lines, talks to its
// characters, fights every enemy with slashes and dashes, and leaves by the
// exit door into the next level; in the last level he wears the Commander
// down, hears his last words, finishes him and crosses the stair's line
// into the credits. Conversations are held through with the confirm button.
// He uses the room's health station when he runs low; the health top-up of
// LevelDriver.h must never be needed.
//
// A picture of every room is written to the build directory as it is
// entered (playthrough_room_<n>.png); each level adds its row to a sheet of
// every room played so far (playthrough_rooms.png, docs/campaign_rooms.png
// keeps a copy).
#include "engine/QNGraphics.h"
#include "entities/DialogNPC.h"
#include "entities/Projectile.h"
#include "scenes/CreditsScene.h"
#include "world/TriggerLine.h"

#include "program/StoryTour.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

namespace {

// A picture of width x height RGBA pixels.
struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgba;
};

// `path` shrunk to width x height by averaging; empty when it cannot be read.
Picture LoadShrunk(const std::string& path, int width, int height) {
    Picture out;
    int w = 0, h = 0, channels = 0;
    unsigned char* pixels = stbi_load(path.c_str(), &w, &h, &channels, 4);
    if (!pixels)
        return out;
    out.width = width;
    out.height = height;
    out.rgba.assign(static_cast<size_t>(width) * height * 4, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int x0 = x * w / width, x1 = std::max(x0 + 1, (x + 1) * w / width);
            const int y0 = y * h / height, y1 = std::max(y0 + 1, (y + 1) * h / height);
            for (int c = 0; c < 4; ++c) {
                int sum = 0;
                for (int sy = y0; sy < y1; ++sy)
                    for (int sx = x0; sx < x1; ++sx)
                        sum += pixels[(static_cast<size_t>(sy) * w + sx) * 4 + c];
                out.rgba[(static_cast<size_t>(y) * width + x) * 4 + c] =
                    static_cast<unsigned char>(sum / ((x1 - x0) * (y1 - y0)));
            }
        }
    }
    stbi_image_free(pixels);
    return out;
}

// Rows of pictures on a dark page, `gap` pixels apart; every picture has
// the size of the first.
Picture Sheet(const std::vector<std::vector<Picture>>& rows, int gap) {
    Picture page;
    int cellW = 0, cellH = 0;
    size_t columns = 0;
    for (const auto& row : rows) {
        columns = std::max(columns, row.size());
        if (!row.empty() && cellW == 0) {
            cellW = row[0].width;
            cellH = row[0].height;
        }
    }
    page.width = gap + static_cast<int>(columns) * (cellW + gap);
    page.height = gap + static_cast<int>(rows.size()) * (cellH + gap);
    page.rgba.assign(static_cast<size_t>(page.width) * page.height * 4, 0);
    for (size_t i = 0; i < page.rgba.size(); i += 4) {
        page.rgba[i] = page.rgba[i + 1] = 40;
        page.rgba[i + 2] = 48;
        page.rgba[i + 3] = 255;
    }
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t c = 0; c < rows[r].size(); ++c) {
            const Picture& p = rows[r][c];
            const int left = gap + static_cast<int>(c) * (cellW + gap);
            const int top = gap + static_cast<int>(r) * (cellH + gap);
            for (int y = 0; y < std::min(p.height, cellH); ++y)
                std::copy_n(&p.rgba[static_cast<size_t>(y) * p.width * 4],
                            std::min(p.width, cellW) * 4,
                            &page.rgba[(static_cast<size_t>(top + y) * page.width + left) * 4]);
        }
    }
    return page;
}

// Share of a picture's pixels whose channels average above `floor`: a lit
// room shows most of its floor, a black or failed picture next to none.
float LitShare(const std::string& path, int floor) {
    int w = 0, h = 0, channels = 0;
    unsigned char* pixels = stbi_load(path.c_str(), &w, &h, &channels, 4);
    if (!pixels)
        return 0.0f;
    size_t lit = 0;
    const size_t count = static_cast<size_t>(w) * h;
    for (size_t i = 0; i < count; ++i)
        lit += pixels[i * 4] + pixels[i * 4 + 1] + pixels[i * 4 + 2] > 3 * floor;
    stbi_image_free(pixels);
    return static_cast<float>(lit) / static_cast<float>(count);
}

class PlaythroughTest : public StoryTour, public ::testing::WithParamInterface<int32_t> {
protected:
    void SetUp() override {
        drawEvery = 240; // a frame every four seconds; pictures draw their own
        hearConversations = true;
        // Low on health he goes to the room's station, as a player would.
        betweenBlows = [this] { return RefillWhenLow(); };
        Projectile::Random().Seed(43);
        Commander::Random().Seed(11);
    }

    // Fights every enemy of the room but the Commander, nearest first: a
    // dash while the blue lasts and the line is clear, otherwise heavy
    // slashes from beside it.
    void ClearRoom() {
        int rounds = 0;
        while (Enemy* next = NearestNonCommander()) {
            ASSERT_LT(++rounds, 60)
                << "room " << RoomOf() << ": an enemy at " << next->GetPosition().x << ", "
                << next->GetPosition().y << " will not fall";
            const bool dashed = Blade().special >= Player::dashCost && DashThrough(next, 300);
            if (!dashed && !next->IsDead())
                CutDown(next, 900, nullptr, true);
            ++fights;
        }
    }
    // Everything a room asks of Blade, the first time he enters it.
    void PlayRoom() {
        const int32_t room = RoomOf();
        if (!played.insert(room).second)
            return;
        // A few steps in towards the middle of the floor, then the picture.
        const Vec2 middle = MiddleOfFloor();
        WalkUntil(
            middle, [&] { return LengthSq(middle - Blade().GetPosition()) < 40.0f * 40.0f; }, 150);
        const std::string picture = "playthrough_room_" + std::to_string(room) + ".png";
        Capture(picture);
        pictures.push_back(picture);
        if (Commander* boss = FindCommander())
            DefeatCommander(*boss);
        ASSERT_FALSE(HasFatalFailure());
        CrossLines(LevelMap::TriggerDialog);
        CrossLines(LevelMap::TriggerEnemy);
        ClearRoom();
        ASSERT_FALSE(HasFatalFailure());
        TalkToCharacters();
        CrossLines(LevelMap::TriggerDialogNoEnemy);
    }

    // This level's row of room pictures, then the sheet of every level's
    // row found in the build directory.
    void WriteSheets(int32_t level) {
        constexpr int kWidth = 256, kHeight = 144;
        std::vector<Picture> row;
        for (const std::string& name : pictures)
            row.push_back(LoadShrunk(BuildDir() + "/" + name, kWidth, kHeight));
        const Picture strip = Sheet({row}, 0);
        ASSERT_TRUE(QNGfxWritePNG(RowName(level), strip.rgba.data(), strip.width, strip.height));
        std::vector<std::vector<Picture>> rows;
        for (int32_t k = 0; k < static_cast<int32_t>(Game::Instance().levels.firstRooms.size());
             ++k) {
            int w = 0, h = 0, channels = 0;
            unsigned char* all = stbi_load(RowName(k).c_str(), &w, &h, &channels, 4);
            if (!all)
                continue; // that level has not been played in this build
            std::vector<Picture> cells;
            for (int x = 0; x + kWidth <= w && h >= kHeight; x += kWidth) {
                Picture cell;
                cell.width = kWidth;
                cell.height = kHeight;
                for (int y = 0; y < kHeight; ++y)
                    cell.rgba.insert(cell.rgba.end(), &all[(static_cast<size_t>(y) * w + x) * 4],
                                     &all[(static_cast<size_t>(y) * w + x + kWidth) * 4]);
                cells.push_back(std::move(cell));
            }
            stbi_image_free(all);
            rows.push_back(std::move(cells));
        }
        const Picture page = Sheet(rows, 6);
        EXPECT_TRUE(QNGfxWritePNG(BuildDir() + "/playthrough_rooms.png", page.rgba.data(),
                                  page.width, page.height));
    }
    static std::string RowName(int32_t level) {
        return BuildDir() + "/playthrough_level_" + std::to_string(level + 1) + ".png";
    }

    std::set<int32_t> played;          // rooms entered and played
    std::vector<std::string> pictures; // one per room, in the order entered
    int fights = 0;                    // enemies gone after
};

TEST_P(PlaythroughTest, BladePlaysTheLevelFromItsStartToItsExit) {
    const int32_t level = GetParam();
    StartLevel(level);
    ASSERT_FALSE(HasFatalFailure());
    Game& g = Game::Instance();
    const bool last = level + 1 == static_cast<int32_t>(g.levels.firstRooms.size());
    EXPECT_EQ(g.levels.firstRooms.size(), 7u) << "one play-through test for every level";
    const int32_t exitRoom = ExitRoom();
    ASSERT_NE(exitRoom, 0) << "the level has a way out";
    const std::vector<int32_t> tour = Tour(RoomOf(), exitRoom);
    EXPECT_EQ(std::set<int32_t>(tour.begin(), tour.end()).size(), scene->rooms.size())
        << "every room lies on the walk";

    for (size_t step = 0; step < tour.size(); ++step) {
        SCOPED_TRACE("room " + std::to_string(tour[step]));
        if (step > 0)
            TakeDoor(tour[step]);
        ASSERT_FALSE(HasFatalFailure());
        PlayRoom();
        ASSERT_FALSE(HasFatalFailure());
    }
    ASSERT_EQ(RoomOf(), exitRoom);
    std::printf("level %d: %zu rooms, %d fights, %zu conversations, %d stations, %d top-ups, "
                "%d frames\n",
                level + 1, played.size(), fights, heard.size(), refills, topUps, framesRun);
    for (const std::string& name : heard)
        std::printf("  heard %s\n", name.c_str());
    EXPECT_EQ(topUps, 0) << "Blade plays the level through on his own health";
    WriteSheets(level);
    for (const std::string& name : pictures)
        EXPECT_GT(LitShare(BuildDir() + "/" + name, 15), 0.1f)
            << name << " shows a lit room, not a black screen";

    LevelScene* const played_level = scene;
    if (!last) {
        // Out through the exit door; the next level starts in its first room.
        const LevelMap::Door* door = scene->currentRoom->DoorTo(0);
        ASSERT_NE(door, nullptr);
        ASSERT_TRUE(
            WalkUntil((door->start + door->end) * 0.5f, [&] { return scene->leaving; }, 1200))
            << "the exit door takes Blade";
        scene = nullptr;
        ASSERT_TRUE(RunUntil(
            [&] {
                auto* next = dynamic_cast<LevelScene*>(g.currentScene);
                return next && next != played_level;
            },
            240));
        EXPECT_EQ(g.levels.currentLevel, level + 1);
        EXPECT_EQ(dynamic_cast<LevelScene*>(g.currentScene)->currentRoom->id,
                  g.levels.firstRooms[static_cast<size_t>(level) + 1]);
        return;
    }
    // The stair's line rolls the credits.
    const LevelMap::TriggerLine* credits = nullptr;
    for (const auto& t : scene->currentRoom->triggers)
        if (t->triggerKind == LevelMap::TriggerCredits)
            credits = t.get();
    ASSERT_NE(credits, nullptr);
    ASSERT_TRUE(WalkUntil(
        StandingPointOn(*credits),
        [&] { return dynamic_cast<CreditsScene*>(g.currentScene) != nullptr; }, 900))
        << "the credits roll";
    scene = nullptr;
    Frames(40);
    Capture("playthrough_credits.png");
}

INSTANTIATE_TEST_SUITE_P(StoryLevels, PlaythroughTest, ::testing::Range(0, 7),
                         [](const ::testing::TestParamInfo<int32_t>& param) {
                             return "Level" + std::to_string(param.param + 1);
                         });

} // namespace
