// Slowed time always gives itself back: an aimed dash released as a bullet
// lands, in the real game loop at the frame rates players have (60 and about
// 40 frames a second), right after the opening conversation was hurried
// along; time returns to its normal pace within half a second of real time
// whatever Blade is doing, the pause opens in slow motion, and the death
// window follows the fall within about a second.
#include "entities/Projectile.h"
#include "render/PostProcessor.h"
#include "ui/DeathWindow.h"
#include "ui/PauseWindow.h"

#include "program/LevelDriver.h"

#include <algorithm>

namespace {

struct Pace {
    const char* name;
    double frame; // seconds of real time per frame
};

class SlowMotionTest : public LevelDriver, public ::testing::WithParamInterface<Pace> {
protected:
    static float Scale() { return Game::Instance().timeScale; }
    double FrameTime() const { return GetParam().frame; }

    // Starts the first level at this pace and hears its opening
    // conversation out by holding the confirm button, which hurries it
    // along (time runs fast while it is held).
    void StartAfterTheOpening() {
        StartLevel(0);
        QNFrameRateControllerSetFixedFrameTime(FrameTime());
        Frames(10);
        ASSERT_TRUE(RunUntil([&] { return scene->DialogueRunning(); }, 300));
        QNInputInjectKey(QN_VK_LBUTTON, true);
        float fastest = 0.0f, waver = 0.0f;
        for (int i = 0; i < 1800 && scene->DialogueRunning(); ++i) {
            Frame();
            fastest = std::max(fastest, Scale());
            waver = std::max(waver, scene->postProcessor->strength);
        }
        QNInputInjectKey(QN_VK_LBUTTON, false);
        ASSERT_FALSE(scene->DialogueRunning());
        EXPECT_GT(fastest, 1.5f) << "holding the button hurries the conversation along";
        EXPECT_EQ(waver, 0.0f) << "only slowed time makes the picture waver";
        // The button that hurried it along slashed too: Blade finishes.
        ReleaseKeys();
        ASSERT_TRUE(RunUntil([&] { return Blade().state == PlayerIdle; }, 120));
    }
    // A soldier's bullet a step away from Blade, landing in the next frame.
    const Projectile* ShootAtBlade() {
        const Vec2 at = Blade().GetPosition() + Vec2{0.0f, 8.0f};
        float side = 20.0f;
        if (!scene->IsWalkable(RoomOf(), at + Vec2{side, 0.0f}))
            side = -side;
        return Projectile::Launch(scene->currentRoom->entities, RoomOf(), at + Vec2{side, 0.0f},
                                  {side > 0.0f ? -1.0f : 1.0f, 0.0f}, ProjectileBullet, 300.0f,
                                  -0.1f);
    }
    // Frames of real time until time runs at its normal pace (limit: 5 s).
    double SecondsUntilNormalTime() {
        int frames = 0;
        while (!(Scale() > 0.99f) && frames < static_cast<int>(5.0 / FrameTime())) {
            Frame();
            ++frames;
        }
        return frames * FrameTime();
    }
    // Holds the aim with the pointer beside Blade for `seconds` of real time.
    void Aim(double seconds) {
        QNInputInjectKey(QN_VK_LSHIFT, true);
        for (double t = 0.0; t < seconds; t += FrameTime()) {
            PointAtWorld(Blade().GetPosition() + Vec2{-100.0f, 0.0f});
            Frame();
        }
    }
};

TEST_P(SlowMotionTest, ADashReleasedAsABulletLandsGivesTimeBackAndThePauseOpens) {
    StartAfterTheOpening();
    // A soldier's bullet is on its way as Blade aims; the frame in which it
    // lands is a long one (a hit's burst on a busy software renderer takes
    // 60 ms), and time slowed over a step that long once fell through zero
    // to the clock's floor, where nothing moved again.
    Blade().special = 1.0f;
    const float healthBefore = Blade().health;
    ShootAtBlade();
    // The bullet lands in a long frame; Shift goes down as it does, and the
    // first frame of the aim is measured over that long one.
    QNFrameRateControllerSetFixedFrameTime(0.06);
    Frame();
    QNFrameRateControllerSetFixedFrameTime(FrameTime());
    QNInputInjectKey(QN_VK_LSHIFT, true);
    for (int i = 0; i < 4; ++i) {
        PointAtWorld(Blade().GetPosition() + Vec2{-100.0f, 0.0f});
        Frame();
    }
    // The click releases the dash; Shift goes up a tenth of a second later.
    Tap(QN_VK_LBUTTON);
    for (double t = 0.0; t < 0.1; t += FrameTime())
        Frame();
    QNInputInjectKey(QN_VK_LSHIFT, false);
    EXPECT_LE(SecondsUntilNormalTime(), 0.5) << "time scale stuck at " << Scale();
    EXPECT_LT(Blade().health, healthBefore) << "the bullet landed";
    Tap(QN_VK_ESCAPE);
    EXPECT_TRUE(RunUntil([&] { return scene->pauseWindow->Showing(); }, 120))
        << "the pause window opens";
}

TEST_P(SlowMotionTest, TimeComesBackWithinHalfASecondWhateverBladeIsDoing) {
    StartAfterTheOpening();
    struct Case {
        const char* what;
        std::function<void()> during; // run after the aim has slowed time
    };
    const Case cases[] = {
        {"idle", [] {}},
        {"hurt", [&] { Blade().ChangeHealth(-0.05f, nullptr); }},
        {"slashing", [&] { Tap(QN_VK_RBUTTON); }},
        {"dashing", [&] { Tap(QN_VK_LBUTTON); }},
        {"pinned",
         [&] {
             Blade().frozen = true;
             Blade().frozenPosition = Blade().GetPosition();
         }},
    };
    for (const Case& c : cases) {
        Blade().special = 1.0f;
        Aim(2.0);
        ASSERT_LT(Scale(), 0.1f) << c.what;
        c.during();
        QNInputInjectKey(QN_VK_LSHIFT, false);
        EXPECT_LE(SecondsUntilNormalTime(), 0.5) << c.what << ": stuck at " << Scale();
        Blade().frozen = false;
        Frames(30);
    }
}

TEST_P(SlowMotionTest, EscapeInSlowMotionGivesTimeBackAndPauses) {
    StartAfterTheOpening();
    Blade().special = 1.0f;
    Aim(1.0);
    ASSERT_LT(Scale(), 0.2f);
    QNInputInjectKey(QN_VK_ESCAPE, true);
    Frame();
    QNInputInjectKey(QN_VK_ESCAPE, false);
    QNInputInjectKey(QN_VK_LSHIFT, false);
    EXPECT_TRUE(RunUntil([&] { return scene->pauseWindow->Showing(); }, 10));
    EXPECT_GT(Scale(), 0.99f) << "the pause window opens at its own pace";
}

TEST_P(SlowMotionTest, TheDeathWindowFollowsTheFallWithinASecond) {
    for (const bool slowed : {false, true}) {
        SCOPED_TRACE(slowed ? "dying in slow motion" : "dying at normal speed");
        StartAfterTheOpening();
        if (slowed) {
            Blade().special = 1.0f;
            Aim(1.0);
            ASSERT_LT(Scale(), 0.2f);
        }
        Blade().ChangeHealth(-1.0f, nullptr);
        int frames = 0;
        while (!scene->deathWindow->Showing() && frames < static_cast<int>(10.0 / FrameTime())) {
            Frame();
            ++frames;
        }
        EXPECT_LE(frames * FrameTime(), 1.2);
        QNInputInjectKey(QN_VK_LSHIFT, false);
        Game::Instance().Shutdown();
    }
}

INSTANTIATE_TEST_SUITE_P(Paces, SlowMotionTest,
                         ::testing::Values(Pace{"60fps", 1.0 / 60.0}, Pace{"40fps", 1.0 / 40.0}),
                         [](const ::testing::TestParamInfo<Pace>& pace) {
                             return std::string(pace.param.name);
                         });

} // namespace
