// Rooms as they are played: a level loaded from its start room through its
// doors, what each room spawns, the doors the player may take, the hand-over
// between rooms, bodies and walls, torches, and the level scene's door
// transition, door music and exit. Small rooms are written by the tests.
#include "core/Circle2D.h"
#include "core/Tween.h"
#include "engine/QNGraphics.h"
#include "entities/BasicEnemy.h"
#include "entities/Gate.h"
#include "entities/Player.h"
#include "entities/ProjectilePool.h"
#include "entities/StaticEntity.h"
#include "game/Game.h"
#include "render/FadeTransition.h"
#include "render/LightedAnimation2D.h"
#include "render/ParticleSystem.h"
#include "scenes/LevelScene.h"
#include "world/Room.h"
#include "world/RoomObjects.h"

#include "support/TestSupport.h"

#include <deque>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using LevelMap::Door;
using LevelMap::Room;
using LevelMap::RoomTable;

namespace {

constexpr int kTile = 48;
constexpr float kStep = 1.0f / 60.0f;

// A living enemy stand-in: only its kind and health matter to rooms.
class Dummy : public Entity {
public:
    explicit Dummy(int32_t room) : Entity(room, KindEnemy) {}
    Vec2 GetPosition() const override { return at; }
    void SetPosition(float x, float y) override { at = {x, y}; }
    void SetPosition(const Vec2& p) override { at = p; }
    Vec2 GetScale() const override { return {1, 1}; }
    void SetScale(float, float) override {}
    void SetScale(const Vec2&) override {}
    float GetRotation() const override { return 0; }
    void SetRotation(float) override {}
    Collider2D* GetCollider() const override { return nullptr; }
    bool Update(float, GameObject*, EntityList*) override { return true; }
    void Draw(int) override {}
    Vec2 at{0, 0};
};

struct Opening {
    const char* side; // "left", "right", "top", "bottom"
    int at;           // first of the two cells cut through the wall
    int target;       // room behind the door; 0 is the way out
    std::string properties = "";
};

// A room of w x h cells: floor inside a one-cell wall, door gaps cut
// through it, the doors 4 units inside the edge, plus `groups` verbatim.
std::string RingRoom(int w, int h, const std::vector<Opening>& doors,
                     const std::string& groups = "") {
    std::vector<std::vector<int>> ids(static_cast<size_t>(h), std::vector<int>(w, 7));
    for (int r = 1; r < h - 1; ++r)
        for (int c = 1; c < w - 1; ++c)
            ids[r][c] = 5;
    std::ostringstream doorGroup;
    doorGroup << " <objectgroup name=\"Doors\">\n";
    for (const Opening& d : doors) {
        const std::string side = d.side;
        int x = 0, y = 0;
        std::string points = "0,0 0,-90";
        for (int k = 0; k < 2; ++k) {
            if (side == "left")
                ids[d.at + k][0] = 5;
            else if (side == "right")
                ids[d.at + k][w - 1] = 5;
            else if (side == "top")
                ids[0][d.at + k] = 5;
            else
                ids[h - 1][d.at + k] = 5;
        }
        if (side == "left" || side == "right") {
            x = side == "left" ? 4 : w * kTile - 4;
            y = (d.at + 2) * kTile - 3;
        } else {
            x = d.at * kTile + 3;
            y = side == "top" ? 4 : h * kTile - 4;
            points = "0,0 90,0";
        }
        doorGroup << "  <object name=\"" << d.target << "\" x=\"" << x << "\" y=\"" << y << "\">"
                  << d.properties << "<polyline points=\"" << points << "\"/></object>\n";
    }
    doorGroup << " </objectgroup>\n";
    std::ostringstream out;
    out << "<map width=\"" << w << "\" height=\"" << h << "\" tilewidth=\"48\" tileheight=\"48\">\n"
        << " <tileset firstgid=\"1\" source=\"core_terrain.tsx\"/>\n"
        << " <tileset firstgid=\"15\" source=\"core_sprites.tsx\"/>\n"
        << " <layer width=\"" << w << "\" height=\"" << h << "\"><data encoding=\"csv\">\n";
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c)
            out << ids[r][c] << (r == h - 1 && c == w - 1 ? "" : ",");
        out << "\n";
    }
    out << "</data></layer>\n" << doorGroup.str() << groups << "</map>\n";
    return out.str();
}

