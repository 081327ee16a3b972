// Friendly characters: the interaction range and input, the prompt, the
// automatic ones, conversations refused while time is slowed, the window a
// character opens, and the refill stations' three uses.
#include "InhabitantStandIns.h"

#include "engine/QNKeys.h"
#include "entities/DialogNPC.h"
#include "entities/RefillStation.h"
#include "entities/WindowNPC.h"

namespace {

using namespace standins;

class CharactersTest : public InhabitantTest {
protected:
    // A talking character at the origin (collider centre there too).
    DialogNPC* AddTalker(bool automatic, int32_t dialog = 7) {
        talker = std::make_unique<DialogNPC>(1, Vec2{0.0f, 0.0f}, Vec2{96.0f, 96.0f}, Body({4}),
                                             Prompt(), dialog, false, automatic);
        room.push_back(talker.get());
        return talker.get();
    }
    // Blade with his collider centre `d` units right of the origin.
    void PlaceBlade(float d) {
        if (!blade)
            AddBlade({0.0f, 0.0f});
        blade->SetPosition(d, -8.0f);
        blade->Body()->Update(0.0f, nullptr);
    }
    void Step() {
        for (Entity* e : room)
            if (e != blade.get())
                e->Update(kFrame, nullptr, &room);
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i)
            Frame([&] { Step(); });
    }
    void TapE() {
        Tap(QN_VK_E, [&] { Step(); });
    }

    std::unique_ptr<DialogNPC> talker;
};

TEST_F(CharactersTest, EInteractsWithinFiftyUnitsAndNotBeyond) {
    AddTalker(false);
    struct Case {
        float distance;
        size_t started;
    };
    for (const Case c : {Case{51.0f, 0u}, Case{49.0f, 1u}}) {
        level.started.clear();
        PlaceBlade(c.distance);
        TapE();
        EXPECT_EQ(level.started.size(), c.started) << c.distance;
    }
    EXPECT_EQ(level.started, (std::vector<int32_t>{7}));
}

TEST_F(CharactersTest, ThePadsXButtonInteractsToo) {
    AddTalker(false);
    PlaceBlade(30.0f);
    ControllerState pad;
    pad.buttons = PAD_X;
    pad.packetNumber = 1;
    Game::Instance().gamePad.InjectController(pad);
    Frames(1);
    EXPECT_EQ(level.started.size(), 1u);
}

TEST_F(CharactersTest, NoConversationWhileAnotherRunsOrTimeIsSlowed) {
    AddTalker(false);
    PlaceBlade(20.0f);
    level.talking = true;
    TapE();
    level.talking = false;
    Game::Instance().timeScale = 0.5f; // Blade aims a dash
    TapE();
    EXPECT_TRUE(level.started.empty());
    Game::Instance().timeScale = 1.0f;
    TapE();
    EXPECT_EQ(level.started.size(), 1u) << "refused requests are not kept";
}

TEST_F(CharactersTest, ThePromptPopsUpInRangeAndShrinksAwayOutOfIt) {
    DialogNPC* npc = AddTalker(false);
    PlaceBlade(120.0f);
    Frames(30);
    EXPECT_FALSE(npc->promptUp);
    EXPECT_EQ(npc->promptTint[3], 0.0f);
    PlaceBlade(40.0f);
    Frames(30);
    EXPECT_TRUE(npc->promptUp);
    EXPECT_FLOAT_EQ(npc->promptTint[3], 1.0f);
    EXPECT_FLOAT_EQ(npc->promptOffset.y, NPC::kPromptHigh);
    EXPECT_FLOAT_EQ(npc->promptBox->GetScale().x, NPC::kPromptBoxSize);
    EXPECT_FLOAT_EQ(npc->promptBox->GetPosition().y, NPC::kPromptHigh);
    EXPECT_EQ(npc->promptGlyph->animation, 0u) << "the key while no pad is in use";
    ControllerState pad;
    Game::Instance().gamePad.InjectController(pad);
    Frames(1);
    EXPECT_EQ(npc->promptGlyph->animation, 1u) << "the pad's button while one is";
    PlaceBlade(60.0f);
    Frames(30);
    EXPECT_FALSE(npc->promptUp);
    EXPECT_FLOAT_EQ(npc->promptTint[3], 0.0f);
    EXPECT_FLOAT_EQ(npc->promptScale.x, 0.0f);
}

TEST_F(CharactersTest, AnAutomaticCharacterSpeaksOnceByItselfThenWhenAsked) {
    DialogNPC* npc = AddTalker(true);
    EXPECT_TRUE(npc->IsAutomatic());
    PlaceBlade(40.0f); // in talking range, not yet close enough
    Frames(10);
    EXPECT_TRUE(level.started.empty());
    EXPECT_FALSE(npc->promptUp) << "no input to announce yet";
    // Refused while another conversation runs: it waits, it does not give up.
    level.talking = true;
    PlaceBlade(30.0f); // inside 31.6 units
    Frames(30);
    EXPECT_TRUE(level.started.empty());
    level.talking = false;
    Frames(1);
    EXPECT_EQ(level.started.size(), 1u) << "by itself once Blade is close and nothing runs";
    // Standing by, walking off and back, slashing nearby: never again by
    // itself.
    Frames(400);
    PlaceBlade(120.0f);
    Frames(30);
    PlaceBlade(20.0f);
    Frames(400);
    Tap(QN_VK_LBUTTON, [&] { Step(); });
    Frames(200);
    EXPECT_EQ(level.started.size(), 1u);
    EXPECT_FALSE(npc->IsAutomatic());
    EXPECT_TRUE(npc->promptUp) << "now it shows what to press";
    TapE();
    EXPECT_EQ(level.started, (std::vector<int32_t>{7, 7})) << "asked, it talks again";
}

