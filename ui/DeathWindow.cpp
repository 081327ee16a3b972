// DeathWindow -- another try or leave after Blade has died.
#include "ui/DeathWindow.h"
#include "core/SceneRequest.h"

#include <utility>

namespace {
constexpr RenderColor kClear{0.0f, 0.0f, 0.0f, 0.0f};
} // namespace

DeathWindow::DeathWindow(std::function<void()> tryAgain)
    : Window(0.0f, 0.0f, 120.0f, 40.0f, kClear) {
    AddText("Blade died", {0.0f, 33.0f}, {kTitleGrow, kTitleGrow});
    AddButton(
        "Try again", {0.0f, -5.0f},
        [this, again = std::move(tryAgain)] {
            Open(nullptr, {0.0f, 0.0f}, {50.0f, 75.0f}, kClear, 0.0f, 0.0f);
            if (again)
                again();
        },
        true); // the window serves every death of the level
    // The menu comes at once: it fades in by itself.
    AddButton(
        "Back to menu ", {0.0f, -35.0f}, [] { RequestScene(SceneId::MainMenu); }, false);
}

DeathWindow::~DeathWindow() = default;

void DeathWindow::Show() {
    Open(nullptr, {0.0f, 0.0f}, {140.0f, 120.0f}, {0.0f, 0.0f, 0.0f, kWindowShade}, 1.0f, 1.0f);
}