const std::string kPlayerAt =
    " <objectgroup name=\"Player\"><object x=\"150\" y=\"150\"/></objectgroup>\n";
const std::string kTorch =
    " <objectgroup name=\"Torches\"><object x=\"100\" y=\"8\" width=\"32\" height=\"32\">"
    "<properties><property name=\"Strength\" value=\"0.5\"/>"
    "<property name=\"Range\" value=\"1.5\"/></properties></object></objectgroup>\n";
// A pillar (sprite 4, 48 x 96, solid at its foot), a gate and a soldier.
const std::string kProps =
    " <objectgroup name=\"StaticObjects\">"
    "<object gid=\"19\" x=\"240\" y=\"240\"><properties>"
    "<property name=\"Collidable\" type=\"bool\" value=\"true\"/></properties></object>"
    "<object name=\"Gate\" x=\"96\" y=\"60\" width=\"96\" height=\"64\"><properties>"
    "<property name=\"Frames\" value=\"4\"/></properties></object></objectgroup>\n"
    " <objectgroup name=\"Enemies\"><object name=\"Enemy\" x=\"200\" y=\"200\"/></objectgroup>\n";

class LevelRoomsTest : public ::testing::Test {
protected:
    static constexpr int kWindowWidth = 640;
    static constexpr int kWindowHeight = 480;

    void SetUp() override {
        ASSERT_TRUE(window.ok) << "no OpenGL window";
        // The build's assets, but rooms of the tests' own.
        const fs::path assets = fs::path(scratch.Path()) / "assets";
        const fs::path built = fs::path(BuildDir()) / "assets";
        fs::remove(assets);
        fs::create_directories(assets / "rooms");
        for (const auto& entry : fs::directory_iterator(built)) {
            if (entry.path().filename() != "rooms")
                fs::create_symlink(entry.path(), assets / entry.path().filename());
        }
        for (const char* tileset : {"core_terrain.tsx", "core_sprites.tsx"})
            fs::create_symlink(built / "rooms" / tileset, assets / "rooms" / tileset);
        Game& game = Game::Instance();
        game.screenWidth = kWindowWidth / 2;
        game.screenHeight = kWindowHeight / 2;
        game.timeScale = 1.0f;
        FadeTransition::Instance().Refit(); // its quad belonged to an earlier context
        QNGfxSetRenderMode(2);
    }

    void TearDown() override {
        ClearTweens();
        Game& game = Game::Instance();
        game.timeScale = 1.0f;
        delete game.nextScene;
        game.nextScene = nullptr;
        for (auto& entry : game.textureCache)
            QNGfxTextureUnload(entry.second);
        game.textureCache.clear();
        for (auto& entry : game.meshCache)
            QNGfxMeshFree(entry.second);
        game.meshCache.clear();
    }

    void WriteRoom(int number, const std::string& text) const {
        std::ofstream(fs::path(scratch.Path()) / "assets/rooms" / (std::to_string(number) + ".tmx"))
            << text;
    }

    // 5 (door east) <-> 6 (doors west and north) <-> 7 (south, exit east);
    // Blade starts in room 5, or in room 7.
    void WriteLevel(const std::string& doorSixToSeven = "", bool startInSeven = false) const {
        WriteRoom(5, RingRoom(8, 6, {{"right", 2, 6}},
                              (startInSeven ? "" : kPlayerAt) + kTorch + kProps));
        WriteRoom(6, RingRoom(8, 6, {{"left", 2, 5}, {"top", 3, 7, doorSixToSeven}}));
        WriteRoom(
            7, RingRoom(8, 6, {{"bottom", 3, 6}, {"right", 2, 0}}, startInSeven ? kPlayerAt : ""));
    }