TEST_F(CharactersTest, AWindowCharacterOpensItsWindowAndClosesItAgain) {
    auto npc =
        std::make_unique<WindowNPC>(1, Vec2{0.0f, 0.0f}, Vec2{96.0f, 96.0f}, Body({4}), Prompt(),
                                    false, nullptr, "Controls", Vec2{200.0f, 120.0f});
    room.push_back(npc.get());
    PlaceBlade(30.0f);
    Frames(2);
    EXPECT_TRUE(level.windowTypes.empty()) << "asked for only when needed";
    TapE();
    ASSERT_EQ(level.windowTypes, (std::vector<std::string>{"Controls"}));
    EXPECT_EQ(level.windowSizes[0], (Vec2{200.0f, 120.0f}));
    RecordingWindow* window = level.lastWindow;
    EXPECT_TRUE(window->open);
    Frames(3);
    EXPECT_GE(window->updates, 3);
    TapE();
    EXPECT_FALSE(window->open) << "talking again closes it";
    TapE();
    EXPECT_TRUE(window->open);
    EXPECT_EQ(level.windowTypes.size(), 1u) << "one window, reused";
    PlaceBlade(80.0f);
    Frames(1);
    EXPECT_FALSE(window->open) << "walking away closes it";
}

TEST_F(CharactersTest, AWindowCharacterWithoutAWindowDoesNothing) {
    LevelServices::current = nullptr; // no level to make one
    auto npc = std::make_unique<WindowNPC>(1, Vec2{0.0f, 0.0f}, Vec2{96.0f, 96.0f}, Body({1}),
                                           Prompt(), false, nullptr, "Map", Vec2{0.0f, 0.0f});
    room.push_back(npc.get());
    PlaceBlade(30.0f);
    TapE();
    Frames(5);
    EXPECT_EQ(npc->window, nullptr);
    EXPECT_TRUE(npc->promptUp) << "it still offers to talk";
}

TEST_F(CharactersTest, FriendsAreNotHurt) {
    DialogNPC* npc = AddTalker(false);
    npc->ChangeHealth(-1.0f, nullptr);
    EXPECT_FLOAT_EQ(npc->health, 1.0f);
}

class StationTest : public CharactersTest {
protected:
    RefillStation* AddStation(bool health) {
        station = std::make_unique<RefillStation>(1, Vec2{0.0f, 0.0f}, Vec2{96.0f, 96.0f},
                                                  Body({4, 4, 8, 8, 2, 2}, 0.08f), Prompt(), false,
                                                  health, false);
        room.push_back(station.get());
        return station.get();
    }
    std::unique_ptr<RefillStation> station;
};

TEST_F(StationTest, ThreeUsesAtLeastThreeSecondsApartThenEmpty) {
    RefillStation* s = AddStation(true);
    PlaceBlade(30.0f);
    Frames(1);
    EXPECT_EQ(s->Body()->animation, RefillStation::HealthIdle);
    std::vector<int> usedAt;
    for (int frame = 0; frame < 60 * 12; ++frame) {
        blade->health = 0.2f;
        const int before = s->usesLeft;
        // E is hammered: down one frame, up the next.
        QNInputInjectKey(QN_VK_E, frame % 2 == 0);
        Frames(1);
        if (s->usesLeft < before) {
            usedAt.push_back(frame);
            EXPECT_FLOAT_EQ(blade->health, 1.0f);
            EXPECT_EQ(s->Body()->animation, RefillStation::HealthAction);
        }
        if (frame > 0 && s->usesLeft > 0 && s->cooldown > 0.0f) {
            EXPECT_EQ(s->interactionOn, 0) << "cooling down, frame " << frame;
        }
    }
    ASSERT_EQ(usedAt.size(), 3u);
    EXPECT_GE(usedAt[1] - usedAt[0], 180);
    EXPECT_GE(usedAt[2] - usedAt[1], 180);
    EXPECT_EQ(s->usesLeft, 0);
    EXPECT_EQ(s->Body()->animation, RefillStation::HealthEmpty);
    EXPECT_EQ(s->interactionOn, 0);
    EXPECT_FALSE(s->promptUp) << "an empty station offers nothing";
    blade->health = 0.2f;
    s->Interact(*blade);
    EXPECT_FLOAT_EQ(blade->health, 0.2f) << "ignored once empty";
}

TEST_F(StationTest, ASpecialStationFillsSpecialEnergy) {
    RefillStation* s = AddStation(false);
    PlaceBlade(30.0f);
    blade->special = 0.1f;
    blade->health = 0.5f;
    TapE();
    EXPECT_FLOAT_EQ(blade->special, 1.0f);
    EXPECT_FLOAT_EQ(blade->health, 0.5f);
    EXPECT_EQ(s->Body()->animation, RefillStation::SpecialAction);
    EXPECT_EQ(s->usesLeft, 2);
}

} // namespace
