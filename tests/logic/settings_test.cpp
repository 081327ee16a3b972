// The settings file: reading, defaults, the exact text written, safe writes.
#include "core/Settings.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

TEST(SettingsTest, WritesOneElementInFixedOrder) {
    Settings s;
    s.volume = 1.0f;
    s.muted = false;
    s.fullscreen = true;
    s.width = 1920;
    s.height = 1080;
    s.musicVolume = 0.7f;
    s.effectsVolume = 0.0f;
    EXPECT_EQ(FormatSettings(s),
              "<settings volume=\"1\" muted=\"0\" fullscreen=\"1\" width=\"1920\" "
              "height=\"1080\" musicVolume=\"0.69999999\" effectsVolume=\"0\"/>\n");
}

TEST(SettingsTest, RoundTripKeepsTheValues) {
    ScratchGameDir dir;
    dir.Write("settings.xml",
              "<settings volume=\"0.35\" muted=\"true\" fullscreen=\"false\" width=\"1366\" "
              "height=\"768\" musicVolume=\"0.6\" effectsVolume=\"1\"/>");
    Settings s;
    ASSERT_TRUE(ReadSettings("settings.xml", s));
    EXPECT_FLOAT_EQ(s.volume, 0.35f);
    EXPECT_TRUE(s.muted);
    EXPECT_FALSE(s.fullscreen);
    EXPECT_EQ(s.width, 1366);
    EXPECT_EQ(s.height, 768);
    EXPECT_FLOAT_EQ(s.musicVolume, 0.6f);
    EXPECT_FLOAT_EQ(s.effectsVolume, 1.0f);
    ASSERT_TRUE(WriteSettings("settings.xml", s));
    EXPECT_EQ(dir.Read("settings.xml"),
              "<settings volume=\"0.34999999\" muted=\"1\" fullscreen=\"0\" width=\"1366\" "
              "height=\"768\" musicVolume=\"0.60000002\" effectsVolume=\"1\"/>\n");
    EXPECT_FALSE(dir.Exists("settings.xml.tmp"));
}

TEST(SettingsTest, AFileFromBeforeTheTwoLevelsSoundsAsItDid) {
    // One volume, no music or effects level: both levels take it and the
    // master goes to full, so nothing gets louder or softer on the update.
    ScratchGameDir dir;
    dir.Write("settings.xml", "<settings volume=\"0.35\" muted=\"0\" fullscreen=\"1\" "
                              "width=\"1920\" height=\"1080\"/>");
    Settings s;
    ASSERT_TRUE(ReadSettings("settings.xml", s));
    EXPECT_FLOAT_EQ(s.volume, 1.0f);
    EXPECT_FLOAT_EQ(s.musicVolume, 0.35f);
    EXPECT_FLOAT_EQ(s.effectsVolume, 0.35f);
    EXPECT_EQ(s.width, 1920);
    // A file with one level only: the other one takes the old volume.
    dir.Write("settings.xml", "<settings volume=\"0.5\" musicVolume=\"0.2\"/>");
    ASSERT_TRUE(ReadSettings("settings.xml", s));
    EXPECT_FLOAT_EQ(s.volume, 0.5f);
    EXPECT_FLOAT_EQ(s.musicVolume, 0.2f);
    EXPECT_FLOAT_EQ(s.effectsVolume, 0.5f);
}

TEST(SettingsTest, UnreadableFilesAreReportedSoTheCallerUsesDefaults) {
    ScratchGameDir dir;
    Settings s;
    s.width = 77;
    EXPECT_FALSE(ReadSettings("settings.xml", s)) << "missing file";
    dir.Write("settings.xml", "<settings volume=\"1\"");
    EXPECT_FALSE(ReadSettings("settings.xml", s)) << "malformed file";
    dir.Write("settings.xml", "<options volume=\"0.5\" width=\"800\" height=\"600\"/>");
    EXPECT_FALSE(ReadSettings("settings.xml", s)) << "another root element";
    EXPECT_EQ(s.width, 77);
}

TEST(SettingsTest, MissingOrBadAttributesReadAsZero) {
    ScratchGameDir dir;
    dir.Write("settings.xml", "<settings muted=\"maybe\" width=\"wide\"/>");
    Settings s;
    ASSERT_TRUE(ReadSettings("settings.xml", s));
    // No volume at all: silent, through the two levels that carry it now.
    EXPECT_EQ(s.musicVolume, 0.0f);
    EXPECT_EQ(s.effectsVolume, 0.0f);
    EXPECT_FALSE(s.muted);
    EXPECT_FALSE(s.fullscreen);
    EXPECT_EQ(s.width, 0);
    EXPECT_EQ(s.height, 0);
}

