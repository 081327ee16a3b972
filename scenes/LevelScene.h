// LevelScene.h -- the gameplay screen: every room of the level, the room the
// player is in, door transitions that walk the player out, reveal the next
// room through a growing circle and walk the player in, the exit door that
// ends the level, pause, the dialogue box with every conversation the rooms
// name, and the level's music.
//
// While it runs it is the level entities see (LevelServices::current).
#pragma once

#include "audio/Sound.h"
#include "entities/LevelServices.h"
#include "scenes/Scene.h"
#include "ui/ChatController.h"
#include "ui/DeathWindow.h"
#include "ui/NoticeBoard.h"
#include "ui/PauseWindow.h"
#include "ui/PlayerHUD.h"
#include "world/Room.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <set>

class Player;
class Sprite2D;

class LevelScene : public Scene, public LevelServices {
public:
    LevelScene();
    ~LevelScene() override;

    // The post-processor, the pointer image, the fade-in.
    void Load() override;
    // Loads the level from its start room and starts its music.
    void Init() override;
    void Update(float dt) override;
    // Pass 0: diffuse images. Pass 1: normal images, the overlay, the lights,
    // the reveal, the distortion and the present.
    void Draw(int pass) override;
    void Free() override {}
    // Deletes the rooms and everything in them, and empties the shared pools.
    void Unload() override;
    Sound* Music() override { return &music; }

    EntityList* RoomEntities(int32_t roomId) override;
    Vec2 CursorInRoom(int32_t roomId) const override;
    LevelMap::WallHit Raycast(int32_t roomId, Vec2 a, Vec2 b) const override;
    // Nothing is floor in a room that is not loaded.
    bool IsWalkable(int32_t roomId, Vec2 point) const override;
    LevelMap::WallHit ResolveWalls(int32_t roomId, const Circle2D& body) const override;
    void FindPath(int32_t roomId, std::deque<Vec2>& path, const Collider2D* mover, Vec2 start,
                  Vec2 goal) override;
    Player* LevelPlayer() override { return player; }
    void ShowHealth(float health) override;
    void ShowSpecial(float special) override;
    void ShakeView(int32_t roomId, float trauma) override;
    void ShowDashCost(bool aiming) override;
    bool DialogueRunning() const override;
    // Plays conversation `number` in the dialogue box (nothing for a number
    // no room named).
    void StartDialogue(int32_t number) override;
    CharacterWindow* MakeWindow(const std::string& type, Vec2 size) override;

    // Starts the walk through `door` into its target room.
    void EnterDoor(LevelMap::Door& door);
    // Another try after Blade has died: he stands again at the door he came
    // into the room by (the level's start in the first room), with the
    // health and special he had then; the room is as it was before he first
    // came in (unless he had cleared it), every other room stays as he left
    // it, and conversations he has heard do not start again by themselves.
    void TryAgain();
    // The room with this number, or null.
    LevelMap::Room* FindRoom(int32_t roomNumber) const;
    // Reads the room Blade is in again from its file (an author has saved
    // it) and puts him at the door he came in by, as he is. False, keeping
    // the room as it was, when the file cannot be played; `problem` says why.
    bool ReloadRoom(std::string& problem);

    Player* player = nullptr;      // owned by the room that holds it
    Vec2 revealOrigin{0.5f, 0.5f}; // screen units 0..1
    float revealRadius = 0.0f;     // 0..1 while a door transition reveals
    LevelMap::Room* currentRoom = nullptr;
    LevelMap::Room* nextRoom = nullptr; // the room being entered, or null
    LevelMap::RoomTable<LevelMap::Room> rooms;
    std::unique_ptr<Sprite2D> cursor; // "cursor.png", 24 x 24
    // The player's bars and the two in-game windows, built by Load.
    std::unique_ptr<PlayerHUD> hud;
    std::unique_ptr<PauseWindow> pauseWindow;
    std::unique_ptr<DeathWindow> deathWindow;
    std::unique_ptr<NoticeBoard> notices; // what went wrong with the player's files
    // The dialogue box and the level's conversations, built by Load; Init
    // loads every conversation the rooms name.
    std::unique_ptr<ChatController> dialogues;
    bool deathShown = false;
    bool paused = false;
    bool leaving = false;    // the exit door was taken: the fade-out runs
    bool retryAsked = false; // "Try again" was chosen: the next frame retries
    Sound music;

    // Where the present try at a room began: the room, the room behind the
    // door he came in by (0: the level's start), where he then stood and
    // what he had.
    struct RoomEntry {
        int32_t room = 0;
        int32_t cameFrom = 0;
        Vec2 at{0.0f, 0.0f};
        float health = 1.0f;
        float special = 1.0f;
    };
    RoomEntry entry;
    std::set<int32_t> heard; // conversations started in this level
    int32_t tries = 0;       // times "Try again" put Blade back

    // Door transition timings, seconds.
    static constexpr float kWalkSeconds = 0.8f;
    static constexpr float kMusicFadeSeconds = 1.0f;
    static constexpr float kMusicVolume = 0.6f;

private:
    // While a level pack is played, the room Blade is in is read again
    // whenever its file changes (checked twice a second).
    void WatchRoomFile(float dt);
    struct RoomFileWatch {
        int32_t room = 0;
        std::filesystem::file_time_type changed{};
        float sinceCheck = 0.0f;
    };
    RoomFileWatch watch;
    void WalkEnd(LevelMap::Door* crossed);
    void RememberEntry(int32_t cameFrom);
    // Stops a walk through a door half-way: no room is being entered.
    void CancelTransition();
    void FinishTransition(LevelMap::Door* entered);
    void EndLevel();
    void LoadDialogues();
    void StartMusic(const std::string& file);
    void UpdateCursor(float dt);
    // Opens the pause window when the game window lost the focus.
    void PauseForFocusLoss();
};