    static std::string LoadError(RoomTable<Room>& rooms, int start) {
        try {
            Room::LoadLevel(rooms, start);
        } catch (const std::exception& e) {
            return e.what();
        }
        return "";
    }

    GlWindow window{kWindowWidth, kWindowHeight};
    ScratchGameDir scratch;
};

TEST_F(LevelRoomsTest, TheStartRoomLoadsEveryRoomItsDoorsReachOnce) {
    WriteLevel();
    RoomTable<Room> rooms;
    Room* start = Room::LoadLevel(rooms, 5);
    ASSERT_EQ(rooms.size(), 3u);
    EXPECT_EQ(start, rooms.at(5).get());
    EXPECT_NE(start->player, nullptr);
    EXPECT_EQ(rooms.at(6)->player, nullptr);
    EXPECT_EQ(rooms.at(7)->player, nullptr);

    // Spawned: the player, the pillar, the gate and the soldier.
    ASSERT_EQ(start->entities.size(), 4u);
    EXPECT_EQ(start->entities[0], start->player);
    auto* pillar = dynamic_cast<StaticEntity*>(start->entities[1]);
    ASSERT_NE(pillar, nullptr);
    EXPECT_NE(pillar->GetCollider(), nullptr);
    EXPECT_EQ(pillar->GetScale(), (Vec2{48, 96}));
    auto* gate = dynamic_cast<Gate*>(start->entities[2]);
    ASSERT_NE(gate, nullptr);
    EXPECT_FALSE(gate->Animation()->playing) << "a gate rests shut";
    EXPECT_EQ(gate->GetPosition(), (Vec2{144, -80}));
    auto* soldier = dynamic_cast<BasicEnemy*>(start->entities[3]);
    ASSERT_NE(soldier, nullptr);
    EXPECT_EQ(soldier->GetPosition(), (Vec2{200, -200}));
    EXPECT_FALSE(soldier->attackDisabled);
    EXPECT_TRUE(start->HasLivingEnemy());
    ASSERT_EQ(start->torches.size(), 1u);

    // One mesh for all the room's tiles; the view starts above the player.
    ASSERT_EQ(start->meshes.size(), 1u);
    EXPECT_EQ(start->meshes[0]->vertexCount, 8u * 6u * 6u);
    EXPECT_EQ(start->camera.GetPosition(), (Vec2{150, -140}));

    // The rooms join up: each door has an entry line into its room.
    const Door* east = start->DoorTo(6);
    ASSERT_NE(east, nullptr);
    EXPECT_LT(east->entryLine.end.x, east->entryLine.start.x) << "the way in points west";
    EXPECT_EQ(rooms.at(7)->DoorTo(0)->target, 0);

    EXPECT_EQ(LoadError(rooms, 6), "Map6 has already been loaded");
}

TEST_F(LevelRoomsTest, BrokenLevelsReportTheRoomAndTheDoor) {
    struct Case {
        const char* what;
        std::string five, six;
        std::string error;
    } cases[] = {
        {"a door with no door back", RingRoom(8, 6, {{"right", 2, 6}}, kPlayerAt),
         RingRoom(8, 6, {}),
         "Map 5's door to 6 is invalid: room 6 (assets/rooms/6.tmx) has no door back to 5"},
        {"a door to a room that does not exist", RingRoom(8, 6, {{"right", 2, 9}}, kPlayerAt),
         RingRoom(8, 6, {}), "Map 9 is invalid: assets/rooms/9.tmx is missing"},
        {"a door walled in on both sides",
         RingRoom(8, 6, {},
                  " <objectgroup name=\"Doors\"><object name=\"6\" x=\"100\" "
                  "y=\"20\"><polyline points=\"0,0 90,0\"/></object></objectgroup>\n"),
         RingRoom(8, 6, {{"left", 2, 5}}),
         "Map 5's door to 6 is invalid: the door at (145, 20) in assets/rooms/5.tmx has floor on "
         "neither side (the tile layer is 8 x 6 cells)"},
    };
    for (const Case& c : cases) {
        WriteRoom(5, c.five);
        WriteRoom(6, c.six);
        RoomTable<Room> rooms;
        testing::internal::CaptureStderr();
        EXPECT_EQ(LoadError(rooms, 5), c.error) << c.what;
        testing::internal::GetCapturedStderr();
    }
}

