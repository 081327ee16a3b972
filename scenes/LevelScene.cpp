// LevelScene -- running a level: rooms, doors, the reveal, the exit.
#include "scenes/LevelScene.h"

#include "audio/Audio.h"
#include "core/Runtime.h"
#include "core/SceneRequest.h"
#include "core/Tween.h"
#include "engine/QNGraphics.h"
#include "engine/QNInput.h"
#include "engine/QNKeys.h"
#include "engine/QNSystem.h"
#include "entities/BottlePool.h"
#include "entities/Player.h"
#include "entities/ProjectilePool.h"
#include "render/FadeTransition.h"
#include "render/Particle.h"
#include "render/PostProcessor.h"
#include "render/Resources.h"
#include "render/Sprite2D.h"
#include "render/UIZoom.h"
#include "scenes/MainMenu.h"
#include "ui/ControlsPage.h"
#include "ui/Dialog.h"
#include "ui/InfoWindow.h"
#include "world/EndlessRun.h"
#include "world/LevelCatalogue.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

using LevelMap::Door;
using LevelMap::Room;

namespace {
constexpr float kCursorSize = 24.0f;
constexpr RenderColor kWhite{1.0f, 1.0f, 1.0f, 1.0f};
constexpr RenderColor kAmbient{1.0f, 1.0f, 1.0f, 0.25f}; // a quarter of the unlit image
} // namespace

LevelScene::LevelScene() = default;

LevelScene::~LevelScene() {
    if (LevelServices::current == this)
        LevelServices::current = nullptr;
}

void LevelScene::Load() {
    Scene::Load();
    // Targets are drawn with the view centred on the screen middle.
    QNGfxSetCamPosition(static_cast<float>(Runtime::Get().screenWidth) * 0.5f,
                        static_cast<float>(Runtime::Get().screenHeight) * 0.5f);
    cursor = std::make_unique<Sprite2D>(Resources::GetQuadMesh(1),
                                        Resources::GetTexture("cursor.png", true), kCursorSize,
                                        kCursorSize, kWhite);
    hud = std::make_unique<PlayerHUD>();
    pauseWindow = std::make_unique<PauseWindow>();
    deathWindow = std::make_unique<DeathWindow>([this] { retryAsked = true; });
    notices = std::make_unique<NoticeBoard>();
    dialogues = std::make_unique<ChatController>();
    QNInputShowCursor(false); // the scene draws its own pointer
    FadeIn();
    LevelServices::current = this;
}

void LevelScene::Init() {
    const int32_t start = LevelCatalogue::Story().StartRoom();
    currentRoom = Room::LoadLevel(rooms, start);
    player = currentRoom->player;
    if (!player) {
        const std::string why = currentRoom->file + ", the level's first room, has no player start";
        std::fprintf(stderr, "Map %d: %s\n", start, why.c_str());
        throw std::runtime_error("Map " + std::to_string(start) + " is invalid: " + why);
    }
    RememberEntry(0);
    LoadDialogues();
    StartMusic(LevelCatalogue::Story().CurrentMusic());
    if (LevelCatalogue::Story().endless)
        hud->ShowDepth(EndlessRun::Current().depth);
}

void LevelScene::LoadDialogues() {
    for (const auto& entry : rooms) {
        for (int32_t number : entry.second->dialogs)
            dialogues->Load(std::to_string(number));
    }
}

void LevelScene::StartMusic(const std::string& file) {
    music = Audio::GetSound(file, true);
    music.SetLoop();
    music.SetVolume(kMusicVolume);
    music.Play();
}

void LevelScene::UpdateCursor(float dt) {
    const Vec2 pointer = Runtime::Get().CursorToUI();
    // The image's top-left corner sits on the pointer.
    cursor->SetPosition(pointer.x + kCursorSize / 2.0f, pointer.y - kCursorSize / 2.0f);
    cursor->Update(dt, nullptr);
    cursor->tint[3] = (Runtime::Get().gamePad.deviceKind == PadNone || paused) ? 1.0f : 0.0f;
}

