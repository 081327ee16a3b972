// InhabitantStandIns.h -- what the tests of a room's inhabitants share:
// pictures that are never drawn, Blade built from them, a level that records
// what its entities ask of it, and frames with scripted input.
#pragma once

#include "core/Tween.h"
#include "engine/QNGraphics.h"
#include "engine/QNInput.h"
#include "entities/CharacterWindow.h"
#include "entities/LevelServices.h"
#include "entities/NPC.h"
#include "entities/Player.h"
#include "game/Game.h"
#include "render/Animation2D.h"
#include "render/LightedAnimation2D.h"
#include "render/Resources.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace standins {

// Stand-ins: stepping never touches meshes or textures.
inline QNGfxMesh mesh{};
inline QNGfxTexture texture{};

inline constexpr float kFrame = 1.0f / 60.0f;

// A lit body of `strips` strips with the given frame counts.
inline LightedAnimation2D* Body(const std::vector<int>& frameCounts, float seconds = 0.1f) {
    std::vector<std::vector<float>> lists;
    for (int n : frameCounts)
        lists.push_back({static_cast<float>(n), seconds});
    const std::vector<FrameTable> tables = Resources::BuildFrameTables(lists);
    const std::vector<QNGfxTexture*> textures(tables.size(), &texture);
    return new LightedAnimation2D({&mesh}, textures, textures, tables, 96.0f, 96.0f);
}

inline NPC::Prompt Prompt() {
    NPC::Prompt prompt;
    prompt.box = new Sprite2D(&mesh, &texture, 32.0f, 32.0f, {1, 1, 1, 1});
    const std::vector<FrameTable> still = Resources::BuildFrameTables({{1, 0.0f}, {1, 0.0f}});
    prompt.glyph = new Animation2D({&mesh}, {&texture, &texture}, still, 16.0f, 16.0f);
    return prompt;
}

inline Player::Parts PlayerParts() {
    const std::vector<FrameTable> tables = Player::BodyFrameTables();
    const std::vector<QNGfxTexture*> textures(tables.size(), &texture);
    Player::Parts parts;
    parts.body = new LightedAnimation2D({&mesh}, textures, textures, tables, 96.0f, 96.0f);
    parts.ghost = new LightedAnimation2D(&mesh, &texture, &texture,
                                         Resources::BuildFrameTables({{8, 0.075f}})[0]);
    return parts;
}

// A window that remembers how it was asked to move.
class RecordingWindow : public CharacterWindow {
public:
    void Open() override {
        open = true;
        ++opened;
    }
    void Close() override {
        open = false;
        ++closed;
    }
    bool IsOpen() const override { return open; }
    void Update(float) override { ++updates; }
    void Draw() override {}
    bool open = false;
    int opened = 0, closed = 0, updates = 0;
};

// The level as the inhabitants see it.
class RecordingLevel : public LevelServices {
public:
    EntityList* RoomEntities(int32_t) override { return room; }
    Vec2 CursorInRoom(int32_t) const override { return {0.0f, 0.0f}; }
    LevelMap::WallHit Raycast(int32_t, Vec2, Vec2) const override { return {}; }
    bool DialogueRunning() const override { return talking; }
    void StartDialogue(int32_t number) override { started.push_back(number); }
    CharacterWindow* MakeWindow(const std::string& type, Vec2 size) override {
        windowTypes.push_back(type);
        windowSizes.push_back(size);
        lastWindow = new RecordingWindow();
        return lastWindow;
    }

    EntityList* room = nullptr;
    bool talking = false;
    std::vector<int32_t> started;
    std::vector<std::string> windowTypes;
    std::vector<Vec2> windowSizes;
    RecordingWindow* lastWindow = nullptr; // owned by the character that asked
};

// Scripted keys and pads, normal time, the recording level and tweens that
// start empty; everything put back afterwards.
class InhabitantTest : public ::testing::Test {
protected:
    void SetUp() override {
        QNInputReset();
        QNInputSetScripted(true);
        Game::Instance().gamePad.SetScripted(true);
        Game::Instance().gamePad.InjectNone();
        Game::Instance().timeScale = 1.0f;
        ClearTweens();
        level.room = &room;
        LevelServices::current = &level;
    }
    void TearDown() override {
        LevelServices::current = nullptr;
        ClearTweens();
        Game::Instance().timeScale = 1.0f;
        Game::Instance().gamePad.SetScripted(false);
        QNInputSetScripted(false);
    }
    // Blade in the room at `at` (his collider centre sits 8 units higher).
    Player* AddBlade(Vec2 at) {
        blade = std::make_unique<Player>(1, PlayerParts());
        blade->SetPosition(at);
        blade->Body()->Update(0.0f, nullptr); // fits the collider
        room.push_back(blade.get());
        return blade.get();
    }
    // One frame: input, tweens, then `step` (the frame's updates).
    template <class Step> void Frame(Step step) {
        QNInputUpdate();
        Game::Instance().gamePad.PollXInput(kFrame);
        UpdateTweens(kFrame, Game::Instance().timeScale);
        step();
    }
    // A key down for one frame, then up for one frame.
    template <class Step> void Tap(uint8_t key, Step step) {
        QNInputInjectKey(key, true);
        Frame(step);
        QNInputInjectKey(key, false);
        Frame(step);
    }

    RecordingLevel level;
    EntityList room;
    std::unique_ptr<Player> blade;
};

} // namespace standins
