// ControlsPage.h -- the options' controls page: every action with its key
// (or mouse button) and pad button. Choosing an action waits for the next
// key or pad button and binds it; an input another action needs at the same
// time is refused with a word at the foot of the page; "Reset to defaults"
// restores the README's controls. Each change is kept in the settings file.
#pragma once

#include <functional>

class Window;

// Fills `window` with the page and opens it; "Back" runs `back`.
void BuildControlsPage(Window& window, std::function<void()> back);
// A binding waits for its input: the pause key must not act meanwhile.
bool ControlsCapturing();