TEST_F(LevelRoomsTest, DoorsOpenByTheirConditionAndNotInSlowMotionOrMidSlash) {
    struct Case {
        const char* condition;
        bool enemy;
        bool passable;
    } cases[] = {
        {"", false, true},          {"", true, true},          {"NoEnemy", false, true},
        {"NoEnemy", true, false},   {"HasEnemy", true, true},  {"HasEnemy", false, false},
        {"Disabled", false, false}, {"Disabled", true, false},
    };
    for (const Case& c : cases) {
        const std::string props =
            std::string("<properties><property name=\"EnterCondition\" value=\"") + c.condition +
            "\"/></properties>";
        WriteRoom(5, RingRoom(8, 6, {{"right", 2, 6, props}}, kPlayerAt));
        WriteRoom(6, RingRoom(8, 6, {{"left", 2, 5}}));
        RoomTable<Room> rooms;
        Room* room = Room::LoadLevel(rooms, 5);
        Player& blade = *room->player;
        if (c.enemy)
            room->entities.push_back(new Dummy(5));
        blade.SetPosition(8 * kTile - 20, -2 * kTile - 48); // against the door
        room->Update(kStep);
        Door* door = room->FindCrossedDoor(blade);
        EXPECT_EQ(door != nullptr, c.passable) << c.condition << " enemy " << c.enemy;
        if (door) {
            EXPECT_EQ(blade.Body()->animation, AnimRun) << "Blade walks through";
        }
    }
    // Slow motion and slashing keep Blade in the room.
    RoomTable<Room> rooms;
    WriteRoom(5, RingRoom(8, 6, {{"right", 2, 6}}, kPlayerAt));
    Room* room = Room::LoadLevel(rooms, 5);
    room->player->SetPosition(8 * kTile - 20, -2 * kTile - 48);
    room->Update(kStep);
    Game::Instance().timeScale = 0.5f;
    EXPECT_EQ(room->FindCrossedDoor(*room->player), nullptr);
    Game::Instance().timeScale = 1.0f;
    room->player->state = PlayerSlash;
    EXPECT_EQ(room->FindCrossedDoor(*room->player), nullptr);
    room->player->state = PlayerIdle;
    EXPECT_NE(room->FindCrossedDoor(*room->player), nullptr);
}

TEST_F(LevelRoomsTest, ThePlayerIsHandedToTheNextRoomAtItsDoorBack) {
    WriteLevel();
    RoomTable<Room> rooms;
    Room* five = Room::LoadLevel(rooms, 5);
    Room& six = *rooms.at(6);
    Player* blade = five->player;
    Door* back = five->MovePlayerTo(six);
    ASSERT_EQ(back, six.DoorTo(5));
    EXPECT_EQ(five->player, nullptr);
    EXPECT_EQ(six.player, blade);
    EXPECT_EQ(blade->roomId, 6);
    EXPECT_EQ(std::count(five->entities.begin(), five->entities.end(), blade), 0);
    EXPECT_EQ(six.entities.back(), blade);
    EXPECT_EQ(blade->GetPosition(), back->entryLine.start);
    EXPECT_EQ(blade->frozenPosition, back->entryLine.start);
    EXPECT_EQ(six.camera.current, back->entryLine.start);
    // Nothing to hand over a second time.
    EXPECT_EQ(five->MovePlayerTo(six), nullptr);
}

