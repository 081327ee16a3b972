// The dialogue box on real OpenGL: portraits sliding into their corners,
// lines placed beside them, conversations without a portrait or without
// lines, the confirm input that moves a conversation along (and, held, speeds
// the game up), broken files; the credits line's fade; the window of
// controls a character opens.
#include "core/Runtime.h"
#include "core/Tween.h"
#include "engine/QNGraphics.h"
#include "engine/QNInput.h"
#include "engine/QNKeys.h"
#include "engine/QNSystem.h"
#include "entities/LevelServices.h"
#include "entities/Player.h"
#include "render/FadeTransition.h"
#include "render/FontAtlas.h"
#include "render/LightedAnimation2D.h"
#include "render/PostProcessor.h"
#include "render/Resources.h"
#include "ui/ChatController.h"
#include "ui/Dialog.h"
#include "ui/InfoWindow.h"
#include "ui/UIText.h"
#include "world/TriggerLine.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr float kFrame = 1.0f / 60.0f;
constexpr int kWindowWidth = 640, kWindowHeight = 360;
constexpr float kRenderWidth = kWindowWidth / 2, kRenderHeight = kWindowHeight / 2;

constexpr const char* kBothSides = R"(<conversation>
 <rhs texture="portrait_quartermaster.png" frames="8" frameDelay="0.18" width="96" height="90"/>
 <lhs texture="portrait_blade.png" frames="8" frameDelay="0.18" width="80" height="80"/>
 <dialog side="right">First.</dialog>
 <dialog side="left">Second.</dialog>
 <dialog side="right">Third.</dialog>
</conversation>)";

class DialogueBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(window.ok) << "no OpenGL window";
        Runtime::Get().SetRenderSize(kWindowWidth / 2, kWindowHeight / 2);
        Runtime::Get().timeScale = 1.0f;
        QNGfxSetCamPosition(kRenderWidth * 0.5f, kRenderHeight * 0.5f);
        QNGfxSetRenderMode(QN_RENDER_TEXTURE);
        ASSERT_TRUE(FontAtlas::InitLibrary());
        font = std::make_unique<FontAtlas>("PixAntiqua.ttf");
        FontAtlas::Shared() = font.get();
        QNInputReset();
        QNInputSetScripted(true);
        Runtime::Get().gamePad.SetScripted(true);
        Runtime::Get().gamePad.InjectNone();
        ClearTweens();
        chats = std::make_unique<ChatController>();
    }
    void TearDown() override {
        chats.reset();
        DialogPool::Clear();
        ClearTweens();
        FontAtlas::Shared() = nullptr;
        font.reset();
        Runtime::Get().timeScale = 1.0f;
        Runtime::Get().gamePad.SetScripted(false);
        QNInputSetScripted(false);
        Resources::Unload();
    }
    void Load(const std::string& name, const std::string& text) {
        dir.Write(name + ".xml", text);
        chats->LoadFile(name, dir.Path() + "/" + name + ".xml");
    }
    // One frame as the level runs it: input, tweens, the box.
    void Frame() {
        QNInputUpdate();
        const float dt = kFrame * Runtime::Get().timeScale;
        UpdateTweens(dt, Runtime::Get().timeScale);
        chats->Update(dt);
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i)
            Frame();
    }
    void Hold(bool down) { QNInputInjectKey(QN_VK_LBUTTON, down); }
    // Draws the box into the overlay; a GL error would halt.
    void Draw() {
        PostProcessor pp(static_cast<int32_t>(kRenderWidth), static_cast<int32_t>(kRenderHeight));
        pp.Begin();
        pp.ClearOverlay();
        chats->Draw(&pp);
        pp.Present(0);
    }

    ScratchGameDir dir; // the game's assets, a place for conversation files
    GlWindow window{kWindowWidth, kWindowHeight};
    std::unique_ptr<FontAtlas> font;
    std::unique_ptr<ChatController> chats;
};

