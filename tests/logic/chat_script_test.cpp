// Conversation files: what a good one holds, the side rules of its lines,
// UTF-8 text, and every way a file can be broken (read as nothing, or as
// lines without a portrait, never a crash).
#include "core/AssetManifest.h"
#include "core/Utf8.h"
#include "ui/Chat.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(Utf8Test, DecodesToSixteenBitUnits) {
    struct Case {
        std::string in;
        std::u16string out;
    };
    const Case cases[] = {
        {"Blade", u"Blade"},
        {"caf\xC3\xA9", u"caf\u00E9"},         // two bytes
        {"\xE2\x80\x94", u"\u2014"},           // three bytes
        {"\xF0\x9F\x97\xA1", u"\xD83D\xDDE1"}, // four bytes: a surrogate pair
        {"a\x80z", u"a\uFFFDz"},               // a stray continuation byte
        {"\xC3", u"\uFFFD"},                   // cut short at the end
        {"\xC3(", u"\uFFFD("},                 // cut short by the next character
        {"\xC0\xAF", u"\uFFFD"},               // an overlong form
        {"\xED\xA0\x80", u"\uFFFD"},           // an encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD"},       // beyond U+10FFFF
        {"\xFF", u"\uFFFD"},                   // no such lead byte
        {"line\none", u"line\none"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeUtf8(c.in), c.out) << c.in;
}

class ChatScriptTest : public ::testing::Test {
protected:
    // Reads `text` written as a conversation file.
    bool Read(const std::string& text) {
        dir.Write("chat.xml", text);
        return ReadChatScript(dir.Path() + "/chat.xml", script);
    }
    ScratchGameDir dir; // its assets/ are the game's
    ChatScript script;
};

TEST_F(ChatScriptTest, AFileWithBothPortraitsAndItsLines) {
    ASSERT_TRUE(Read(R"(<conversation>
        <lhs texture="portrait_blade.png" frames="4" frameDelay="0.25" width="96" height="96"/>
        <rhs texture="portrait_quartermaster.png" frames="4" frameDelay="0.2" width="80" height="90"/>
        <dialog side="right">  Steel first, questions later.  </dialog>
        <dialog side="left">Caf&#233; au lait &amp; a blade.</dialog>
        <dialog>Same side as before.</dialog>
        <dialog side="rhs">Right.</dialog>
        <dialog side="x">Anything else is left.</dialog>
    </conversation>)"));
    EXPECT_EQ(script.portraits[0].texture, "portrait_quartermaster.png");
    EXPECT_EQ(script.portraits[0].frames, 4);
    EXPECT_FLOAT_EQ(script.portraits[0].frameDelay, 0.2f);
    EXPECT_EQ(script.portraits[0].size, (Vec2{80.0f, 90.0f}));
    EXPECT_EQ(script.portraits[1].texture, "portrait_blade.png");
    ASSERT_EQ(script.lines.size(), 5u);
    EXPECT_EQ(script.lines[0].text, u"Steel first, questions later.");
    EXPECT_EQ(script.lines[1].text, u"Caf\u00E9 au lait & a blade.");
    const int sides[] = {0, 1, 1, 0, 1};
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(script.lines[i].side, sides[i]) << i;
}

TEST_F(ChatScriptTest, TheFirstLineWithoutASideSpeaksFromTheLeft) {
    ASSERT_TRUE(Read("<c><dialog>One.</dialog><dialog>Two.</dialog></c>"));
    ASSERT_EQ(script.lines.size(), 2u);
    EXPECT_EQ(script.lines[0].side, 1);
    EXPECT_EQ(script.lines[1].side, 1);
    EXPECT_TRUE(script.portraits[0].texture.empty());
    EXPECT_TRUE(script.portraits[1].texture.empty());
}

TEST_F(ChatScriptTest, MissingEmptyOrNonXmlFilesReadAsNothing) {
    EXPECT_FALSE(ReadChatScript(dir.Path() + "/nowhere.xml", script));
    EXPECT_FALSE(Read(""));
    EXPECT_FALSE(Read("Steel first, questions later."));
    EXPECT_FALSE(Read("<conversation><dialog>unclosed</conversation>"));
    EXPECT_FALSE(Read("<?xml version=\"1.0\"?>"));
    EXPECT_TRUE(script.lines.empty());
}

TEST_F(ChatScriptTest, ABrokenPortraitIsLeftOutAndTheLinesStay) {
    const std::string good = R"(texture="portrait_blade.png" frames="4" frameDelay="0.2" )";
    const std::string cases[] = {
        R"(<lhs texture="portrait_nobody.png" frames="4" frameDelay="0.2" width="96" height="96"/>)",
        R"(<lhs frames="4" frameDelay="0.2" width="96" height="96"/>)",
        "<lhs " + good + R"(width="96"/>)",
        "<lhs " + good + R"(width="-96" height="96"/>)",
        "<lhs " + good + R"(width="1e30" height="96"/>)",
        "<lhs " + good + R"(width="nan" height="96"/>)",
        R"(<lhs texture="portrait_blade.png" frames="0" frameDelay="0.2" width="96" height="96"/>)",
        R"(<lhs texture="portrait_blade.png" frames="2000000000" frameDelay="0.2" width="96" height="96"/>)",
        R"(<lhs texture="portrait_blade.png" frames="4" frameDelay="-1" width="96" height="96"/>)",
        R"(<lhs texture="portrait_blade.png" frames="4" frameDelay="inf" width="96" height="96"/>)",
    };
    for (const std::string& portrait : cases) {
        SCOPED_TRACE(portrait);
        ASSERT_TRUE(Read("<c>" + portrait + "<dialog>Still here.</dialog></c>"));
        EXPECT_TRUE(script.portraits[1].texture.empty());
        ASSERT_EQ(script.lines.size(), 1u);
        EXPECT_EQ(script.lines[0].text, u"Still here.");
    }
}

TEST_F(ChatScriptTest, EveryConversationOfTheGameReadsWithItsPortraits) {
    namespace fs = std::filesystem;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(SourceDir()) / "assets/dialogs")) {
        SCOPED_TRACE(entry.path().string());
        ASSERT_TRUE(ReadChatScript(entry.path().string(), script));
        EXPECT_FALSE(script.lines.empty());
        EXPECT_FALSE(script.portraits[0].texture.empty() && script.portraits[1].texture.empty());
        for (const ChatScript::Portrait& p : script.portraits) {
            if (p.texture.empty())
                continue;
            // The strip's frames as the art has them.
            const AssetImage* image = FindAssetImage(p.texture);
            ASSERT_NE(image, nullptr) << p.texture;
            EXPECT_EQ(p.frames, image->frames) << p.texture;
        }
        for (const ChatScript::Line& line : script.lines) {
            EXPECT_FALSE(line.text.empty());
            for (char16_t c : line.text)
                EXPECT_TRUE(c == u'\n' || (c >= 32 && c <= 255)) << "no glyph for " << int(c);
        }
        ++files;
    }
    EXPECT_GE(files, 3);
}

} // namespace