TEST(SettingsTest, VerticalSyncIsWrittenOnlyWhenOn) {
    ScratchGameDir dir;
    Settings s;
    dir.Write("settings.xml", "<settings volume=\"1\" width=\"800\" height=\"600\"/>");
    ASSERT_TRUE(ReadSettings("settings.xml", s));
    EXPECT_FALSE(s.vsync);
    EXPECT_EQ(FormatSettings(s).find("vsync"), std::string::npos);
    dir.Write("settings.xml",
              "<settings volume=\"1\" width=\"800\" height=\"600\" vsync=\"true\"/>");
    ASSERT_TRUE(ReadSettings("settings.xml", s));
    EXPECT_TRUE(s.vsync);
    EXPECT_EQ(FormatSettings(s),
              "<settings volume=\"1\" muted=\"0\" fullscreen=\"0\" width=\"800\" "
              "height=\"600\" musicVolume=\"1\" effectsVolume=\"1\" vsync=\"1\"/>\n");
}

TEST(SettingsTest, VolumeOutsideItsRangeIsBroughtBack) {
    ScratchGameDir dir;
    struct Case {
        const char* text;
        float expected;
    } cases[] = {{"7", 1.0f}, {"-2", 0.0f}, {"nan", 0.0f}, {"0.5", 0.5f}};
    for (const Case& c : cases) {
        dir.Write("settings.xml", std::string("<settings volume=\"") + c.text +
                                      "\" musicVolume=\"" + c.text + "\" effectsVolume=\"" +
                                      c.text + "\"/>");
        Settings s;
        ASSERT_TRUE(ReadSettings("settings.xml", s));
        EXPECT_EQ(s.volume, c.expected) << c.text;
        EXPECT_EQ(s.musicVolume, c.expected) << c.text;
        EXPECT_EQ(s.effectsVolume, c.expected) << c.text;
    }
}

TEST(SettingsTest, AFailedWriteLeavesTheOldFileIntact) {
    ScratchGameDir dir;
    dir.Write("settings.xml", "<settings volume=\"0.5\"/>");
    // A directory squatting on the temporary name makes the write fail.
    ASSERT_EQ(mkdir("settings.xml.tmp", 0755), 0);
    Settings s;
    EXPECT_FALSE(WriteSettings("settings.xml", s));
    EXPECT_EQ(dir.Read("settings.xml"), "<settings volume=\"0.5\"/>");
    rmdir("settings.xml.tmp");
    EXPECT_FALSE(WriteSettings("no-such-dir/settings.xml", s));
}

TEST(AtomicFileSetTest, FilesAreReplacedTogetherOrNotAtAll) {
    ScratchGameDir dir;
    dir.Write("a.txt", "old a");
    dir.Write("b.txt", "old b");
    {
        // Staged but never committed: the old files stay, the temporaries go.
        AtomicFileSet files;
        ASSERT_TRUE(files.Stage("a.txt", "new a"));
        ASSERT_TRUE(files.Stage("b.txt", "new b"));
        EXPECT_EQ(dir.Read("a.txt"), "old a");
    }
    EXPECT_EQ(dir.Read("a.txt"), "old a");
    EXPECT_FALSE(dir.Exists("a.txt.tmp"));
    EXPECT_FALSE(dir.Exists("b.txt.tmp"));

    // One file that cannot be staged: the caller gives up, nothing changes,
    // and the squatter on the temporary name is left alone.
    ASSERT_EQ(mkdir("b.txt.tmp", 0755), 0);
    {
        AtomicFileSet files;
        ASSERT_TRUE(files.Stage("a.txt", "new a"));
        EXPECT_FALSE(files.Stage("b.txt", "new b"));
        EXPECT_NE(files.Error().find("b.txt.tmp"), std::string::npos) << files.Error();
    }
    EXPECT_EQ(dir.Read("a.txt"), "old a");
    EXPECT_FALSE(dir.Exists("a.txt.tmp"));
    EXPECT_TRUE(dir.Exists("b.txt.tmp"));
    rmdir("b.txt.tmp");

    AtomicFileSet files;
    ASSERT_TRUE(files.Stage("a.txt", "new a"));
    ASSERT_TRUE(files.Stage("b.txt", "new b"));
    ASSERT_TRUE(files.Commit());
    EXPECT_EQ(dir.Read("a.txt"), "new a");
    EXPECT_EQ(dir.Read("b.txt"), "new b");
    EXPECT_FALSE(dir.Exists("a.txt.tmp"));
}

} // namespace
