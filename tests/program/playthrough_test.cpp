// The story played through on the real game loop, one test per level, each
// starting from that level as a save would: Blade walks every room of the
// level along the room's own paths, crosses its trigger lines, talks to its
// characters, fights every enemy with slashes and dashes, and leaves by the
// exit door into the next level; in the last level he wears the Commander
// down, hears his last words, finishes him and crosses the stair's line
// into the credits. Conversations are held through with the confirm button.
// Blade's only help is the health top-up of LevelDriver.h.
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

#include "program/LevelDriver.h"

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

class PlaythroughTest : public LevelDriver, public ::testing::WithParamInterface<int32_t> {
protected:
    void SetUp() override {
        drawEvery = 240; // a frame every four seconds; pictures draw their own
        hearConversations = true;
        Projectile::Random().Seed(43);
        Commander::Random().Seed(11);
    }

    // Where the level ends: the room with the exit door, or the one with
    // the line that rolls the credits.
    int32_t ExitRoom() const {
        for (const auto& [number, room] : scene->rooms) {
            if (room->DoorTo(0))
                return number;
            for (const auto& line : room->triggers)
                if (line->triggerKind == LevelMap::TriggerCredits)
                    return number;
        }
        return 0;
    }
    // The rooms in the order Blade walks them: depth first from the start
    // room through the doors that may be walked, back out of every branch
    // but the one that holds the exit, which comes last.
    std::vector<int32_t> Tour(int32_t start, int32_t exitRoom) const {
        std::map<int32_t, std::vector<int32_t>> children;
        std::set<int32_t> seen{start};
        std::function<void(int32_t)> grow = [&](int32_t room) {
            for (const LevelMap::Door& door : scene->rooms.at(room)->doors) {
                if (door.target == 0 || door.enterCondition == LevelMap::DoorDisabled)
                    continue;
                if (seen.insert(door.target).second) {
                    children[room].push_back(door.target);
                    grow(door.target);
                }
            }
        };
        grow(start);
        std::function<bool(int32_t)> holdsExit = [&](int32_t room) {
            if (room == exitRoom)
                return true;
            for (int32_t child : children[room])
                if (holdsExit(child))
                    return true;
            return false;
        };
        std::vector<int32_t> way;
        std::function<void(int32_t)> walk = [&](int32_t room) {
            int32_t last = 0;
            for (int32_t child : children[room]) {
                if (holdsExit(child)) {
                    last = child;
                    continue;
                }
                way.push_back(child);
                walk(child);
                way.push_back(room);
            }
            if (last != 0) {
                way.push_back(last);
                walk(last);
            }
        };
        way.push_back(start);
        walk(start);
        return way;
    }

    // A point of `line` Blade can stand on, the nearest to him.
    Vec2 StandingPointOn(const Line2D& line) const {
        Vec2 best = (line.start + line.end) * 0.5f;
        float bestDistance = 1e30f;
        for (int k = 1; k < 16; ++k) {
            const Vec2 p = line.start + (line.end - line.start) * (static_cast<float>(k) / 16.0f);
            const float d = LengthSq(p - Blade().GetPosition());
            if (scene->IsWalkable(RoomOf(), p) && d < bestDistance) {
                best = p;
                bestDistance = d;
            }
        }
        return best;
    }
    // The floor cell nearest the middle of the room's floor.
    Vec2 MiddleOfFloor() const {
        const LevelMap::Room& room = *scene->currentRoom;
        Vec2 sum{0.0f, 0.0f};
        int count = 0;
        for (int32_t r = 0; r < room.height; ++r)
            for (int32_t c = 0; c < room.width; ++c)
                if (room.IsWalkable(room.CellCentre(c, r))) {
                    sum = sum + room.CellCentre(c, r);
                    ++count;
                }
        const Vec2 mean = count ? sum * (1.0f / static_cast<float>(count)) : Blade().GetPosition();
        Vec2 best = Blade().GetPosition();
        for (int32_t r = 0; r < room.height; ++r)
            for (int32_t c = 0; c < room.width; ++c)
                if (room.IsWalkable(room.CellCentre(c, r)) &&
                    LengthSq(room.CellCentre(c, r) - mean) < LengthSq(best - mean))
                    best = room.CellCentre(c, r);
        return best;
    }
    // Walks across every trigger line of the room of the given kind until
    // it has done its work.
    void CrossLines(int32_t kind) {
        for (int pass = 0; pass < 8; ++pass) {
            const LevelMap::TriggerLine* line = nullptr;
            for (const auto& t : scene->currentRoom->triggers)
                if (t->triggerKind == kind && !line)
                    line = t.get();
            if (!line)
                return;
            const Vec2 on = StandingPointOn(*line);
            const auto spent = [&] {
                for (const auto& t : scene->currentRoom->triggers)
                    if (t.get() == line)
                        return false;
                return true;
            };
            ASSERT_TRUE(WalkUntil(on, spent, 1800))
                << "the line " << kind << " of room " << RoomOf() << " near " << on.x << ", "
                << on.y << " did nothing";
            Frames(2); // what it started is heard out here
        }
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
    Enemy* NearestNonCommander() const {
        Enemy* best = nullptr;
        for (Enemy* e : InRoom<Enemy>()) {
            if (e->IsDead() || dynamic_cast<Commander*>(e))
                continue;
            if (!best || LengthSq(e->GetPosition() - Blade().GetPosition()) <
                             LengthSq(best->GetPosition() - Blade().GetPosition()))
                best = e;
        }
        return best;
    }
    // Walks up to every character of the room that talks and talks to it.
    void TalkToCharacters() {
        for (DialogNPC* npc : InRoom<DialogNPC>()) {
            if (!npc->interactionOn)
                continue;
            const std::string name = std::to_string(npc->dialog);
            const auto said = [&] {
                return std::find(heard.begin(), heard.end(), name) != heard.end();
            };
            ASSERT_TRUE(WalkUntil(
                npc->GetPosition(), [&] { return npc->promptUp || said(); }, 1800))
                << "room " << RoomOf() << ": the character at " << npc->GetPosition().x << ", "
                << npc->GetPosition().y << " cannot be reached";
            if (!said() && !npc->IsAutomatic())
                Tap(QN_VK_E);
            RunUntil(said, 120);
            EXPECT_TRUE(said()) << "room " << RoomOf() << ": character " << name << " said nothing";
        }
    }
    // The Commander's hall: the duel, his last words from a step away, the
    // finishing slash.
    void DefeatCommander(Commander& boss) {
        ASSERT_TRUE(WearDown(boss, 60 * 240)) << "he still stands after four minutes";
        // A step away before he speaks, so the confirm button that holds
        // his words does not cut him.
        const size_t before = heard.size();
        hearConversations = false;
        ASSERT_TRUE(WalkTo(AwayFrom(boss), 240));
        hearConversations = true;
        ASSERT_TRUE(RunUntil([&] { return heard.size() > before; }, 240)) << "his last words";
        ASSERT_TRUE(WalkTo(Beside(boss), 600));
        FinishingSlash(boss);
        ASSERT_TRUE(boss.IsDead());
        Frames(30);
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
    std::printf("level %d: %zu rooms, %d fights, %zu conversations, %d top-ups, %d frames\n",
                level + 1, played.size(), fights, heard.size(), topUps, framesRun);
    for (const std::string& name : heard)
        std::printf("  heard %s\n", name.c_str());
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
