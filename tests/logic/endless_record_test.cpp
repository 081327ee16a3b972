// The endless mode's best depth: its own small file, read forgivingly and
// written safely.
#include "world/EndlessRecord.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

TEST(EndlessRecordTest, AFileThatHoldsNoSensibleRecordReadsAsZero) {
    ScratchGameDir dir;
    EXPECT_EQ(ReadBestDepth(kEndlessRecordFile), 0) << "missing file";
    struct Case {
        const char* text;
        int32_t depth;
    } cases[] = {
        {"<endless best=\"12\"/>", 12},
        {"<endless best=\"0\"/>", 0},
        {"<endless best=\"-4\"/>", 0},
        {"<endless best=\"deep\"/>", 0},
        {"<endless best=\"99999999999\"/>", 0},
        {"<endless/>", 0},
        {"<settings best=\"5\"/>", 0},
        {"<endless best=\"7\"", 0},
        {"", 0},
    };
    for (const Case& c : cases) {
        dir.Write(kEndlessRecordFile, c.text);
        EXPECT_EQ(ReadBestDepth(kEndlessRecordFile), c.depth) << c.text;
    }
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
