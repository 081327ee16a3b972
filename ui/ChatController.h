// ChatController.h -- the dialogue box: the store of the level's
// conversations and the one that is playing. The speakers' portraits slide
// into the bottom corners; each line comes in beside its speaker, is pushed
// up by the next one and leaves. Holding the confirm input (the pad's A or
// the left mouse button) moves the conversation along; held for more than a
// second it also speeds the game up, the advance sound's pitch with it. The
// keyboard does not advance conversations.
//
// Coordinates are UI units (origin at the screen centre, y up; drawn under a
// UIZoom).
#pragma once

#include "audio/Sound.h"
#include "core/Vec2.h"
#include "ui/Chat.h"
#include "ui/Portrait.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class Dialog;
class PostProcessor;

class ChatController {
public:
    static constexpr float kFastForwardAfter = 1.0f; // seconds of holding
    static constexpr float kFastScale = 2.5f;        // time scale held towards
    static constexpr float kLineStep = 50.0f;        // how far a line moves up, UI units

    ChatController();
    ~ChatController();
    ChatController(const ChatController&) = delete;
    ChatController& operator=(const ChatController&) = delete;

    // Loads "assets/dialogs/<name>.xml" under `name` unless it is known
    // already. A file that cannot be read loads nothing (a message on
    // stderr says why).
    void Load(const std::string& name);
    // The same from any file.
    void LoadFile(const std::string& name, const std::string& path);
    bool IsLoaded(const std::string& name) const { return chats.count(name) != 0; }
    // Plays conversation `name` from its first line; a name that was never
    // loaded starts nothing.
    void Start(const std::string& name);
    // One frame (dt: the scaled frame time, seconds).
    void Update(float dt);
    // The leaving lines, the portraits, the line above, the line shown.
    void Draw(PostProcessor* postProcessor);
    // A conversation is playing (or its portraits are fading out).
    bool Running() const { return current != nullptr; }

    std::vector<Dialog*> leaving;                       // lines fading out
    std::map<std::string, std::unique_ptr<Chat>> chats; // by name
    Chat* current = nullptr;
    size_t nextLine = 0;            // index in current->lines
    Dialog* shownLine = nullptr;    // the line being shown
    Dialog* previousLine = nullptr; // the line above it
    std::array<Vec2, 2> anchors;    // bottom right and bottom left corners
    std::array<Portrait, 2> portraits;
    std::array<Vec2, 2> portraitPosition{}; // animated, copied into the portraits
    Sound advanceSound;                     // "dialog_advance.wav"
    float advanceRate = 1.0f;               // the advance sound's speed last applied
    bool closing = false;
    float holdTime = 0.0f; // seconds the confirm input has been held

private:
    void FillPortrait(size_t side);
    void ShowNextLine();
    void Close();
    void UpdateShownLine(float dt, bool confirm);
    void SetAdvanceRate(float rate);
    void StopPortraitTweens();
    // Where lines of `side` stand: the inner bottom corner of their box.
    Vec2 LineCorner(int32_t side) const;
    // The anchors on the screen's bottom corners.
    void PlaceAnchors();
};