TEST_F(DialogueBoxTest, PortraitsSlideIntoTheirCornersAndLinesStandBesideThem) {
    Load("both", kBothSides);
    ASSERT_TRUE(chats->IsLoaded("both"));
    chats->Start("both");
    ASSERT_TRUE(chats->Running());
    Frames(75); // the slide takes a second
    // Conversations are laid out in interface units, whatever the window.
    const float right = Runtime::Get().UIHalfExtent().x;
    const float bottom = -Runtime::Get().UIHalfExtent().y;
    EXPECT_NEAR(chats->portraits[0].GetPosition().x, right - 48.0f, 0.01f);
    EXPECT_NEAR(chats->portraits[0].GetPosition().y, bottom + 45.0f, 0.01f);
    EXPECT_EQ(chats->portraits[0].GetScale(), (Vec2{96.0f, 90.0f}));
    EXPECT_NEAR(chats->portraits[1].GetPosition().x, -right + 40.0f, 0.01f);
    EXPECT_EQ(chats->portraits[1].GetScale(), (Vec2{-80.0f, 80.0f})) << "mirrored";
    EXPECT_FLOAT_EQ(chats->portraits[0].tint[3], 1.0f);
    // The first line stands left of the right portrait, its box's bottom at
    // the portrait's middle.
    Dialog* line = chats->shownLine;
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->text, u"First.");
    EXPECT_NEAR(line->boxPosition.x, right - 96.0f - Dialog::kBoxWidth / 2, 0.01f);
    EXPECT_NEAR(line->boxPosition.y, bottom + 45.0f + line->targetHeight / 2, 0.01f);
    EXPECT_FLOAT_EQ(line->Opacity(), 1.0f);
    EXPECT_FLOAT_EQ(line->boxTop->GetScale().x, Dialog::kBoxWidth);
    Draw();

    // A press pushes it up and brings the next, beside the left portrait.
    Hold(true);
    Frame();
    Hold(false);
    EXPECT_EQ(chats->previousLine, line);
    Frames(40);
    ASSERT_NE(chats->shownLine, nullptr);
    EXPECT_EQ(chats->shownLine->text, u"Second.");
    EXPECT_NEAR(chats->shownLine->boxPosition.x, -right + 80.0f + Dialog::kBoxWidth / 2, 0.01f);
    EXPECT_FLOAT_EQ(chats->shownLine->boxTop->GetScale().x, -Dialog::kBoxWidth) << "mirrored";
    EXPECT_NEAR(line->boxPosition.y,
                bottom + 45.0f + ChatController::kLineStep + line->targetHeight / 2, 0.01f);
    EXPECT_FLOAT_EQ(line->Opacity(), 0.5f);
    Draw();
}

TEST_F(DialogueBoxTest, AConversationWithoutALeftPortraitPlacesLeftLinesOnTheCorner) {
    Load("alone", R"(<c>
        <rhs texture="portrait_commander.png" frames="8" frameDelay="0.18" width="96" height="96"/>
        <dialog side="left">From the dark.</dialog></c>)");
    chats->Start("alone");
    Frames(75);
    EXPECT_TRUE(chats->portraits[1].frames.empty()) << "no left portrait";
    ASSERT_NE(chats->shownLine, nullptr);
    const float left = -Runtime::Get().UIHalfExtent().x;
    EXPECT_NEAR(chats->shownLine->boxPosition.x, left + Dialog::kBoxWidth / 2, 0.01f);
    EXPECT_NEAR(chats->shownLine->boxPosition.y,
                -Runtime::Get().UIHalfExtent().y + chats->shownLine->targetHeight / 2, 0.01f);
    Draw();
}

TEST_F(DialogueBoxTest, AConversationWithNoLinesFadesItsPortraitsInAndOut) {
    Load(
        "silent",
        R"(<c><rhs texture="portrait_scout.png" frames="8" frameDelay="0.2" width="96" height="96"/></c>)");
    chats->Start("silent");
    Frame();
    EXPECT_TRUE(chats->closing);
    EXPECT_EQ(chats->shownLine, nullptr);
    EXPECT_TRUE(chats->Running());
    Frames(30);
    EXPECT_LT(chats->portraits[0].tint[3], 0.5f);
    Frames(35);
    EXPECT_FALSE(chats->Running()) << "over after the second of fading";
    EXPECT_FLOAT_EQ(chats->portraits[0].tint[3], 0.0f);
}

TEST_F(DialogueBoxTest, ReleasingBeforeTheLineIsHalfInDoesNotAdvanceAndTimeDriftsBack) {
    Load("both", kBothSides);
    chats->Start("both");
    Frame();
    Dialog* first = chats->shownLine;
    ASSERT_NE(first, nullptr);
    Hold(true);
    Frames(5);
    Hold(false);
    EXPECT_LT(first->Opacity(), 0.5f);
    EXPECT_EQ(chats->shownLine, first);
    Runtime::Get().timeScale = 2.0f;
    float last = 2.0f;
    for (int i = 0; i < 60; ++i) {
        Frame();
        EXPECT_LT(Runtime::Get().timeScale, last) << "drifting back, frame " << i;
        EXPECT_GT(Runtime::Get().timeScale, 1.0f);
        last = Runtime::Get().timeScale;
    }
    EXPECT_EQ(chats->shownLine, first) << "still the first line";
    EXPECT_EQ(chats->previousLine, nullptr);
    EXPECT_EQ(chats->holdTime, 0.0f);
}

