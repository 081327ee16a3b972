// MainMenuWindow -- the pages of the main menu and what their entries do.
#include "ui/MainMenuWindow.h"

#include "world/EndlessRecord.h"
#include "world/EndlessRun.h"

#include "core/SceneRequest.h"
#include "core/Tween.h"
#include "render/FadeTransition.h"
#include "render/Resources.h"
#include "ui/Layout.h"
#include "ui/LevelPacksPage.h"
#include "ui/UIText.h"
#include "world/LevelCatalogue.h"

#include <cstdio>
#include <fstream>
#include <utility>

namespace {

constexpr RenderColor kClear{0.0f, 0.0f, 0.0f, 0.0f};
constexpr float kTitleShown[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr float kTitleHidden[4] = {1.0f, 1.0f, 1.0f, 0.0f};
constexpr float kGrey[4] = {0.5f, 0.5f, 0.5f, 1.0f};
constexpr Vec2 kTitleScale{1.1f, 1.1f};

// There is something to continue only when a save can be read.
bool SaveExists() {
    return std::ifstream(LevelCatalogue::Story().savePath).good();
}

// The next level played is the story's current level.
void ChooseStory() {
    LevelCatalogue::Story().endless = false;
}

// A greyed entry: shown, but navigation and the mouse pass it by.
void AddInert(Window& window, const std::string& text, const Vec2& offset) {
    UIText* sprite = window.AddText(text, offset);
    for (int i = 0; i < 4; ++i)
        sprite->color[i] = kGrey[i];
}

} // namespace

MainMenuWindow::MainMenuWindow()
    : Window(0.0f, 0.0f, 50.0f, 100.0f, kClear),
      title(Resources::GetQuadMesh(1), Resources::GetTexture("title.png", true), 357.0f, 185.0f,
            {1.0f, 1.0f, 1.0f, 1.0f}) {
    title.SetPosition(-70.0f, 0.0f);
    ShowMain();
}

MainMenuWindow::~MainMenuWindow() {
    RemoveColorTweens(title.tint);
}

void MainMenuWindow::Update(float dt) {
    Window::Update(dt);
    title.Update(dt, nullptr);
}

void MainMenuWindow::Draw(PostProcessor* postProcessor) {
    Window::Draw(postProcessor);
    title.Draw();
}

void MainMenuWindow::ShowMain() {
    FadeOutElements();
    if (SaveExists())
        AddButton(
            "Continue", {0.0f, 90.0f}, [] { FadeToScene(SceneId::Level, ChooseStory); }, false);
    else
        AddInert(*this, "Continue", {0.0f, 90.0f});
    AddButton(
        "Start new game", {0.0f, 60.0f},
        [this] {
            HideTitle();
            ShowStartQuestion();
        },
        false);
    AddButton(
        "Endless Mode", {0.0f, 30.0f}, [this] { StartEndless(); }, false);
    const std::string& recordPath = EndlessRun::Current().recordPath;
    std::string problem;
    const int32_t best = ReadBestDepth(recordPath, &problem);
    if (!problem.empty())
        std::fprintf(stderr, "ENDLESS: %s: %s: the best depth reads as 0\n", recordPath.c_str(),
                     problem.c_str());
    if (best > 0) {
        // The record sits beside the entry, small and dim.
        UIText* record = AddText("best " + std::to_string(best), {92.0f, 30.0f}, {-0.35f, -0.35f});
        for (int i = 0; i < 4; ++i)
            record->color[i] = kGrey[i];
    }
    AddButton(
        "Level packs", {0.0f, 0.0f},
        [this] {
            HideTitle();
            ShowLevelPacksPage(*this, [this] { Back(); });
        },
        false);
    AddButton(
        "Options", {0.0f, -30.0f},
        [this] {
            HideTitle();
            ShowOptions();
        },
        false);
    AddButton(
        "Credits", {0.0f, -60.0f}, [] { FadeToScene(SceneId::Credits); }, false);
    AddButton(
        "Quit game", {0.0f, -90.0f},
        [this] {
            HideTitle();
            ShowExitQuestion();
        },
        false);
    Open(nullptr, {180.0f, 0.0f}, {125.0f, 230.0f}, {0.0f, 0.0f, 0.0f, 0.4f}, 1.0f, 1.0f);
}

void MainMenuWindow::ShowQuestion(const std::string& question, std::function<void()> yes) {
    FadeOutElements();
    UIText* line = AddText(question, {0.0f, 30.0f}, kTitleScale);
    AddButton("Yes", {0.0f, -5.0f}, std::move(yes), false);
    AddButton(
        "No", {0.0f, -30.0f}, [this] { Back(); }, false);
    // The question in large letters runs wider than 400: the window grows.
    Open(nullptr, {0.0f, 0.0f}, {FitWindowWidth(*line, 400.0f), 100.0f}, {0.0f, 0.0f, 0.0f, 0.6f},
         1.0f, 1.0f);
}

void MainMenuWindow::ShowStartQuestion() {
    ShowQuestion("Do you want to start the game?", [] {
        FadeToScene(SceneId::Level, [] {
            // A new game starts over from the first level, and says so in
            // the save before anything else can go wrong.
            LevelCatalogue& levels = LevelCatalogue::Story();
            levels.currentLevel = 0;
            levels.Save();
            ChooseStory();
        });
    });
}

void MainMenuWindow::StartEndless() {
    // The rooms are written before the fade: when they cannot be, the
    // player stays here and is told why instead of playing stale rooms.
    std::string error;
    if (EndlessRun::Current().Start(error)) {
        FadeToScene(SceneId::Level);
        return;
    }
    HideTitle();
    FadeOutElements();
    UIText* line = AddText("The endless rooms could not be written.", {0.0f, 30.0f}, kTitleScale);
    UIText* detail = AddText(error, {0.0f, 5.0f}, {-0.35f, -0.35f});
    detail->WrapText(0.65f);
    AddButton(
        "Back", {0.0f, -30.0f}, [this] { Back(); }, false);
    Open(nullptr, {0.0f, 0.0f}, {FitWindowWidth(*line, 400.0f), 100.0f}, {0.0f, 0.0f, 0.0f, 0.6f},
         1.0f, 1.0f);
}

void MainMenuWindow::ShowExitQuestion() {
    ShowQuestion("Do you want to exit the game?", [] { RequestQuit(); });
}

void MainMenuWindow::ShowOptions() {
    ShowOptionsPage([this] { Back(); });
}

void MainMenuWindow::Back() {
    RemoveColorTweens(title.tint);
    AddColorTween(title.tint, kTitleShown, 2, nullptr, 0.8f);
    ShowMain();
}

void MainMenuWindow::HideTitle() {
    RemoveColorTweens(title.tint);
    AddColorTween(title.tint, kTitleHidden, 2, nullptr, 0.5f);
}
