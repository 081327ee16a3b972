// The settings file: reading, defaults, the exact text written, safe writes.
#include "core/Settings.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

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

// Everything read differently from what the file says is told, with what
// was used instead; a file the game wrote itself (old or new) tells nothing.
TEST(SettingsTest, WhatIsNotTakenFromTheFileIsTold) {
    const struct {
        const char* file; // nullptr: no file
        bool read;
        std::vector<std::string> told;
    } cases[] = {
        {nullptr, false, {}},
        {"<settings volume=\"0.35\" muted=\"0\" fullscreen=\"1\" width=\"1920\" "
         "height=\"1080\"/>",
         true,
         {}},
        {"<settings volume=\"1\" muted=\"1\" fullscreen=\"0\" width=\"800\" height=\"600\" "
         "musicVolume=\"0.5\" effectsVolume=\"0\" endlessSeed=\"42\" vsync=\"1\">"
         "<bind action=\"aim\" key=\"Q\" pad=\"none\"/></settings>",
         true,
         {}},
        {"<settings volume=\"1\"", false, {"the file cannot be read (XML_ERROR_PARSING"}},
        {"", false, {"the file cannot be read (XML_ERROR_EMPTY_DOCUMENT)"}},
        {"<options/>", false, {"the file holds no settings element: the defaults are used"}},
        {"<settings muted=\"maybe\" width=\"wide\" fullscreen=\"1\" height=\"600\"/>",
         true,
         {"no volume: read as 0", "muted \"maybe\" is neither on (1) nor off (0): read as off",
          "width \"wide\" is not a number: read as 0"}},
        // Switches are 1 or 0 (or true / false): other numbers are not taken
        // as on; window sides beyond any screen are held, and named.
        {"<settings volume=\"1\" muted=\"7\" fullscreen=\"-1\" width=\"99999999999999\" "
         "height=\"100000\"/>",
         true,
         {"muted \"7\" is neither on (1) nor off (0): read as off",
          "fullscreen \"-1\" is neither on (1) nor off (0): read as off",
          "width \"99999999999999\" is larger than any screen: read as 16384",
          "height \"100000\" is larger than any screen: read as 16384"}},
        {"<settings volume=\"1\" muted=\"true\" fullscreen=\"false\" width=\"-5\" "
         "height=\"600\"/>",
         true,
         {}},
        {"<settings volume=\"7\" muted=\"0\" fullscreen=\"1\" width=\"800\" height=\"600\" "
         "musicVolume=\"loud\" effectsVolume=\"0.5\" endlessSeed=\"-4\"/>",
         true,
         {"volume \"7\" is outside 0..1: read as 1",
          "musicVolume \"loud\" is not a number: read as 1",
          "endlessSeed \"-4\" is not a seed (0 to 4294967295): endless runs draw fresh ones"}},
        {"<settings volume=\"1\" muted=\"0\" fullscreen=\"1\" width=\"800\" height=\"600\" "
         "scaling=\"stretched\"/>",
         true,
         {"scaling \"stretched\" is neither pixelperfect nor smooth: read as smooth"}},
        {"<settings volume=\"1\" muted=\"0\" fullscreen=\"1\" width=\"800\" height=\"600\">"
         "<bind action=\"fly\" key=\"q\"/><bind action=\"aim\" key=\"nokey\" pad=\"z9\"/>"
         "</settings>",
         true,
         {"a binding for the unknown action \"fly\" is ignored",
          "the key \"nokey\" for aim is unknown: its default is kept",
          "the pad input \"z9\" for aim is unknown: its default is kept"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file ? c.file : "no file");
        ScratchGameDir dir;
        if (c.file)
            dir.Write("settings.xml", c.file);
        Settings s;
        std::vector<std::string> told;
        EXPECT_EQ(ReadSettings("settings.xml", s, &told), c.read);
        ASSERT_EQ(told.size(), c.told.size());
        for (size_t i = 0; i < told.size(); ++i)
            EXPECT_EQ(told[i].rfind(c.told[i], 0), 0u) << told[i];
    }
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

// A file from before the choice reads as smooth and is written back as it
// was; pixel-perfect is kept by name.
TEST(SettingsTest, TheScalingIsWrittenOnlyWhenPixelPerfect) {
    ScratchGameDir dir;
    Settings s;
    const std::string older = "<settings volume=\"1\" muted=\"0\" fullscreen=\"0\" width=\"800\" "
                              "height=\"600\" musicVolume=\"1\" effectsVolume=\"1\"/>\n";
    dir.Write("settings.xml", older);
    ASSERT_TRUE(ReadSettings("settings.xml", s));
    EXPECT_EQ(s.scaling, ScreenScaling::Smooth);
    EXPECT_EQ(FormatSettings(s), older);
    s.scaling = ScreenScaling::PixelPerfect;
    ASSERT_TRUE(WriteSettings("settings.xml", s));
    EXPECT_NE(dir.Read("settings.xml").find(" scaling=\"pixelperfect\""), std::string::npos);
    Settings back;
    ASSERT_TRUE(ReadSettings("settings.xml", back));
    EXPECT_EQ(back.scaling, ScreenScaling::PixelPerfect);
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

TEST(SettingsTest, AWindowTheDesktopCannotHoldIsBroughtIntoItsUsablePart) {
    // Desktop 1920 x 1080, of which panels leave 1920 x 1040 to windows.
    const struct {
        int32_t width, height;
        int32_t fittedWidth, fittedHeight;
        const char* told; // start of the line, "" when the size stands
    } cases[] = {
        {1280, 720, 1280, 720, ""},
        {1920, 1040, 1920, 1040, ""},
        {16384, 16384, 1920, 1040,
         "the window size 16384 x 16384 does not fit the desktop's "
         "usable 1920 x 1040: 1920 x 1040 is used instead"},
        {1280, 5000, 1280, 1040, "the window size 1280 x 5000 does not fit"},
        {-5, 600, 1920, 1080,
         "the window size -5 x 600 is smaller than 320 x 240: the desktop's "
         "1920 x 1080 is used instead"},
        {0, 0, 1920, 1080, "the window size 0 x 0 is smaller than 320 x 240"},
    };
    for (const auto& c : cases) {
        const WindowFit fit = FitWindowSize(c.width, c.height, 1920, 1080, 1920, 1040);
        EXPECT_EQ(fit.width, c.fittedWidth) << c.width << " x " << c.height;
        EXPECT_EQ(fit.height, c.fittedHeight) << c.width << " x " << c.height;
        EXPECT_EQ(fit.change.rfind(c.told, 0), 0u) << fit.change;
        EXPECT_EQ(fit.change.empty(), std::string(c.told).empty()) << fit.change;
    }
}

TEST(SettingsTest, AFileFarLargerThanAnySettingsIsNotRead) {
    ScratchGameDir dir;
    // A settings element followed by a megabyte of empty elements.
    std::string text = "<settings volume=\"0.5\" width=\"800\" height=\"600\"/>";
    for (int i = 0; i < 300000; ++i)
        text += "<a/>";
    dir.Write("settings.xml", text);
    Settings s;
    std::vector<std::string> told;
    EXPECT_FALSE(ReadSettings("settings.xml", s, &told));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(
        told[0],
        "the file is larger than the 65536 bytes such a file may hold: the defaults are used");
}
