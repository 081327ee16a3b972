// The soak's scripted player: the real game loop, in a scratch folder with a
// real window, played through every scene again and again until
// QUORVANE_SOAK_MINUTES minutes have passed: the logos, the main menu and
// its options, a new game, fights, the pause window and its options, death
// and "Try again", death and "Back to menu ", the credits, a saved level
// through "Continue" (each story level in turn), the endless mode crossed
// room by room for two depths, and at last "Quit game". Every step checks
// that it reached the scene it aimed for, and OpenGL is asked for errors
// after each one. scripts/soak.sh runs it and samples its memory; it is no
// CTest test.
#include "engine/QNInput.h"
#include "engine/QNKeys.h"
#include "engine/QNSystem.h"
#include "program/RoomSteps.h"
#include "program/UiDriver.h"
#include "scenes/CreditsScene.h"
#include "scenes/LevelScene.h"
#include "scenes/MainMenu.h"
#include "scenes/SceneFactory.h"
#include "ui/DeathWindow.h"
#include "ui/MainMenuWindow.h"
#include "ui/Options.h"
#include "ui/PauseWindow.h"
#include "world/EndlessRun.h"
#include "world/LevelCatalogue.h"

#include <GL/glew.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <random>
#include <string>

namespace {

// What the game holds, in kB, measured two ways. `heap`: the bytes the
// allocator has handed out and not had back (exact: the same scene holding
// the same things gives the same figure). `resident`: the process's
// resident memory (VmRSS) once the allocator has returned its free pages,
// which also sees memory that is not the allocator's (the OpenGL driver's
// mappings, thread stacks), but moves by a megabyte or two with how the
// free pages happen to lie.
struct Held {
    long heap = -1;
    long resident = -1;
};
Held HeldNow() {
    Held held;
    const struct mallinfo2 info = mallinfo2();
    held.heap = static_cast<long>((info.uordblks + info.hblkhd) / 1024);
    malloc_trim(0);
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            held.resident = std::atol(line.c_str() + 6);
    }
    return held;
}

constexpr uint32_t kInputSeed = 20261210u;
// A small window: software rendering keeps up, so a round is played quickly.
constexpr const char* kSmallWindow =
    "<settings volume=\"1\" muted=\"0\" fullscreen=\"0\" width=\"640\" height=\"360\"/>\n";

class SoakPlayer : public UiDriver {
protected:
    void SetUp() override {
        OwnRoomsFolder();
        EndlessRun::Current() = EndlessRun();
        LevelCatalogue::Story().endless = false;
    }

    // Every other frame is drawn: software rendering is the slow part, and
    // each scene is still drawn thirty times a second of its time.
    bool Step() override {
        Game& g = Game::Instance();
        g.drawFrames = (++steps % 2) == 0;
        return g.RunFrame();
    }
    MainMenuWindow& Menu() { return *Current<MainMenu>()->window; }
    LevelScene* Level() { return Current<LevelScene>(); }

