// MainMenuWindow.h -- the main menu's window and the title beside it. Its
// pages replace each other in place: the seven entries, the two confirmation
// questions and the options.
#pragma once

#include "render/Sprite2D.h"
#include "ui/Window.h"

#include <string>

class MainMenuWindow : public Window {
public:
    // Builds the main page and opens the window on the right of the title.
    MainMenuWindow();
    ~MainMenuWindow() override;

    // Window::Update, then the title.
    virtual void Update(float dt);
    // Window::Draw, then the title.
    virtual void Draw(PostProcessor* postProcessor);

    // The seven entries. "Continue" is grey and inert without a save.
    void ShowMain();
    // "Do you want to start the game?" / "Do you want to exit the game?"
    void ShowStartQuestion();
    void ShowExitQuestion();
    // Generates the endless rooms and fades to the first of them; when they
    // cannot be written, a page says why and offers the way back.
    void StartEndless();
    // Full screen, audio and back.
    void ShowOptions();
    // The title fades in again and the main page comes back.
    void Back();
    // The title fades out before another page opens.
    void HideTitle();

    Sprite2D title; // "title.png", left of the window

private:
    // The question, "Yes" (runs `yes`) and "No" (Back).
    void ShowQuestion(const std::string& question, std::function<void()> yes);
};
