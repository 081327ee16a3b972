// The endless mode's best depth: its own small file, read forgivingly and
// written safely.
#include "world/EndlessRecord.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>

namespace {

TEST(EndlessRecordTest, AFileThatHoldsNoSensibleRecordReadsAsZero) {
    ScratchGameDir dir;
    EXPECT_EQ(ReadBestDepth(kEndlessRecordFile), 0) << "missing file";
    struct Case {
        const char* text;
        int32_t depth;
        const char* problem; // why the file is not used; "" when it is
    } cases[] = {
        {"<endless best=\"12\"/>", 12, ""},
        {"<endless best=\"0\"/>", 0, ""},
        {"<endless best=\"-4\"/>", 0, "best \"-4\" is not a depth (0 to 2147483647)"},
        {"<endless best=\"deep\"/>", 0, "best \"deep\" is not a depth (0 to 2147483647)"},
        {"<endless best=\"1e30\"/>", 0, "best \"1e30\" is not a depth (0 to 2147483647)"},
        {"<endless best=\"99999999999\"/>", 0,
         "best \"99999999999\" is not a depth (0 to 2147483647)"},
        {"<endless/>", 0, "it names no best depth"},
        {"<settings best=\"5\"/>", 0, "the file holds no endless element"},
        {"<endless best=\"7\"", 0, "the file cannot be read (XML_ERROR_PARSING"},
        {"garbage", 0, "the file cannot be read (XML_ERROR_PARSING_TEXT)"},
        {"", 0, "the file cannot be read (XML_ERROR_EMPTY_DOCUMENT)"},
    };
    for (const Case& c : cases) {
        dir.Write(kEndlessRecordFile, c.text);
        std::string problem;
        EXPECT_EQ(ReadBestDepth(kEndlessRecordFile, &problem), c.depth) << c.text;
        EXPECT_EQ(problem.rfind(c.problem, 0), 0u) << c.text << ": " << problem;
        EXPECT_EQ(problem.empty(), std::string(c.problem).empty()) << c.text << ": " << problem;
    }
}

TEST(EndlessRecordTest, ARecordOfMegabytesIsRefusedUnread) {
    ScratchGameDir dir;
    // A real record is one short line: 50 MB of empty elements is no record
    // (the game used to parse all of it, gigabytes at the main menu).
    {
        std::string block;
        for (int i = 0; i < 1 << 16; ++i)
            block += "<a/>";
        std::FILE* f = std::fopen(kEndlessRecordFile, "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("<endless best=\"9\"/>", f);
        for (int i = 0; i < 200; ++i)
            std::fwrite(block.data(), 1, block.size(), f);
        std::fclose(f);
    }
    std::string problem;
    EXPECT_EQ(ReadBestDepth(kEndlessRecordFile, &problem), 0);
    EXPECT_EQ(problem, "the file is larger than the 65536 bytes such a file may hold");
    // A deeper run writes a proper record over it.
    EXPECT_TRUE(RecordDepth(kEndlessRecordFile, 3));
    EXPECT_EQ(ReadBestDepth(kEndlessRecordFile), 3);
}

TEST(EndlessRecordTest, OnlyADeeperLevelReplacesTheRecord) {
    ScratchGameDir dir;
    EXPECT_TRUE(RecordDepth(kEndlessRecordFile, 3));
    EXPECT_EQ(dir.Read(kEndlessRecordFile), "<endless best=\"3\"/>\n");
    EXPECT_TRUE(RecordDepth(kEndlessRecordFile, 2));
    EXPECT_EQ(ReadBestDepth(kEndlessRecordFile), 3);
    EXPECT_TRUE(RecordDepth(kEndlessRecordFile, 8));
    EXPECT_EQ(ReadBestDepth(kEndlessRecordFile), 8);
    EXPECT_FALSE(dir.Exists(std::string(kEndlessRecordFile) + ".tmp"));
}

TEST(EndlessRecordTest, AFailedWriteKeepsTheOldRecord) {
    ScratchGameDir dir;
    ASSERT_TRUE(WriteBestDepth(kEndlessRecordFile, 4));
    // A directory squatting on the temporary name makes the write fail.
    ASSERT_EQ(mkdir("endless.xml.tmp", 0755), 0);
    EXPECT_FALSE(RecordDepth(kEndlessRecordFile, 9));
    EXPECT_EQ(ReadBestDepth(kEndlessRecordFile), 4);
    rmdir("endless.xml.tmp");
    EXPECT_FALSE(WriteBestDepth("no-such-dir/endless.xml", 1));
}

} // namespace
