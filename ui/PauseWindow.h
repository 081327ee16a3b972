// PauseWindow.h -- the window the level scene opens when play is paused:
// "Resume ", "Options" and "Quit " (which asks first), and the options page.
// It exists closed (small and invisible) until paused.
#pragma once

#include "ui/Window.h"

class PauseWindow : public Window {
public:
    // Closed at the centre of the screen, with its main page ready.
    PauseWindow();
    ~PauseWindow() override;

    // The main page; coming back from the options page reopens the window
    // to its paused size.
    void ShowMain();
    // The options page: full screen, audio, back.
    void ShowOptions();
    // "Quit " asks first: "Yes" leaves for the main menu, "No" comes back.
    void ShowQuitQuestion();
    // Opens to the paused size at the centre.
    void Show();
    // Closes to a small, transparent state.
    void Hide();
    // The pause key (Escape or the pad's Start): on the options page or the
    // quit question it goes back to the main page; otherwise `paused` flips and the window opens
    // or closes to match.
    void PauseKey(bool& paused);

    bool optionsShown = false;  // the options page is displayed
    bool questionShown = false; // "Do you want to leave the level?" is displayed
};