TEST_F(LevelRoomsTest, WallsAndScenerySpillThePlayerBackOnTheFloor) {
    WriteLevel();
    RoomTable<Room> rooms;
    Room* room = Room::LoadLevel(rooms, 5);
    Player& blade = *room->player;
    auto* pillar = room->entities[1];
    const Vec2 pillarAt = pillar->GetPosition();
    // Into the pillar's foot: Blade moves, the pillar does not.
    blade.SetPosition(pillarAt + Vec2{0.0f, 5.0f});
    room->Update(kStep);
    room->Update(kStep);
    EXPECT_EQ(pillar->GetPosition(), pillarAt);
    EXPECT_GT(Length(blade.GetPosition() - (pillarAt + Vec2{0.0f, 5.0f})), 1.0f);
    // Into the north wall: back below it.
    blade.SetPosition(300.0f, -50.0f);
    for (int i = 0; i < 3; ++i)
        room->Update(kStep);
    const Vec2 body = blade.GetCollider()->centre;
    EXPECT_LE(body.y + static_cast<const Circle2D*>(blade.GetCollider())->radius, -kTile + 0.5f);
}

TEST_F(LevelRoomsTest, TorchesFlickerAroundTheirStrengthAndRange) {
    LevelMap::RoomObject object;
    object.position = LevelMap::PlaceCorner(100, 200);
    object.size = {32, 64};
    object.properties = {{"Color.R", "1"},      {"Color.G", "0.5"},
                         {"Color.B", "0.25"},   {"Strength", "0.5"},
                         {"Range", "1.5"},      {"Frames", "3"},
                         {"FrameDelay", "0.2"}, {"TextureName", "../prop_torch.png"}};
    LevelMap::Torch torch("embers");
    torch.center = object.position;
    torch.ReadProperties(object);
    EXPECT_EQ(torch.center, (Vec2{116, -232}));
    EXPECT_EQ(torch.position, (Vec2{116, -197})) << "the light hangs above the flame";
    EXPECT_FLOAT_EQ(torch.color.g, 0.5f);
    ASSERT_NE(torch.picture, nullptr);
    EXPECT_EQ(torch.picture->GetScale(), (Vec2{32, 64}));

    Camera camera;
    float lowS = 1, highS = 0, lowR = 9, highR = 0;
    for (int i = 0; i < 2000; ++i) {
        torch.Update(0.01f, camera);
        lowS = std::min(lowS, torch.strength);
        highS = std::max(highS, torch.strength);
        lowR = std::min(lowR, torch.range);
        highR = std::max(highR, torch.range);
        EXPECT_LE(Length(torch.position - (torch.center + Vec2{0, 35})), 4.0f * 1.4143f);
        EXPECT_GE(torch.phase, 0.0f);
        EXPECT_LE(torch.phase, 6.283185f);
    }
    EXPECT_NEAR(lowS, 0.485f, 1e-3f);
    EXPECT_NEAR(highS, 0.515f, 1e-3f);
    EXPECT_NEAR(lowR, 1.45f, 1e-3f);
    EXPECT_NEAR(highR, 1.55f, 1e-3f);
    EXPECT_FALSE(torch.embers->particles.empty());
    torch.ClearParticles();
    EXPECT_TRUE(torch.embers->particles.empty());
}

// The level scene on its own: frames are stepped by hand (tweens, update,
// both draw passes) as the game loop would.
class LevelSceneTest : public LevelRoomsTest {
protected:
    void StartLevel(int firstRoom) {
        Game& game = Game::Instance();
        game.levels.loaded = true;
        game.levels.endless = false;
        game.levels.firstRooms = {firstRoom, firstRoom};
        game.levels.music = {"01.Level1Music.ogg", "02.Level2Music.ogg"};
        game.levels.currentLevel = 0;
        game.levels.savePath = scratch.Path() + "/save.xml";
        scene = std::make_unique<LevelScene>();
        scene->Load();
        scene->Init();
    }
    void TearDown() override {
        if (scene)
            scene->Unload();
        scene.reset();
        LevelRoomsTest::TearDown();
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) {
            UpdateTweens(kStep, Game::Instance().timeScale);
            scene->Update(kStep);
            QNGfxSetRenderMode(2);
            scene->Draw(0);
            scene->Draw(1);
        }
    }
    // Puts Blade against the door of the current room that leads to `target`;
    // the door is taken in the frame after the next (the body follows first).
    void StandInDoor(int target) {
        const Door* door = scene->currentRoom->DoorTo(target);
        const Vec2 in = Normalized(door->entryLine.end - door->entryLine.start);
        scene->player->SetPosition(door->entryLine.start + in * 16.0f - Vec2{0.0f, 8.0f});
    }
    std::unique_ptr<LevelScene> scene;
};

