#include "documents/ArchiveMembers.h"

#include <gtest/gtest.h>

using namespace ArchiveMembers;

TEST(ArchiveMembers, ReadsUnzipListings)
{
    const Members zip = fromZipListing(
        "-rw-r--r--  3.0 unx       14 tx stor 26-Dec-06 21:06   two spaces\n"
        "lrwxrwxrwx  3.0 unx        6 b- stor 80-Jan-01 00:00 l\n"
        "-rw-r--r--  3.0 unx 2100000000 TX defN 26-Dec-06 21:06 secret.txt\n");
    ASSERT_EQ(zip.size(), 3u);
    EXPECT_EQ(zip[0].name, "  two spaces");
    EXPECT_EQ(zip[0].size, 14);
    EXPECT_EQ(zip[1].type, 'l');
    EXPECT_EQ(zip[2].size, 2100000000);
    EXPECT_EQ(std::vector<bool>({zip[0].encrypted, zip[2].encrypted}), std::vector<bool>({false, true}));
}

// A forged header can list any size; wrapped past int64 it would pass the free space check.
TEST(ArchiveMembers, SizesPastInt64StayTooLarge)
{
    EXPECT_EQ(fromZipListing("lrwxrwxrwx  3.0 u 322222222222222222222222222222222222222.0 unx 5 t- stor 26-Dec-07 07:51 f\n")[0].size, INT64_MAX);
    EXPECT_EQ(addSize(INT64_MAX - 1, INT64_MAX), INT64_MAX);
    EXPECT_EQ(addSize(5, -7), 5);
}

TEST(ArchiveMembers, FindsTheFirstMemberThatLeaves)
{
    const std::vector<std::pair<Members, std::string>> cases = {
        {{{'d', "./", ""}, {'-', "./a/./b", ""}, {'l', "a/l", "/etc"}, {'-', "a/lx", ""}}, ""},
        {{{'-', "ok", ""}, {'-', "a/../../x", ""}, {'-', "/abs", ""}}, "a/../../x"},
        {{{'l', "./l", "/tmp"}, {'-', "l//x", ""}}, "l//x"},
        {{{'l', "l", "/tmp"}, {'h', "h", "./l"}, {'-', "h/x", ""}}, "h/x"},
        {{{'h', "h", "../etc/passwd"}}, "h"},
        {{{'l', ".", "/"}}, "."},
    };
    for (const auto& [members, first] : cases) EXPECT_EQ(firstEscaping(members).value_or(""), first) << first;
}
