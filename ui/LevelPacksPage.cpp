// LevelPacksPage -- choosing the story or a level pack to play.
#include "ui/LevelPacksPage.h"

#include "core/LevelPack.h"
#include "render/FadeTransition.h"
#include "ui/Layout.h"
#include "ui/UIText.h"
#include "ui/Window.h"
#include "world/LevelCatalogue.h"
#include "world/LevelPacks.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr float kGrey[4] = {0.5f, 0.5f, 0.5f, 1.0f};
constexpr Vec2 kLarge{1.1f, 1.1f};
constexpr Vec2 kSmall{-0.35f, -0.35f};
constexpr Vec2 kProblem{-0.2f, -0.2f};
// The most packs one page lists, and the problems shown of a broken one.
constexpr size_t kMaxPacks = 6;
constexpr size_t kShownProblems = 3;
// How wide a problem's lines run, in render units.
constexpr float kProblemWidth = 380.0f;

void Grey(UIText* text) {
    for (int i = 0; i < 4; ++i)
        text->color[i] = kGrey[i];
}

std::string Describe(const LevelPack::Info& pack) {
    std::string line = pack.name;
    if (!pack.author.empty())
        line += " by " + pack.author;
    return line + " (" + std::to_string(pack.levels) + (pack.levels == 1 ? " level)" : " levels)");
}

void OpenPage(Window& window, UIText* heading, float height) {
    window.Open(nullptr, {0.0f, 0.0f}, {FitWindowWidth(*heading, 420.0f), height},
                {0.0f, 0.0f, 0.0f, 0.6f}, 1.0f, 1.0f);
}

// The pack's first problems, and the way back to the list.
void ShowProblems(Window& window, const std::string& name, const std::vector<std::string>& problems,
                  std::function<void()> back) {
    window.FadeOutElements();
    UIText* heading = window.AddText(name + " cannot be played yet", {0.0f, 75.0f}, kLarge);
    float y = 45.0f;
    for (size_t i = 0; i < std::min(problems.size(), kShownProblems); ++i) {
        std::fprintf(stderr, "LEVELS: %s\n", problems[i].c_str());
        UIText* line = window.AddText(problems[i], {0.0f, y}, kProblem);
        line->WrapText(1.0f + kProblem.x, kProblemWidth);
        y -= 36.0f;
    }
    if (problems.size() > kShownProblems)
        Grey(window.AddText("and " + std::to_string(problems.size() - kShownProblems) +
                                " more: quorvane --check shows them all",
                            {0.0f, y}, kSmall));
    window.AddButton(
        "Back", {0.0f, -78.0f},
        [&window, back] {
            LevelMap::ChooseLevelPack("");
            ShowLevelPacksPage(window, back);
        },
        false);
    OpenPage(window, heading, 200.0f);
}

void Play(Window& window, const LevelPack::Info& pack, std::function<void()> back) {
    const std::vector<std::string> problems = LevelMap::ChooseLevelPack(pack.dir);
    if (!problems.empty()) {
        ShowProblems(window, pack.name, problems, back);
        return;
    }
    FadeToScene(SceneId::Level, [] { LevelCatalogue::Story().endless = false; });
}

} // namespace

void ShowLevelPacksPage(Window& window, std::function<void()> back) {
    window.FadeOutElements();
    UIText* heading = window.AddText("Level packs", {0.0f, 75.0f}, kLarge);
    const std::vector<LevelPack::Info> packs = LevelPack::FindAll(LevelMap::LevelPackFolders());
    float y = 45.0f;
    window.AddButton(
        "The story", {0.0f, y},
        [back] {
            LevelMap::ChooseLevelPack("");
            back();
        },
        false);
    for (size_t i = 0; i < std::min(packs.size(), kMaxPacks); ++i) {
        y -= 22.0f;
        const LevelPack::Info& pack = packs[i];
        if (!pack.problem.empty()) {
            Grey(window.AddText(pack.name + ": " + pack.problem, {0.0f, y}, kSmall));
            continue;
        }
        window.AddButton(
            Describe(pack), {0.0f, y}, [&window, pack, back] { Play(window, pack, back); }, false);
    }
    if (packs.empty())
        Grey(window.AddText("No packs in " + LevelMap::LevelPackFolders().front(),
                            {0.0f, y - 22.0f}, kSmall));
    window.AddButton(
        "Back", {0.0f, -78.0f}, [back] { back(); }, false);
    OpenPage(window, heading, 200.0f);
}
