#include "wheel/WheelPages.h"

#include <gtest/gtest.h>

namespace {
std::vector<size_t> sizes(int n)
{
    WheelOptions options(n);
    for (int i = 0; i < n; ++i) options[i].title = std::to_string(i);
    std::vector<size_t> result;
    int next = 0;
    for (const WheelOptions& page : WheelPages::split(options)) {
        result.push_back(page.size());
        for (const WheelOption& option : page) EXPECT_EQ(option.title, std::to_string(next++));
    }
    EXPECT_EQ(next, n);
    return result;
}
}

TEST(WheelPages, BalancedPagesOfAtMostEight)
{
    EXPECT_EQ(sizes(0), (std::vector<size_t>{0}));
    EXPECT_EQ(sizes(8), (std::vector<size_t>{8}));
    EXPECT_EQ(sizes(9), (std::vector<size_t>{5, 4}));
    EXPECT_EQ(sizes(12), (std::vector<size_t>{6, 6}));
    EXPECT_EQ(sizes(16), (std::vector<size_t>{8, 8}));
    EXPECT_EQ(sizes(17), (std::vector<size_t>{6, 6, 5}));
}