    // Every OpenGL error queued since the last look, on the console (with
    // SOAK_TRACE set, each step's name and frame as well).
    void CheckGl(const char* where) {
        if (std::getenv("SOAK_TRACE"))
            std::printf("TRACE %s %u\n", where, QNFrameRateControllerGetFrameCount());
        for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError()) {
            ++glErrors;
            std::printf("SOAK: GL error 0x%04x after %s\n", static_cast<unsigned>(e), where);
        }
    }
    // Highlights `text` with the arrows (down first, then up) and presses
    // Enter on it.
    void Choose(Window& w, const std::string& text) {
        for (int i = 0; i < 8 && Highlighted(w) != text; ++i)
            Tap(QN_VK_DOWN);
        for (int i = 0; i < 8 && Highlighted(w) != text; ++i)
            Tap(QN_VK_UP);
        ASSERT_EQ(Highlighted(w), text);
        Tap(QN_VK_RETURN);
    }
    template <class T> void WaitFor(const char* what, int limit = 900) {
        ASSERT_GE(FramesUntil([] { return Current<T>() != nullptr; }, limit), 0)
            << "never reached " << what << " " << Game::Instance().lastError;
        CheckGl(what);
    }
    void WaitForMenu() {
        ASSERT_NO_FATAL_FAILURE(WaitFor<MainMenu>("the main menu"));
        ASSERT_NO_FATAL_FAILURE(WaitOpen(Menu()));
    }
    void WaitForNewLevel(const LevelScene* old) {
        ASSERT_GE(FramesUntil([&] { return Level() && Level() != old; }, 900), 0)
            << "never reached a level " << Game::Instance().lastError;
        Seconds(0.6f); // faded in
        CheckGl("a level's start");
    }
    // After "Try again": Blade stands again in the same level, faded in.
    void WaitForRetry(const LevelScene* level) {
        ASSERT_GE(FramesUntil([&] { return Level() == level && InPlay(); }, 120), 0)
            << "Blade never stood again " << Game::Instance().lastError;
        Seconds(0.6f);
        CheckGl("a retry");
    }
    // Lets go of every key and moves the pointer out of the way.
    void ReleaseAll() {
        for (uint8_t k :
             {QN_VK_W, QN_VK_A, QN_VK_S, QN_VK_D, QN_VK_LBUTTON, QN_VK_RBUTTON, QN_VK_LSHIFT})
            QNInputInjectKey(k, false);
        // A pointer left on a menu entry would keep that entry highlighted.
        PointAt(-300.0f, -170.0f);
        Frames(1);
    }
    // Plays like a restless player for `seconds`: walks in a new direction
    // every third of a second, slashes light and heavy, aims dashes, points
    // around, and talks through any conversation (the slash key moves it
    // on). Stops early when Blade dies or the level is left. Without `walk`
    // Blade stands his ground (he stays in the room he is in).
    void Fight(float seconds, bool walk = true) {
        const LevelScene* level = Level();
        const int frames = static_cast<int>(seconds * 60.0f);
        for (int f = 0; f < frames && Level() == level && !level->deathShown && !level->leaving;
             ++f) {
            if (f % 20 == 0) {
                for (uint8_t k : {QN_VK_W, QN_VK_A, QN_VK_S, QN_VK_D, QN_VK_LSHIFT})
                    QNInputInjectKey(k, walk && dice() % 3 == 0);
                PointAt(static_cast<float>(dice() % 600) - 300.0f,
                        static_cast<float>(dice() % 340) - 170.0f);
            }
            QNInputInjectKey(QN_VK_LBUTTON, f % 12 < 3);
            QNInputInjectKey(QN_VK_RBUTTON, f % 90 >= 80);
            if (!Step())
                break;
        }
        ReleaseAll();
        CheckGl("a fight");
    }
    // A level is current and has not been left by its exit.
    bool InLevel() { return Level() && !Level()->leaving; }
    // ... and Blade lives.
    bool InPlay() { return InLevel() && !Level()->deathShown && !Level()->player->IsDead(); }
    // Opens the pause window and visits its options page and back: after
    // any conversation, once slow motion is over (no pausing during it). A
    // Blade who dies meanwhile leaves the level unpaused.
    void PauseAndVisitOptions() {
        LevelScene* level = Level();
        QNInputInjectKey(QN_VK_LBUTTON, true);
        FramesUntil([&] { return !level->DialogueRunning(); }, 1800);
        QNInputInjectKey(QN_VK_LBUTTON, false);
        FramesUntil([] { return Game::Instance().timeScale > 0.99f; }, 600);
        if (!InPlay())
            return;
        Tap(QN_VK_ESCAPE);
        if (!level->paused) {
            ASSERT_FALSE(InPlay())
                << "the pause key did not pause (time scale " << Game::Instance().timeScale
                << ", conversation " << level->DialogueRunning() << ", door transition "
                << (level->nextRoom != nullptr) << ")";
            return;
        }
        PauseWindow& pause = *level->pauseWindow;
        ASSERT_NO_FATAL_FAILURE(WaitOpen(pause));
        ASSERT_NO_FATAL_FAILURE(Choose(pause, "Options"));
        ASSERT_NO_FATAL_FAILURE(WaitOpen(pause));
        Tap(QN_VK_ESCAPE); // back to the first page
        ASSERT_NO_FATAL_FAILURE(WaitOpen(pause));
        CheckGl("the pause window");
    }
    // Blade falls (unless he has already) and the death window opens.
    void Die() {
        LevelScene* level = Level();
        if (!level->player->IsDead())
            level->player->ChangeHealth(-1000.0f, nullptr);
        ASSERT_GE(FramesUntil([&] { return level->deathShown; }, 600), 0) << "no death window";
        ASSERT_NO_FATAL_FAILURE(WaitOpen(*level->deathWindow));
        CheckGl("death");
    }
    // Back to the main menu from wherever play stands: a level left by its
    // exit hands over to the next first; a dead Blade goes through the death
    // window's "Back to menu "; else the pause window (its options page on
    // the way) and "Quit ".
    void ToMenu() {
        for (int hop = 0; hop < 8 && Level() && Level()->leaving; ++hop) {
            const LevelScene* left = Level();
            ASSERT_GE(FramesUntil(
                          [&] {
                              return Current<MainMenu>() ||
                                     (Current<LevelScene>() && Current<LevelScene>() != left);
                          },
                          900),
                      0)
                << "nothing came after a level's exit";
        }
        if (InLevel()) {
            if (InPlay()) {
                ASSERT_NO_FATAL_FAILURE(PauseAndVisitOptions());
            }
            if (Level()->paused) {
                ASSERT_NO_FATAL_FAILURE(Choose(*Level()->pauseWindow, "Quit "));
                ASSERT_NO_FATAL_FAILURE(WaitOpen(*Level()->pauseWindow));
                ASSERT_NO_FATAL_FAILURE(Choose(*Level()->pauseWindow, "Yes"));
            } else {
                ASSERT_NO_FATAL_FAILURE(Die());
                ASSERT_NO_FATAL_FAILURE(Choose(*Level()->deathWindow, "Back to menu "));
            }
        }
        ASSERT_NO_FATAL_FAILURE(WaitForMenu());
    }
    // The main menu's options page: both toggles there and back.
    void MenuOptions() {
        ASSERT_NO_FATAL_FAILURE(Choose(Menu(), "Options"));
        ASSERT_NO_FATAL_FAILURE(WaitOpen(Menu()));
        for (std::string (*label)() : {FullScreenLabel, AudioLabel}) {
            for (int twice = 0; twice < 2; ++twice) {
                Seconds(1.1f); // the toggles' cool-down
                ASSERT_NO_FATAL_FAILURE(Choose(Menu(), label()));
            }
        }
        ASSERT_NO_FATAL_FAILURE(Choose(Menu(), "Close Options"));
        ASSERT_NO_FATAL_FAILURE(WaitOpen(Menu()));
        CheckGl("the menu's options");
    }

    void StoryRound(int round) {
        // A new game, a fight, the pause window.
        ASSERT_NO_FATAL_FAILURE(Choose(Menu(), "Start new game"));
        ASSERT_NO_FATAL_FAILURE(WaitOpen(Menu()));
        ASSERT_NO_FATAL_FAILURE(Choose(Menu(), "Yes"));
        ASSERT_NO_FATAL_FAILURE(WaitForNewLevel(nullptr));
        Fight(3.0f);
        if (InPlay()) {
            ASSERT_NO_FATAL_FAILURE(PauseAndVisitOptions());
            if (Level()->paused) {
                ASSERT_NO_FATAL_FAILURE(Choose(*Level()->pauseWindow, "Resume "));
            }
            Fight(2.0f);
        }
        // Death and a retry, death and back to the menu (the steps a level
        // left by its exit leaves out).
        if (InLevel()) {
            ASSERT_NO_FATAL_FAILURE(Die());
            ASSERT_NO_FATAL_FAILURE(Choose(*Level()->deathWindow, "Try again"));
            ASSERT_NO_FATAL_FAILURE(WaitForRetry(Level()));
            Fight(2.0f);
        }
        if (InLevel()) {
            ASSERT_NO_FATAL_FAILURE(Die());
        }
        ASSERT_NO_FATAL_FAILURE(ToMenu());

        // The credits and back.
        ASSERT_NO_FATAL_FAILURE(Choose(Menu(), "Credits"));
        ASSERT_NO_FATAL_FAILURE(WaitFor<CreditsScene>("the credits"));
        Seconds(2.0f);
        Tap(QN_VK_SPACE);
        ASSERT_NO_FATAL_FAILURE(WaitForMenu());

        ASSERT_NO_FATAL_FAILURE(PlaySavedLevel(round, 3.0f));
    }

    // Story level `level` (of the catalogue, in turn) through "Continue",
    // a fight, and back to the menu.
    void PlaySavedLevel(int level, float seconds) {
        LevelCatalogue& levels = Game::Instance().levels;
        levels.currentLevel = level % static_cast<int>(levels.firstRooms.size());
        ASSERT_TRUE(levels.Save());
        ASSERT_NO_FATAL_FAILURE(Choose(Menu(), "Continue"));
        ASSERT_NO_FATAL_FAILURE(WaitForNewLevel(nullptr));
        Fight(seconds);
        ASSERT_NO_FATAL_FAILURE(ToMenu());
    }

    // The endless mode: two depths crossed room by room (a short fight in
    // each, then its enemies felled and Blade in the next door), left by
    // "Quit ".
    void EndlessRound() {
        ASSERT_NO_FATAL_FAILURE(Choose(Menu(), "Endless Mode"));
        ASSERT_NO_FATAL_FAILURE(WaitForNewLevel(nullptr));
        for (int depth = 0; depth < 2; ++depth) {
            const LevelScene* level = Level();
            for (int next = 101; next <= 105; ++next) {
                Fight(0.5f, false);
                if (Level()->deathShown) {
                    ASSERT_NO_FATAL_FAILURE(Choose(*Level()->deathWindow, "Try again"));
                    ASSERT_NO_FATAL_FAILURE(WaitForRetry(Level()));
                    --next; // the same room again
                    continue;
                }
                const int target = next == 105 ? 0 : next;
                ClearRoom(*Level());
                Level()->player->health = 1.0f;
                Frames(2);
                ASSERT_NO_FATAL_FAILURE(StandInDoor(*Level(), target));
                if (target != 0) {
                    ASSERT_GE(FramesUntil([&] { return Level()->currentRoom->id == next; }, 300), 0)
                        << "stuck before endless room " << next;
                    Seconds(0.3f);
                }
            }
            ASSERT_NO_FATAL_FAILURE(WaitForNewLevel(level));
        }
        ASSERT_NO_FATAL_FAILURE(ToMenu());
    }

    int glErrors = 0;
    uint32_t steps = 0;
    std::minstd_rand dice{kInputSeed};
};

