#include "documents/ArchiveMembers.h"

#include <gtest/gtest.h>

using namespace ArchiveMembers;

TEST(ArchiveMembers, ReadsTarAndUnzipListings)
{
    const Members tar = fromTarListing(
        "-rw-r--r-- 0/0               5 2024-01-01 00:00 \"a \\\"b\\\"\\nc\\303\\251\\\\ -> x\"\n"
        "drwxr-xr-x                  Creating directory: \"dir\"\n"
        "lrw-r--r-- 0/0               0 2024-01-01 00:00 \"dir/l\" -> \"../t\"\n"
        "hrw-r--r-- 0/0               0 2024-01-01 00:00 \"h\" link to \"dir/l\"\n");
    ASSERT_EQ(tar.size(), 4u);
    EXPECT_EQ(tar[0].name, "a \"b\"\nc\xc3\xa9\\ -> x");
    EXPECT_EQ(tar[1].name, "dir");
    EXPECT_EQ(std::string({tar[0].type, tar[2].type, tar[3].type}), "-lh");
    EXPECT_EQ(tar[2].link, "../t");
    EXPECT_EQ(tar[3].link, "dir/l");

    const Members zip = fromZipListing(
        "-rw-r--r--  3.0 unx       14 tx stor 26-Dec-06 21:06   two spaces\n"
        "lrwxrwxrwx  3.0 unx        6 b- stor 80-Jan-01 00:00 l\n");
    ASSERT_EQ(zip.size(), 2u);
    EXPECT_EQ(zip[0].name, "  two spaces");
    EXPECT_EQ(zip[1].type, 'l');
    EXPECT_EQ(zip[1].name, "l");
}

TEST(ArchiveMembers, FindsTheFirstMemberThatLeaves)
{
    const auto first = [](Members members) { return firstEscaping(members).value_or(""); };
    EXPECT_EQ(first({{'d', "./", ""}, {'-', "./a/./b", ""}, {'l', "a/l", "/etc"}, {'-', "a/lx", ""}}), "");
    EXPECT_EQ(first({{'-', "ok", ""}, {'-', "a/../../x", ""}, {'-', "/abs", ""}}), "a/../../x");
    EXPECT_EQ(first({{'l', "./l", "/tmp"}, {'-', "l//x", ""}}), "l//x");
    EXPECT_EQ(first({{'l', "l", "/tmp"}, {'h', "h", "./l"}, {'-', "h/x", ""}}), "h/x");
    EXPECT_EQ(first({{'h', "h", "../etc/passwd"}}), "h");
    EXPECT_EQ(first({{'l', ".", "/"}}), ".");
}