TEST_F(LevelSceneTest, ADoorWalksBladeOutRevealsTheNextRoomAndWalksHimIn) {
    WriteLevel();
    StartLevel(5);
    ASSERT_EQ(scene->currentRoom->id, 5);
    EXPECT_EQ(LevelServices::current, scene.get());
    Frames(2);
    StandInDoor(6);
    Frames(2);
    ASSERT_NE(scene->nextRoom, nullptr);
    EXPECT_EQ(scene->nextRoom->id, 6);
    EXPECT_TRUE(scene->player->frozen);
    EXPECT_EQ(scene->currentRoom->camera.mode, 0);
    EXPECT_EQ(scene->nextRoom->camera.mode, 0);
    const Vec2 outside = scene->player->frozenPosition;

    // 0.8 s walking out and fading away, then the hand-over.
    int frames = 0;
    while (scene->player->roomId == 5 && frames < 100) {
        EXPECT_LE(scene->player->frozenTint[3], 1.0f - frames / 48.0f + 0.05f);
        if (frames == 40) { // out through the door, 45 units in 0.8 s
            EXPECT_NEAR(scene->player->frozenPosition.x, outside.x + 37.5f, 1.0f);
        }
        Frames(1);
        ++frames;
    }
    EXPECT_NEAR(frames, 48, 2);
    const Vec2 entry = scene->rooms.at(6)->DoorTo(5)->entryLine.start;
    EXPECT_NEAR(scene->player->GetPosition().x, entry.x, 2.0f);
    EXPECT_NEAR(scene->player->GetPosition().y, entry.y, 2.0f);
    Frames(2);
    EXPECT_GT(scene->revealRadius, 0.0f);
    EXPECT_LT(scene->revealRadius, 0.1f);
    Frames(50);
    EXPECT_EQ(scene->nextRoom, nullptr);
    EXPECT_EQ(scene->currentRoom->id, 6);
    EXPECT_FALSE(scene->player->frozen);
    EXPECT_EQ(scene->currentRoom->camera.mode, 1);
    EXPECT_EQ(scene->rooms.at(5)->camera.mode, 1);
    const Door* in = scene->currentRoom->DoorTo(5);
    EXPECT_NEAR(scene->player->GetPosition().x, in->entryLine.end.x, 0.5f);
    EXPECT_FLOAT_EQ(scene->player->frozenTint[3], 1.0f);

    // The cursor in room coordinates follows that room's view.
    const Vec2 screen = Game::Instance().CursorToScreen();
    const Vec2 view = scene->currentRoom->camera.GetPosition();
    EXPECT_EQ(scene->CursorInRoom(6), screen + view);
    EXPECT_EQ(scene->CursorInRoom(42), screen);
}

TEST_F(LevelSceneTest, NoDoorIsTakenByTheDeadOrInTheMiddleOfAnotherOne) {
    WriteLevel();
    StartLevel(5);
    Frames(2);
    scene->player->health = 0.0f;
    StandInDoor(6);
    Frames(2);
    EXPECT_EQ(scene->nextRoom, nullptr);
    scene->player->health = 1.0f;
    Frames(1);
    ASSERT_NE(scene->nextRoom, nullptr);
    Room* entering = scene->nextRoom;
    Frames(10);
    EXPECT_EQ(scene->nextRoom, entering);
}

