// Where the game finds its folder and writes the player's files, and the
// notices that tell the player when a write failed.
#include "core/Notices.h"
#include "core/UserFiles.h"

#include "support/TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>

namespace fs = std::filesystem;

namespace {

// Sets (or unsets, with nullopt) an environment variable for a scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : key(name) {
        if (const char* old = std::getenv(name))
            previous = old;
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (previous)
            setenv(key.c_str(), previous->c_str(), 1);
        else
            unsetenv(key.c_str());
    }

private:
    std::string key;
    std::optional<std::string> previous;
};

class UserFilesTest : public ::testing::Test {
protected:
    void TearDown() override {
        UserFiles::SetInstalled(false);
        UserFiles::Choose(); // back to the working directory for the tests after
        ClearNotices();
    }
    // A folder holding what marks a game's folder.
    static void MakeGameFolder(const fs::path& at) {
        fs::create_directories(at / "assets");
        std::ofstream(at / "assets" / "levels.xml") << "<levels/>";
    }
    std::string Here(const std::string& name) const { return dir.Path() + "/" + name; }

    ScratchGameDir dir;
};

TEST_F(UserFilesTest, TheGameFolderIsFoundFromAnyWorkingDirectory) {
    fs::remove(Here("assets")); // this scratch folder is not a game folder itself
    MakeGameFolder(Here("build"));
    MakeGameFolder(Here("prefix/share/quorvane"));
    MakeGameFolder(Here("usr/share/games/quorvane"));
    fs::create_directories(Here("prefix/bin"));
    fs::create_directories(Here("usr/games"));
    fs::create_directories(Here("elsewhere"));
    fs::create_directories(Here("unpacked/assets/rooms")); // its levels.xml is lost
    struct Case {
        std::string executable, workingDir, folder;
        bool installed;
    } cases[] = {
        // Started in a game folder: it is the game's folder, as always.
        {Here("prefix/bin/quorvane"), Here("build"), Here("build"), false},
        // A build or an unpacked game started from elsewhere.
        {Here("build/quorvane"), Here("elsewhere"), Here("build"), false},
        // An installed game: its files are in <prefix>/share/quorvane.
        {Here("prefix/bin/quorvane"), Here("elsewhere"), Here("prefix/share/quorvane"), true},
        // Installed as Debian lays out games: <prefix>/share/games/quorvane.
        {Here("usr/games/quorvane"), Here("elsewhere"), Here("usr/share/games/quorvane"), true},
        {Here("usr/games/quorvane"), Here("usr/games"), Here("usr/share/games/quorvane"), true},
        // Nothing anywhere.
        {Here("elsewhere/quorvane"), Here("elsewhere"), "", false},
        // Assets without their catalogue are still the game's (the menu
        // names what is missing), unless another folder has it all.
        {Here("unpacked/quorvane"), Here("elsewhere"), Here("unpacked"), false},
        {Here("build/quorvane"), Here("unpacked"), Here("build"), false},
    };
    for (const Case& c : cases) {
        const UserFiles::GameFolder found = UserFiles::FindGameFolder(c.executable, c.workingDir);
        EXPECT_EQ(found.path, c.folder) << c.executable << " in " << c.workingDir;
        EXPECT_EQ(found.installed, c.installed) << c.executable << " in " << c.workingDir;
    }
}

TEST_F(UserFilesTest, TheDataDirectoryFollowsXdgDataHome) {
    const ScopedEnv home("HOME", std::string("/home/player"));
    {
        const ScopedEnv xdg("XDG_DATA_HOME", std::string("/data/player"));
        EXPECT_EQ(UserFiles::DataDir(), "/data/player/quorvane");
    }
    {
        // A relative XDG_DATA_HOME does not count.
        const ScopedEnv xdg("XDG_DATA_HOME", std::string("relative"));
        EXPECT_EQ(UserFiles::DataDir(), "/home/player/.local/share/quorvane");
    }
    const ScopedEnv xdg("XDG_DATA_HOME", std::nullopt);
    EXPECT_EQ(UserFiles::DataDir(), "/home/player/.local/share/quorvane");
    const ScopedEnv noHome("HOME", std::nullopt);
    EXPECT_EQ(UserFiles::DataDir(), "");
}

TEST_F(UserFilesTest, AWritableGameFolderKeepsTheFilesAsBefore) {
    const ScopedEnv xdg("XDG_DATA_HOME", Here("data"));
    UserFiles::Choose();
    EXPECT_EQ(UserFiles::Dir(), "");
    EXPECT_EQ(UserFiles::Path("settings.xml"), "settings.xml");
    EXPECT_FALSE(fs::exists(Here("data"))) << "nothing is made that is not needed";
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        EXPECT_EQ(entry.path().filename(), "assets") << "the probe leaves nothing behind";
}

TEST_F(UserFilesTest, AnInstalledGameWritesToTheDataDirectory) {
    const ScopedEnv xdg("XDG_DATA_HOME", Here("data"));
    UserFiles::SetInstalled(true);
    UserFiles::Choose();
    EXPECT_EQ(UserFiles::Dir(), Here("data/quorvane"));
    EXPECT_TRUE(fs::is_directory(Here("data/quorvane")));
    EXPECT_EQ(UserFiles::Path("save.xml"), Here("data/quorvane/save.xml"));
}

TEST_F(UserFilesTest, AnUnwritableGameFolderWritesToTheDataDirectory) {
    const ScopedEnv xdg("XDG_DATA_HOME", Here("data"));
    fs::create_directories(Here("game"));
    fs::current_path(Here("game"));
    {
        const ReadOnlyDir readOnly(Here("game"));
        if (!readOnly.ok)
            GTEST_SKIP() << "this file system cannot make a folder read-only";
        EXPECT_FALSE(UserFiles::CanWriteIn(""));
        UserFiles::Choose();
        EXPECT_EQ(UserFiles::Dir(), Here("data/quorvane"));
    }
    fs::current_path(dir.Path());
}

TEST_F(UserFilesTest, AFailedWriteIsToldOnTheConsoleAndOnTheScreen) {
    testing::internal::CaptureStderr();
    UserFiles::ReportWriteFailure("the save game", "save.xml.tmp: Permission denied");
    const std::string console = testing::internal::GetCapturedStderr();
    EXPECT_NE(console.find("could not write the save game (save.xml.tmp: Permission denied)"),
              std::string::npos)
        << console;
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_EQ(Notices()[0].text, "Could not write the save game: save.xml.tmp: Permission denied");
}

TEST(NoticesTest, NoticesLastTheirTimeAndTheSameTextStartsOver) {
    ClearNotices();
    PostNotice("a", 2.0f);
    PostNotice("b", 5.0f);
    AdvanceNotices(1.5f);
    PostNotice("a", 2.0f); // again: one line, its time starts over, it is the newest
    ASSERT_EQ(Notices().size(), 2u);
    EXPECT_EQ(Notices()[0].text, "b");
    EXPECT_EQ(Notices()[1].text, "a");
    AdvanceNotices(2.0f);
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_EQ(Notices()[0].text, "b");
    AdvanceNotices(1.5f);
    EXPECT_TRUE(Notices().empty());
    // Only the newest few are kept on screen.
    for (int i = 0; i < 10; ++i)
        PostNotice(std::to_string(i));
    ASSERT_EQ(Notices().size(), 4u);
    EXPECT_EQ(Notices().back().text, "9");
    ClearNotices();
}

} // namespace
