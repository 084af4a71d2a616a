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
    const std::pair<int, std::vector<size_t>> cases[] = {{0, {0}}, {8, {8}}, {9, {5, 4}}, {12, {6, 6}}, {16, {8, 8}}, {17, {6, 6, 5}}};
    for (const auto& [n, pages] : cases) EXPECT_EQ(sizes(n), pages) << n;
}