TEST_F(LevelSceneTest, EnteringThroughADoorWithMusicChangesTheTrackOnce) {
    WriteLevel("<properties><property name=\"Audio\" value=\"06.CommanderMusic.ogg\"/>"
               "<property name=\"EnterDialog\" value=\"4\"/>"
               "<property name=\"EnterDialogTrigger\" value=\"OneShot\"/></properties>",
               true);
    StartLevel(7);
    Frames(2);
    StandInDoor(6);
    Frames(110);
    ASSERT_EQ(scene->currentRoom->id, 6);
    Door* fromSeven = scene->currentRoom->DoorTo(7);
    EXPECT_EQ(fromSeven->audioState, 0) << "the door's music started";
    EXPECT_EQ(fromSeven->enterDialogTrigger, LevelMap::DialogUsed) << "a one-shot is spent";
    Frames(40);
    EXPECT_FLOAT_EQ(scene->music.volume, LevelScene::kMusicVolume) << "the new track plays";
}

TEST_F(LevelSceneTest, TheExitFadesOutAndStartsTheNextLevel) {
    WriteLevel("", true);
    StartLevel(7);
    Frames(2);
    StandInDoor(0);
    Frames(2);
    EXPECT_TRUE(scene->leaving);
    EXPECT_EQ(scene->nextRoom, nullptr);
    Frames(31);
    Game& game = Game::Instance();
    EXPECT_GT(FadeTransition::Instance().color[3], 1.0f);
    ASSERT_NE(game.nextScene, nullptr);
    EXPECT_NE(dynamic_cast<LevelScene*>(game.nextScene), nullptr);
    EXPECT_EQ(game.levels.currentLevel, 1);
    EXPECT_TRUE(fs::exists(game.levels.savePath));
}

TEST_F(LevelSceneTest, EnemiesGetFloorPathsAndBladeFromTheLevelAndItsShotsGoWithIt) {
    WriteLevel();
    StartLevel(5);
    EXPECT_EQ(scene->LevelPlayer(), scene->player);
    EXPECT_TRUE(scene->IsWalkable(5, {100.0f, -100.0f}));
    EXPECT_FALSE(scene->IsWalkable(5, {10.0f, -100.0f})) << "the west wall";
    EXPECT_FALSE(scene->IsWalkable(42, {100.0f, -100.0f})) << "no such room";

    // A path replaces whatever the list held and ends at the goal.
    std::deque<Vec2> path{{-5000.0f, -5000.0f}};
    scene->FindPath(5, path, nullptr, {72.0f, -72.0f}, {312.0f, -216.0f});
    ASSERT_FALSE(path.empty());
    for (const Vec2& p : path)
        EXPECT_TRUE(scene->IsWalkable(5, p));
    EXPECT_EQ(path.back(), (Vec2{312.0f, -216.0f}));
    scene->FindPath(42, path, nullptr, {72.0f, -72.0f}, {312.0f, -216.0f});
    EXPECT_TRUE(path.empty());

    // A body half in the west wall is pushed out east.
    Circle2D body(0.18f);
    body.UpdateTransform({50.0f, -150.0f}, 0.0f, {96.0f, 96.0f});
    const LevelMap::WallHit push = scene->ResolveWalls(5, body);
    EXPECT_TRUE(push.hit);
    EXPECT_GT(push.point.x, 0.0f);

    // The soldier of room 5 fires at Blade; unloading the level deletes the
    // shots still in the room with the pool.
    Frames(150);
    EXPECT_GT(ProjectilePool::TotalCount(), 0u);
    scene->Unload();
    scene.reset();
    EXPECT_EQ(ProjectilePool::TotalCount(), 0u);
}

TEST_F(LevelSceneTest, AStartRoomWithoutPlayerCannotBePlayed) {
    WriteRoom(8, RingRoom(6, 5, {}));
    testing::internal::CaptureStderr();
    EXPECT_THROW(
        {
            try {
                StartLevel(8);
            } catch (const std::runtime_error& e) {
                EXPECT_STREQ(e.what(), "Map 8 is invalid: assets/rooms/8.tmx, the level's first "
                                       "room, has no player start");
                throw;
            }
        },
        std::runtime_error);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("no player start"), std::string::npos);
}

} // namespace