TEST_F(DialogueBoxTest, HoldingRunsThroughTheConversationFasterAndLetsGoAfter) {
    std::string text = "<c><rhs texture=\"portrait_blade.png\" frames=\"8\" frameDelay=\"0.1\" "
                       "width=\"96\" height=\"96\"/>";
    for (int i = 0; i < 12; ++i)
        text += "<dialog side=\"right\">On and on.</dialog>";
    Load("long", text + "</c>");
    chats->Start("long");
    Hold(true);
    float fastest = 1.0f;
    int frames = 0;
    for (; frames < 600 && chats->Running(); ++frames) {
        Frame();
        fastest = std::max(fastest, Runtime::Get().timeScale);
        if (chats->holdTime > 1.05f && chats->shownLine) {
            EXPECT_GT(Runtime::Get().timeScale, 1.0f);
            EXPECT_FLOAT_EQ(chats->advanceRate, Runtime::Get().timeScale) << "the pitch follows";
        }
    }
    EXPECT_FALSE(chats->Running()) << "held through to the end";
    EXPECT_GT(fastest, 1.5f);
    EXPECT_LT(fastest, ChatController::kFastScale);
    Hold(false);

    // Released in the middle of a line: the pitch is natural again.
    Runtime::Get().timeScale = 1.0f;
    chats->Start("long");
    Hold(true);
    for (int i = 0; i < 200 && !(chats->holdTime > 1.1f && chats->shownLine); ++i)
        Frame();
    ASSERT_NE(chats->shownLine, nullptr);
    EXPECT_NE(chats->advanceRate, 1.0f);
    Hold(false);
    Frame();
    EXPECT_FLOAT_EQ(chats->advanceRate, 1.0f);
}

TEST_F(DialogueBoxTest, TheKeyboardDoesNotAdvanceButThePadsAButtonDoes) {
    Load("both", kBothSides);
    chats->Start("both");
    Frames(60);
    Dialog* first = chats->shownLine;
    QNInputInjectKey(QN_VK_RETURN, true);
    QNInputInjectKey(QN_VK_E, true);
    Frames(3);
    QNInputInjectKey(QN_VK_RETURN, false);
    QNInputInjectKey(QN_VK_E, false);
    EXPECT_EQ(chats->shownLine, first);
    ControllerState pad;
    pad.buttons = PAD_A;
    Runtime::Get().gamePad.InjectController(pad);
    Runtime::Get().gamePad.PollXInput(kFrame);
    Frame();
    EXPECT_EQ(chats->previousLine, first);
}

TEST_F(DialogueBoxTest, UnknownNamesAndBrokenFilesStartNothing) {
    chats->Start("7");
    EXPECT_FALSE(chats->Running());
    chats->Load("no-such-conversation");
    EXPECT_FALSE(chats->IsLoaded("no-such-conversation"));
    Load("empty", "");
    Load("prose", "Steel first, questions later.");
    EXPECT_FALSE(chats->IsLoaded("empty"));
    EXPECT_FALSE(chats->IsLoaded("prose"));
    chats->Start("empty");
    Frames(3);
    EXPECT_FALSE(chats->Running());
    // A portrait whose strip is narrower than its frames: lines without it.
    Load("thin",
         R"(<c><rhs texture="popup_box.png" frames="200" frameDelay="0.1" width="96" height="96"/>
        <dialog>Still spoken.</dialog></c>)");
    ASSERT_TRUE(chats->IsLoaded("thin"));
    chats->Start("thin");
    Frame();
    EXPECT_TRUE(chats->portraits[0].frames.empty());
    ASSERT_NE(chats->shownLine, nullptr);
    EXPECT_EQ(chats->shownLine->text, u"Still spoken.");
}

TEST_F(DialogueBoxTest, ALineLongerThanItsBoxIsCutAfterEightRowsAndSaidSo) {
    std::string words;
    while (words.size() < 5000)
        words += "steel first questions later ";
    words.pop_back();                         // the reader trims the line's ends
    const std::string megabyte(1 << 20, 'x'); // one word of a megabyte
    const std::string text = "<c><dialog>Short.</dialog><dialog>" + words + "</dialog><dialog>" +
                             megabyte + "</dialog></c>";
    testing::internal::CaptureStderr();
    Load("long", text);
    const std::string path = dir.Path() + "/long.xml";
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "DIALOG: " + path + ": line 2 is " + std::to_string(words.size()) +
                  " characters, more than its box shows: cut after 8 rows\n" + "DIALOG: " + path +
                  ": line 3 is 1048576 characters, more than its box shows: cut after 8 rows\n");
    chats->Start("long");
    // Each line shows at most eight rows, in a box the screen holds; what
    // is laid out is what is shown. Holding the button runs through them.
    std::vector<const Dialog*> seen;
    Hold(true);
    for (int frame = 0; frame < 600 && seen.size() < 3; ++frame) {
        Frame();
        const Dialog* shown = chats->shownLine;
        if (!shown || (!seen.empty() && seen.back() == shown))
            continue;
        seen.push_back(shown);
        const size_t rows =
            static_cast<size_t>(std::count(shown->text.begin(), shown->text.end(), u'\n')) + 1;
        EXPECT_LE(rows, Dialog::kMaxRows) << seen.size();
        EXPECT_LE(shown->Vertices().size(), 16u * Dialog::kMaxCodes) << seen.size();
        EXPECT_LT(shown->targetHeight, Runtime::Get().UIHalfExtent().y) << seen.size();
        if (seen.size() == 1)
            EXPECT_EQ(shown->text, u"Short.");
        else
            EXPECT_EQ(rows, Dialog::kMaxRows) << seen.size();
        Draw();
    }
    Hold(false);
    EXPECT_EQ(seen.size(), 3u);
}

