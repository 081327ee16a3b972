// InfoWindow.h -- the window a character opens for Blade: "Controls" lists
// the controls as the game reads them, for the keyboard and mouse or, while
// a pad is in use, for the pad; any other kind is an empty frame of the
// size the room gives. It opens at the screen centre and closes with its
// "Close" button (or when the character closes it).
#pragma once

#include "entities/CharacterWindow.h"
#include "ui/Window.h"

#include <string>

class PostProcessor;

class InfoWindow : public Window, public CharacterWindow {
public:
    // The size a "Controls" window opens to, UI units.
    static constexpr float kControlsWidth = 300.0f;
    static constexpr float kControlsHeight = 214.0f;

    // Closed at the centre. `postProcessor` (not owned, may be null) draws
    // the text; `size` is the open size of a window that is not "Controls".
    InfoWindow(const std::string& type, Vec2 size, PostProcessor* postProcessor);
    ~InfoWindow() override;

    void Open() override;
    void Close() override;
    // Closes every character window that is open or opening; false when
    // none was. The pause key does this before it pauses.
    static bool CloseAllOpen();
    bool IsOpen() const override { return open; }
    // The window's frame; a "Controls" list follows the device in use.
    void Update(float dt) override;
    void Draw() override;

    // The rows of the controls list for the keyboard and mouse (pad false)
    // or the pad: what to do, then how, with the player's current inputs.
    static std::vector<std::pair<std::string, std::string>> ControlRows(bool pad);

    std::string type;
    Vec2 openSize;
    PostProcessor* postProcessor; // not owned
    bool open = false;
    int32_t listedDevice = -1; // the pad kind the list was written for; -1: none yet

private:
    void FillControls(bool pad);
};