void LevelScene::Update(float dt) {
    UpdateCursor(dt);
    if (gQNSysAppActive == 0)
        PauseForFocusLoss();
    // The pause opens at normal speed: in slow motion it gives time back
    // first. Once Blade has died the death window is the only one.
    bool pausing = false;
    // An open character window is closed by the pause key first.
    if (Runtime::Get().Triggered(Action::Pause) && !ControlsCapturing() &&
        !deathWindow->Showing() && (paused || !InfoWindow::CloseAllOpen())) {
        if (player && !(Runtime::Get().timeScale > 0.99f))
            player->ReturnToNormalTime();
        pauseWindow->PauseKey(paused);
        pausing = paused;
    }
    pauseWindow->Update(dt);
    deathWindow->Update(dt);
    notices->Update(dt);
    // Once per death: a second press while the window closes brings
    // nothing back twice.
    if (retryAsked) {
        retryAsked = false;
        if (deathShown)
            TryAgain();
    }
    // Play stops in the frame the pause is asked for and stays paused until
    // the window has started closing ("Resume " only closes it), and while
    // the game window is in the background.
    paused = pausing || pauseWindow->Showing() || gQNSysAppActive == 0;
    if (paused)
        return;

    WatchRoomFile(dt);
    dialogues->Update(dt);
    if (player && !player->frozen && !player->IsDead() && !nextRoom && !leaving) {
        if (Door* door = currentRoom->FindCrossedDoor(*player)) {
            if (door->target == 0)
                EndLevel();
            else
                EnterDoor(*door);
        }
    }
    // During a transition both rooms play on.
    currentRoom->Update(dt);
    if (nextRoom)
        nextRoom->Update(dt);

    hud->Update(dt);
    postProcessor->sampleX += 0.004f;
    if (postProcessor->sampleX > 1.0f)
        postProcessor->sampleX -= 1.0f;
    // Slow motion makes the picture waver; a hurried conversation does not.
    postProcessor->strength = std::max(0.0f, 1.0f - Runtime::Get().timeScale) * 0.0075f;
    if (!deathShown && player && player->state == PlayerDead) {
        deathWindow->Show();
        deathShown = true;
    }
    music.Update(dt);
}

void LevelScene::PauseForFocusLoss() {
    // The game never plays on unseen: a window in the background pauses,
    // even in slow motion, which ends so that the menu opens at its pace.
    if (paused || pauseWindow->Showing() || deathWindow->Showing() || leaving)
        return;
    if (player)
        player->ReturnToNormalTime();
    paused = true;
    pauseWindow->Show();
}

void LevelScene::EnterDoor(Door& door) {
    nextRoom = FindRoom(door.target);
    if (!nextRoom || !player)
        return;
    revealRadius = 0.0f;
    player->frozen = true;
    player->OnRoomExit();
    player->frozenPosition = player->GetPosition();
    currentRoom->camera.mode = 0;
    nextRoom->camera.mode = 0;
    const float invisible[4] = {1.0f, 1.0f, 1.0f, 0.0f};
    AddColorTween(player->frozenTint.data(), invisible, 0, nullptr, kWalkSeconds);
    for (Entity* e : currentRoom->entities)
        e->OnRoomExit();
    for (auto& torch : currentRoom->torches)
        torch->ClearParticles();
    // The player walks out through the door, the way the door's entry line
    // would have brought it in.
    const Vec2 out = player->frozenPosition - (door.entryLine.end - door.entryLine.start);
    AddVec2Tween(
        &player->frozenPosition.x, out.x, out.y, 0, [this, &door] { WalkEnd(&door); },
        kWalkSeconds);
}

