// DeathWindow.h -- the window the level scene opens when Blade has died:
// "Try again" puts him back at the door he came into the room by, "Back to
// menu " leaves for the main menu.
#pragma once

#include "ui/Window.h"

#include <functional>

class DeathWindow : public Window {
public:
    // Closed at the centre of the screen, with its page ready. `tryAgain`
    // runs when "Try again" is chosen, after the window has started to
    // close.
    explicit DeathWindow(std::function<void()> tryAgain);
    ~DeathWindow() override;

    // Opens to its full size at the centre.
    void Show();
};
