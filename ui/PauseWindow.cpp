// PauseWindow -- the paused game's menu and its options page.
#include "ui/PauseWindow.h"
#include "render/FadeTransition.h"
#include "ui/Layout.h"
#include "ui/UIText.h"

namespace {
constexpr RenderColor kClear{0.0f, 0.0f, 0.0f, 0.0f};
constexpr RenderColor kPausedBackground{0.0f, 0.0f, 0.0f, kWindowShade};
const Vec2 kCentre{0.0f, 0.0f};
const Vec2 kPausedSize{100.0f, 150.0f};
const Vec2 kClosedSize{20.0f, 50.0f};
} // namespace

PauseWindow::PauseWindow() : Window(0.0f, 0.0f, kClosedSize.x, kClosedSize.y, kClear) {
    ShowMain();
}

PauseWindow::~PauseWindow() = default;

void PauseWindow::ShowMain() {
    FadeOutElements();
    if (optionsShown || questionShown) {
        Show();
        optionsShown = false;
        questionShown = false;
    }
    AddText("Paused", {0.0f, 48.0f}, {kTitleGrow, kTitleGrow});
    // Resume only closes the window; the level scene sees it closing and
    // plays on.
    AddButton(
        "Resume ", {0.0f, 10.0f}, [this] { Hide(); }, true);
    AddButton(
        "Options", {0.0f, -20.0f}, [this] { ShowOptions(); }, false);
    AddButton(
        "Quit ", {0.0f, -50.0f}, [this] { ShowQuitQuestion(); }, false);
}

void PauseWindow::ShowQuitQuestion() {
    FadeOutElements();
    // Asked as the main menu asks before the game ends: "No" is a step back.
    UIText* line =
        AddText("Do you want to leave the level?", {0.0f, 25.0f}, {kTitleGrow, kTitleGrow});
    AddButton(
        "Yes", {0.0f, -5.0f}, [] { FadeToScene(SceneId::MainMenu); }, false);
    AddButton(
        "No", {0.0f, -30.0f}, [this] { ShowMain(); }, false);
    questionShown = true;
    Open(nullptr, kCentre, {FitWindowWidth(*line, 400.0f), 100.0f}, kPausedBackground, 1.0f, 1.0f);
}

void PauseWindow::ShowOptions() {
    ShowOptionsPage([this] { ShowMain(); });
    optionsShown = true;
}

void PauseWindow::Show() {
    Open(nullptr, kCentre, kPausedSize, kPausedBackground, 1.0f, 1.0f);
}

void PauseWindow::Hide() {
    Open(nullptr, kCentre, kClosedSize, kClear, 0.0f, 0.0f);
}

void PauseWindow::PauseKey(bool& paused) {
    if (optionsShown || questionShown) {
        ShowMain();
        return;
    }
    paused = !paused;
    if (paused)
        Show();
    else
        Hide();
}