void LevelScene::WalkEnd(Door* crossed) {
    Door* entered = currentRoom->MovePlayerTo(*nextRoom);
    if (!entered) {
        // Nowhere to come in: Blade steps back into the room it left.
        player->frozenPosition = crossed->entryLine.end;
        FinishTransition(nullptr);
        return;
    }
    revealOrigin = {0.5f, 0.5f};
    revealRadius = 0.0f;
    AddFloatTween(
        &revealRadius, 1.0f, 0, [this, entered] { FinishTransition(entered); }, kWalkSeconds);
    const float visible[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    AddColorTween(player->frozenTint.data(), visible, 0, nullptr, kWalkSeconds);
    AddVec2Tween(&player->frozenPosition.x, entered->entryLine.end.x, entered->entryLine.end.y, 0,
                 nullptr, kWalkSeconds);
    if (!entered->audio.empty() && entered->audioState == 3) {
        entered->audioState = 0;
        const std::string track = entered->audio;
        AddFloatTween(
            &music.volume, 0.0f, 1,
            [this, track] {
                music.channel.Stop();
                StartMusic(track);
            },
            kMusicFadeSeconds);
    }
}

void LevelScene::FinishTransition(Door* entered) {
    currentRoom->camera.mode = 1;
    if (nextRoom)
        nextRoom->camera.mode = 1;
    player->frozen = false;
    player->frozenTint = {1.0f, 1.0f, 1.0f, 1.0f};
    if (!entered) {
        player->SetPosition(player->frozenPosition);
        nextRoom = nullptr;
        return;
    }
    currentRoom = nextRoom;
    nextRoom = nullptr;
    RememberEntry(entered->target);
    // The conversation of the door the player came in by.
    switch (entered->enterDialogTrigger) {
    case LevelMap::DialogAlways:
        StartDialogue(entered->enterDialog);
        break;
    case LevelMap::DialogWhileEnemy:
        if (currentRoom->HasLivingEnemy())
            StartDialogue(entered->enterDialog);
        break;
    case LevelMap::DialogOnce:
        entered->enterDialogTrigger = LevelMap::DialogUsed;
        StartDialogue(entered->enterDialog);
        break;
    default:
        break;
    }
}

void LevelScene::StartDialogue(int32_t number) {
    if (!dialogues)
        return;
    heard.insert(number);
    dialogues->Start(std::to_string(number));
}

void LevelScene::RememberEntry(int32_t cameFrom) {
    entry.room = currentRoom->id;
    entry.cameFrom = cameFrom;
    entry.at = player->GetPosition();
    entry.health = player->health;
    entry.special = player->special;
}

void LevelScene::CancelTransition() {
    RemoveFloatTweens(&revealRadius);
    revealRadius = 0.0f;
    currentRoom->camera.mode = 1;
    if (nextRoom)
        nextRoom->camera.mode = 1;
    nextRoom = nullptr;
}

void LevelScene::TryAgain() {
    Room* holder = player ? FindRoom(player->roomId) : nullptr;
    Room* tried = FindRoom(entry.room);
    if (!holder || !tried)
        return;
    CancelTransition();
    // The fallen Blade goes; a new one takes his place.
    const std::unique_ptr<Player> fallen(player);
    RemoveVec2Tweens(&fallen->frozenPosition.x);
    RemoveColorTweens(fallen->frozenTint.data());
    fallen->ReturnToNormalTime();
    auto& held = holder->entities;
    held.erase(std::remove(held.begin(), held.end(), fallen.get()), held.end());
    holder->player = nullptr;

    // A room he has cleared stays cleared, even when he falls in it
    // afterwards; any other comes back as it was before he first came in.
    std::unique_ptr<Room> fresh = tried->HasLivingEnemy() ? tried->Afresh(heard) : nullptr;
    Room& room = fresh ? *fresh : *tried;
    Player* blade = room.player;
    if (!blade) {
        blade = new Player(entry.room);
        room.entities.push_back(blade);
        room.player = blade;
    }
    const Door* door = entry.cameFrom != 0 ? room.DoorTo(entry.cameFrom) : nullptr;
    const Vec2 at = door ? door->entryLine.end : entry.at;
    blade->SetPosition(at);
    blade->frozenPosition = at;
    blade->health = entry.health;
    blade->special = entry.special;
    room.PlaceCameraAt(at);
    if (fresh) {
        tried->ReleaseProjectiles();
        // The tried room and everything in it go with the old copy.
        rooms[entry.room] = std::move(fresh);
    }
    currentRoom = FindRoom(entry.room);
    player = blade;
    for (auto& other : rooms)
        other.second->ReplacePlayer(fallen.get(), blade);
    blade->PushHealth();
    blade->PushSpecial();
    deathShown = false;
    ++tries;
    // The room comes back out of black.
    FadeTransition::Instance().color[3] = 1.0f;
    FadeIn();
}

bool LevelScene::DialogueRunning() const {
    return dialogues && dialogues->Running();
}

CharacterWindow* LevelScene::MakeWindow(const std::string& type, Vec2 size) {
    return new InfoWindow(type, size, postProcessor);
}

void LevelScene::EndLevel() {
    leaving = true;
    AddFloatTween(
        &FadeTransition::Instance().color[3], 1.2f, 1,
        [] {
            LevelCatalogue& levels = LevelCatalogue::Story();
            if (levels.endless) {
                // A fresh set of rooms, one level deeper; when they cannot
                // be written the run ends in the menu.
                std::string error;
                if (EndlessRun::Current().Advance(error)) {
                    RequestScene(SceneId::Level);
                } else {
                    levels.endless = false;
                    RequestScene(SceneId::MainMenu);
                }
            } else if (levels.AdvanceToNextLevel()) {
                RequestScene(SceneId::Level);
            } else {
                // The story is over: back to the main menu.
                RequestScene(SceneId::MainMenu);
            }
        },
        0.5f);
}

void LevelScene::Draw(int pass) {
    PostProcessor& pp = *postProcessor;
    if (pass == 0) {
        pp.Begin();
        pp.ClearDiffuse(1);
        currentRoom->Draw(0);
        if (nextRoom) {
            pp.ClearDiffuse(3);
            nextRoom->Draw(0);
        }
        return;
    }
    pp.ClearNormals(2);
    currentRoom->Draw(1);
    if (nextRoom) {
        pp.ClearNormals(4);
        nextRoom->Draw(1);
    }

    // The unlit overlay: entities' overlays, then the pointer and the fade.
    pp.ClearOverlay();
    QNGfxSetRenderMode(QN_RENDER_TEXTURE);
    currentRoom->DrawOverlays();
    if (nextRoom)
        nextRoom->DrawOverlays();
    QNGfxSetRenderMode(QN_RENDER_TEXTURE);
    {
        const UIZoom ui;
        dialogues->Draw(postProcessor);
        QNGfxSetRenderMode(QN_RENDER_TEXTURE);
        hud->Draw();
        hud->DrawText(postProcessor);
        pauseWindow->Draw(postProcessor);
        deathWindow->Draw(postProcessor);
        notices->Draw(postProcessor);
        cursor->Draw();
    }
    FadeTransition::Instance().Draw();
    QNGfxSetRenderMode(QN_RENDER_TEXTURE);

    pp.BeginLighting(5, 1, 2);
    currentRoom->DrawLights(pp);
    pp.Composite(5, 1, kAmbient);
    // The lit room stays in the light sum unless the reveal needs the sum
    // for the next room.
    int lit = 5;
    if (nextRoom) {
        pp.SelectAttachment(6);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        pp.Composite(6, 5, kWhite);
        pp.BeginLighting(5, 3, 4);
        nextRoom->DrawLights(pp);
        pp.Composite(5, 3, kAmbient);
        pp.Radial(revealOrigin, revealRadius);
        lit = 6;
    }
    pp.FinishLitFrame(lit);
}

void LevelScene::Unload() {
    if (LevelServices::current == this)
        LevelServices::current = nullptr;
    nextRoom = nullptr;
    currentRoom = nullptr;
    player = nullptr;
    rooms.clear();
    // Shots still in flight were in the rooms' lists; the pool owns them.
    ProjectilePool::Clear();
    cursor.reset();
    hud.reset();
    pauseWindow.reset();
    deathWindow.reset();
    notices.reset();
    // The conversations give their lines back before the pools empty.
    dialogues.reset();
    DialogPool::Clear();
    BottlePool::Clear();
    ParticlePoolClear();
    Scene::Unload();
    QNInputShowCursor(true);
}

void LevelScene::ShowHealth(float health) {
    if (hud)
        hud->ShowHealth(health);
}

void LevelScene::ShowSpecial(float special) {
    if (hud)
        hud->ShowSpecial(special);
}

void LevelScene::ShowDashCost(bool aiming) {
    if (hud)
        hud->ShowDashCost(aiming);
}

void LevelScene::ShakeView(int32_t roomId, float trauma) {
    if (LevelMap::Room* room = FindRoom(roomId))
        room->camera.AddTrauma(trauma);
}

LevelMap::Room* LevelScene::FindRoom(int32_t roomNumber) const {
    const auto found = rooms.find(roomNumber);
    return found == rooms.end() ? nullptr : found->second.get();
}

EntityList* LevelScene::RoomEntities(int32_t roomId) {
    Room* room = FindRoom(roomId);
    return room ? &room->entities : nullptr;
}

Vec2 LevelScene::CursorInRoom(int32_t roomId) const {
    const Vec2 screen = Runtime::Get().CursorToScreen();
    const Room* room = FindRoom(roomId);
    return room ? screen + room->camera.GetPosition() : screen;
}

LevelMap::WallHit LevelScene::Raycast(int32_t roomId, Vec2 a, Vec2 b) const {
    const Room* room = FindRoom(roomId);
    if (!room)
        return {b, false};
    return room->RoomPathing::Raycast(a, b);
}

bool LevelScene::IsWalkable(int32_t roomId, Vec2 point) const {
    const Room* room = FindRoom(roomId);
    return room && room->IsWalkable(point);
}

LevelMap::WallHit LevelScene::ResolveWalls(int32_t roomId, const Circle2D& body) const {
    const Room* room = FindRoom(roomId);
    return room ? room->ResolveWalls(body) : LevelMap::WallHit{};
}

void LevelScene::FindPath(int32_t roomId, std::deque<Vec2>& path, const Collider2D* mover,
                          Vec2 start, Vec2 goal) {
    // The room's search adds to what it is given: the old path goes first.
    path.clear();
    if (Room* room = FindRoom(roomId))
        room->FindPath(path, mover, start, goal);
}
