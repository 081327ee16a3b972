// LevelPacksPage.h -- the main menu's "Level packs" page: the story and
// every level pack found (name, author, how many levels). Choosing one
// runs the level check first; a pack that cannot be played shows its first
// problems instead of starting a broken level.
#pragma once

#include <functional>

class Window;

// Fills `window` with the page. "Back" runs `back`; a pack that passes the
// check is played from its own save.
void ShowLevelPacksPage(Window& window, std::function<void()> back);