TEST_F(SoakPlayer, EverySceneUntilTheTimeIsUp) {
    const char* env = std::getenv("QUORVANE_SOAK_MINUTES");
    const double minutes = env ? std::atof(env) : 1.0;
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    std::printf("SOAK: %.1f minutes, input seed %u\n", minutes, kInputSeed);

    Start([] { return CreateScene(SceneId::Splash); }, kSmallWindow);
    Seconds(1.0f);
    Tap(QN_VK_SPACE); // cuts the logos short
    ASSERT_NO_FATAL_FAILURE(WaitForMenu());
    // A warm-up round, then every other story level once, so the caches
    // hold what the rounds use (the rounds take the levels in turn).
    int round = 0;
    const auto playRound = [&] {
        ASSERT_NO_FATAL_FAILURE(MenuOptions());
        ASSERT_NO_FATAL_FAILURE(StoryRound(round));
        ASSERT_NO_FATAL_FAILURE(EndlessRound());
        ++round;
    };
    ASSERT_NO_FATAL_FAILURE(playRound());
    for (int level = 1; level < static_cast<int>(Game::Instance().levels.firstRooms.size());
         ++level)
        ASSERT_NO_FATAL_FAILURE(PlaySavedLevel(level, 0.5f));
    Held held = HeldNow();
    std::printf("SOAK: warmed up at %.0f s, resident %ld kB, heap %ld kB\n", elapsed(),
                held.resident, held.heap);
    std::fflush(stdout);
    while (elapsed() < minutes * 60.0) {
        ASSERT_NO_FATAL_FAILURE(playRound());
        held = HeldNow();
        std::printf("SOAK: round %d done at %.0f s, resident %ld kB, heap %ld kB\n", round,
                    elapsed(), held.resident, held.heap);
        std::fflush(stdout);
    }

    // Out through "Quit game".
    ASSERT_NO_FATAL_FAILURE(Choose(Menu(), "Quit game"));
    ASSERT_NO_FATAL_FAILURE(WaitOpen(Menu()));
    ASSERT_NO_FATAL_FAILURE(Choose(Menu(), "Yes"));
    EXPECT_GE(FramesUntil([] { return !Game::Instance().running; }, 120), 0)
        << "the game did not end after Yes";
    CheckGl("the end");
    EXPECT_EQ(glErrors, 0);
}

} // namespace
