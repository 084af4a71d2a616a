#pragma once
#include <QString>

#include <string_view>

// Text in the Windows code pages older formats name by number (RTF's \ansicpg, font
// charsets).
namespace CodePage {
// Decodes through iconv; bytes the code page cannot map become U+FFFD, and an unknown code
// page is read as Windows-1252.
QString decode(std::string_view bytes, int codePage);
// The code page of an RTF font charset number, or 0 when it names none.
int ofCharset(int charset);
}