TEST_F(DialogueBoxTest, TheGamesConversationsLoadAndDraw) {
    for (const char* name : {"1", "2", "3"}) {
        chats->Load(name);
        ASSERT_TRUE(chats->IsLoaded(name)) << name;
    }
    chats->Start("1");
    Hold(true);
    for (int i = 0; i < 900 && chats->Running(); ++i) {
        Frame();
        if (i % 30 == 0)
            Draw();
    }
    EXPECT_FALSE(chats->Running());
    for (const auto& entry : chats->chats)
        for (const Dialog* line : entry.second->lines)
            EXPECT_LE(line->width, TextSprite::kWrapWidth + 0.5f) << "wrapped to the box";
}

TEST_F(DialogueBoxTest, TheCreditsLineFadesToBlackAndAsksForTheCredits) {
    LevelServices::current = nullptr;
    SceneId asked = SceneId::Splash;
    SetSceneRequestHandlers({[&](SceneId id) { asked = id; }, {}});
    Player blade(1);
    blade.SetPosition(0.0f, -8.0f);
    blade.Body()->Update(0.0f, nullptr);
    EntityList room{&blade};
    FadeTransition::Instance().color[3] = 0.0f;
    LevelMap::TriggerLine line(Line2D({0.0f, -50.0f}, {0.0f, 50.0f}), LevelMap::TriggerCredits, 1,
                               0);
    EXPECT_FALSE(line.Update(room));
    for (int i = 0; i < 40; ++i)
        UpdateTweens(kFrame, 1.0f);
    EXPECT_FLOAT_EQ(FadeTransition::Instance().color[3], 1.0f);
    EXPECT_EQ(asked, SceneId::Credits);
    SetSceneRequestHandlers({});
}

TEST_F(DialogueBoxTest, TheControlsWindowListsTheInputsOfTheDeviceInUse) {
    InfoWindow controls("Controls", {10.0f, 10.0f}, nullptr);
    EXPECT_FALSE(controls.IsOpen());
    controls.Open();
    EXPECT_TRUE(controls.IsOpen());
    EXPECT_EQ(controls.openSize, (Vec2{InfoWindow::kControlsWidth, InfoWindow::kControlsHeight}));
    for (int i = 0; i < 100; ++i) {
        UpdateTweens(kFrame, 1.0f);
        controls.Update(kFrame);
    }
    EXPECT_EQ(controls.size, controls.openSize);
    EXPECT_NE(controls.FindText("Controls"), nullptr);
    EXPECT_NE(controls.FindText("W A S D"), nullptr);
    EXPECT_NE(controls.FindText("E"), nullptr);
    EXPECT_EQ(controls.FindText("Hold A"), nullptr);
    // Every row fits inside the frame.
    for (const UIElement* e : controls.elements) {
        const auto* text = dynamic_cast<const UIText*>(e);
        if (!text || text->fadingOut)
            continue;
        EXPECT_LE(std::fabs(text->GetPosition().x) + text->width / 2, controls.size.x / 2)
            << std::string(text->text.begin(), text->text.end());
    }
    // A pad plugged in rewrites the list.
    ControllerState pad;
    Runtime::Get().gamePad.InjectController(pad);
    for (int i = 0; i < 30; ++i) {
        Runtime::Get().gamePad.PollXInput(kFrame);
        UpdateTweens(kFrame, 1.0f);
        controls.Update(kFrame);
    }
    EXPECT_NE(controls.FindText("Hold A"), nullptr);
    EXPECT_EQ(controls.FindText("W A S D"), nullptr);
    // "Close" closes it.
    UIText* close = controls.FindText("Close");
    ASSERT_NE(close, nullptr);
    close->onPress(close, false);
    EXPECT_FALSE(controls.IsOpen());
    InfoWindow other("Map", {120.0f, 80.0f}, nullptr);
    other.Open();
    EXPECT_TRUE(other.elements.empty()) << "any other kind is an empty frame";
    EXPECT_EQ(other.openSize, (Vec2{120.0f, 80.0f}));
}

} // namespace
