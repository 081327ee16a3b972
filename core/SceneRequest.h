// SceneRequest.h -- how menus, windows and scenes ask for the next screen
// without knowing the classes that draw it: by a scene id. The application
// installs the handlers that build the scene (one factory does) and make it
// the pending one; until then requests are ignored.
#pragma once

#include <functional>

enum class SceneId {
    Splash,   // the two logos
    MainMenu, // the menu over its moving backdrop
    Level,    // the story level the save names, or the endless level
    Credits,  // the scrolling credits, back to the menu
};

// The scene `id` becomes the pending scene (built now, loaded at the start
// of the next frame).
void RequestScene(SceneId id);
// The main loop stops after the current frame.
void RequestQuit();

struct SceneRequestHandlers {
    std::function<void(SceneId)> open;
    std::function<void()> quit;
};
// Replaces the handlers; empty members ignore their requests.
void SetSceneRequestHandlers(SceneRequestHandlers handlers);
