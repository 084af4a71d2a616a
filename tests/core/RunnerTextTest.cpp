#include "core/RunnerText.h"

#include <QLocale>

#include <gtest/gtest.h>

class RunnerTextTest : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale::c()); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }
};

TEST_F(RunnerTextTest, SizesShowTheSavingOnlyWhenTheOutputIsSmaller)
{
    EXPECT_EQ(RunnerText::sizes(2'000'000, 500'000), "2.0 MB → 500 kB  (−75%)");
    EXPECT_EQ(RunnerText::sizes(2'400'000, 1'100'000), "2.4 MB → 1.1 MB  (−54%)");
    EXPECT_EQ(RunnerText::sizes(1'000, 999), "1 kB → 999 bytes  (−0%)");  // truncated, not rounded
    EXPECT_EQ(RunnerText::sizes(500'000, 2'000'000), "500 kB → 2.0 MB");
    EXPECT_EQ(RunnerText::sizes(1'000, 1'000), "1 kB → 1 kB");
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
