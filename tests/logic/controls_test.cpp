// The player's controls: the defaults, rebinding and its refusals, the
// names kept in the settings file, and files from before the controls.
#include "core/Controls.h"
#include "core/GamePad.h"
#include "core/Settings.h"
#include "engine/QNKeys.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(ControlsTest, TheDefaultsAreTheReadmesAndAgreeWithEachOther) {
    Controls c;
    EXPECT_EQ(c.Get(Action::MoveUp).key, QN_VK_W);
    EXPECT_EQ(c.Get(Action::LightSlash).key, QN_VK_LBUTTON);
    EXPECT_EQ(c.Get(Action::LightSlash).pad, PAD_A);
    EXPECT_EQ(c.Get(Action::Aim).key, QN_VK_LSHIFT);
    EXPECT_EQ(c.Get(Action::Pause).pad, PAD_START);
    EXPECT_EQ(c.Get(Action::Screenshot).key, QN_VK_F12);
    // Binding every action to its own default again is never refused: the
    // defaults hold no conflict (the pad's A and D-pad serve play and menus,
    // which never happen at once).
    for (int32_t i = 0; i < kActionCount; ++i) {
        const auto a = static_cast<Action>(i);
        const Binding b = c.Get(a);
        EXPECT_FALSE(c.BindKey(a, b.key)) << Describe(a).label;
        EXPECT_FALSE(c.BindPad(a, b.pad)) << Describe(a).label;
    }
}

TEST(ControlsTest, ConflictsAreRefusedAndNameWhatHoldsTheInput) {
    Controls c;
    struct Case {
        Action action;
        uint8_t key;
        uint16_t pad;
        const char* holder; // nullptr: accepted
    } cases[] = {
        {Action::LightSlash, 'K', 0, nullptr},
        {Action::HeavySlash, 'K', 0, "Light slash"},  // just bound above
        {Action::MoveUp, QN_VK_F12, 0, "Screenshot"}, // the screenshot works while playing
        {Action::MenuUp, 'W', 0, nullptr},            // moving and menus never meet
        {Action::MenuConfirm, QN_VK_ESCAPE, 0, "Pause"},
        {Action::MenuDown, QN_VK_RIGHT, 0, ""}, // Right changes values in menus
        {Action::Talk, 0, PAD_B, "Heavy slash"},
        {Action::Talk, 0, PAD_Y, nullptr},
        {Action::Pause, 0, PAD_A, "Light slash"},
    };
    for (const Case& k : cases) {
        const Binding before = c.Get(k.action);
        const auto refused = k.key ? c.BindKey(k.action, k.key) : c.BindPad(k.action, k.pad);
        const std::string what =
            std::string(Describe(k.action).label) + " <- " + (k.key ? KeyId(k.key) : PadId(k.pad));
        if (!k.holder) {
            EXPECT_FALSE(refused) << what;
            EXPECT_EQ(k.key ? c.Get(k.action).key : c.Get(k.action).pad, k.key ? k.key : k.pad)
                << what;
            continue;
        }
        ASSERT_TRUE(refused) << what;
        EXPECT_EQ(*refused, k.holder) << what;
        EXPECT_EQ(c.Get(k.action), before) << what << ": nothing changes";
    }
    c.Reset();
    EXPECT_EQ(c.bindings, DefaultBindings());
}

TEST(ControlsTest, EveryInputHasANameThatReadsBack) {
    for (int key = 1; key < 256; ++key) {
        const std::string id = KeyId(static_cast<uint8_t>(key));
        ASSERT_EQ(KeyFromId(id), key) << id;
    }
    for (const uint16_t button : PadButtons())
        EXPECT_EQ(PadFromId(PadId(button)), button) << PadId(button);
    EXPECT_EQ(KeyLabel(QN_VK_LSHIFT), "Left Shift");
    EXPECT_EQ(PadLabel(PAD_LEFT_SHOULDER), "LB");
}

TEST(ControlsTest, RebindingsAreKeptInTheSettingsFileAndOldFilesKeepTheDefaults) {
    ScratchGameDir dir;
    Settings s;
    s.width = 1280;
    s.height = 720;
    const std::string plain = FormatSettings(s);
    EXPECT_EQ(plain.find("bind"), std::string::npos) << "default controls write nothing";
    s.controls[static_cast<size_t>(Action::LightSlash)] = {'K', PAD_Y};
    ASSERT_TRUE(WriteSettings("settings.xml", s));
    EXPECT_NE(dir.Read("settings.xml").find("<bind action=\"lightSlash\" key=\"K\" pad=\"Y\"/>"),
              std::string::npos)
        << dir.Read("settings.xml");
    Settings read;
    ASSERT_TRUE(ReadSettings("settings.xml", read));
    EXPECT_EQ(read.controls, s.controls);

    // A file from before the controls, or with names this game does not
    // know, keeps the defaults where it says nothing usable.
    dir.Write("settings.xml", "<settings volume=\"1\" width=\"800\" height=\"600\">"
                              "<bind action=\"fly\" key=\"K\"/>"
                              "<bind action=\"heavySlash\" key=\"NoSuchKey\" pad=\"B\"/>"
                              "<bind action=\"talk\" key=\"F\" pad=\"none\"/></settings>");
    ASSERT_TRUE(ReadSettings("settings.xml", read));
    Bindings expected = DefaultBindings();
    expected[static_cast<size_t>(Action::Talk)] = {'F', 0};
    EXPECT_EQ(read.controls, expected);
    dir.Write("settings.xml", "<settings volume=\"1\" width=\"800\" height=\"600\"/>");
    ASSERT_TRUE(ReadSettings("settings.xml", read));
    EXPECT_EQ(read.controls, DefaultBindings());
}

} // namespace
