#include "TestSupport.h"
#include "documents/TextFile.h"

#include <QString>

using namespace TestSupport;

TEST(TextFile, ByteOrderMarksDecideThenUtf8ThenLatin1)
{
    using TextFile::decode;
    EXPECT_EQ(decode("\xEF\xBB\xBF" "caf\xC3\xA9"), "café");
    EXPECT_EQ(decode(std::string("\xFE\xFF\x00\x63\x00\xE9", 6)), "cé");
    EXPECT_EQ(decode(std::string("\xFF\xFE\x00\x00\x63\x00\x00\x00\xE9\x00\x00\x00", 12)), "cé");
    EXPECT_EQ(decode("caf\xC3\xA9"), "café");
    EXPECT_EQ(decode("caf\xE9 \xC3"), "café Ã");
    // Not UTF-8 after all: overlong, surrogate, beyond U+10FFFF, cut short after 8 plain bytes.
    for (const std::string bytes : {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "12345678\xE2\x82"}) {
        EXPECT_EQ(decode(bytes), QString::fromLatin1(bytes.data(), qsizetype(bytes.size())).toStdString()) << bytes;
    }
    EXPECT_EQ(decode(""), "");
}

TEST(TextFile, WritesWholeFilesOrNothing)
{
    TempDir dir;
    writeFile(dir / "out.txt", "");
    TextFile::write(dir / "out.txt", "new text");
    EXPECT_EQ(readFile(dir / "out.txt"), "new text");
    EXPECT_THROW(TextFile::write(dir / "missing" / "out.txt", "x"), KError);
    EXPECT_EQ(listFolder(dir.path()), std::vector<std::string>{"out.txt"});
    EXPECT_EQ(errorOf([&] { TextFile::read(dir / "absent.txt"); }), "Couldn't read absent.txt: it no longer exists");
}
