// DeathWindow.h -- the window the level scene opens when Blade has died:
// "Try again" restarts the level, "Back to menu " leaves for the main menu.
#pragma once

#include "ui/Window.h"

class DeathWindow : public Window {
public:
    // Closed at the centre of the screen, with its page ready.
    DeathWindow();
    ~DeathWindow() override;

    // Opens to its full size at the centre.
    void Show();
};
