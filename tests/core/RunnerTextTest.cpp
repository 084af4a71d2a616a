#include "core/RunnerText.h"

#include <QLocale>

#include <gtest/gtest.h>

class RunnerTextTest : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale::c()); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }
};

TEST_F(RunnerTextTest, ByteCountsReadLikeAFileManagers)
{
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "0 bytes"}, {1, "1 byte"}, {999, "999 bytes"}, {1'000, "1 KB"}, {1'499, "1 KB"}, {1'500, "2 KB"},
        {500'000, "500 KB"}, {999'499, "999 KB"}, {999'999, "1 MB"}, {2'000'000, "2 MB"}, {2'040'000, "2 MB"},
        {2'400'000, "2.4 MB"}, {999'960'000, "1 GB"}, {1'250'000'000, "1.25 GB"}, {1'200'000'000, "1.2 GB"},
        {3'000'000'000'000, "3 TB"}};
    for (const auto& [bytes, text] : cases) EXPECT_EQ(RunnerText::byteCount(bytes), text) << bytes;
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_EQ(RunnerText::byteCount(2'400'000), "2,4 MB");
}

TEST_F(RunnerTextTest, SizesShowTheSavingOnlyWhenTheOutputIsSmaller)
{
    EXPECT_EQ(RunnerText::sizes(2'000'000, 500'000), "2 MB → 500 KB  (−75%)");
    EXPECT_EQ(RunnerText::sizes(2'400'000, 1'100'000), "2.4 MB → 1.1 MB  (−54%)");
    EXPECT_EQ(RunnerText::sizes(1'000, 999), "1 KB → 999 bytes  (−0%)");  // truncated, not rounded
    EXPECT_EQ(RunnerText::sizes(500'000, 2'000'000), "500 KB → 2 MB");
    EXPECT_EQ(RunnerText::sizes(1'000, 1'000), "1 KB → 1 KB");
    EXPECT_EQ(RunnerText::sizes(0, 0), "0 bytes → 0 bytes");
}

TEST_F(RunnerTextTest, TitlesAndCounts)
{
    EXPECT_EQ(RunnerText::title({"/tmp/photo.jpg"}), "photo.jpg");
    EXPECT_EQ(RunnerText::title({"/tmp/a.jpg", "/tmp/b.jpg", "/tmp/c.jpg"}), "3 files");
    EXPECT_EQ(RunnerText::failureTitle("Compress"), "Couldn't compress");
    EXPECT_EQ(RunnerText::moved(1), "Moved 1 file to the Trash");
    EXPECT_EQ(RunnerText::moved(2), "Moved 2 files to the Trash");
}
