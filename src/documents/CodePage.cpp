#include "documents/CodePage.h"

#include <iconv.h>

#include <cerrno>
#include <map>
#include <string>

namespace CodePage {

QString decode(std::string_view bytes, int codePage)
{
    if (bytes.empty()) return {};
    iconv_t converter = iconv_open("UTF-8", ("CP" + std::to_string(codePage)).c_str());
    if (converter == iconv_t(-1)) converter = iconv_open("UTF-8", "CP1252");
    if (converter == iconv_t(-1)) return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    std::string out(bytes.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* to = out.data();
    std::size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(converter, &in, &inLeft, &to, &outLeft) != std::size_t(-1)) break;
        if (errno == E2BIG) break;
        // An unmappable or cut-off sequence: one replacement character, then on.
        static constexpr char replacement[] = "\xEF\xBF\xBD";
        if (outLeft < 3) break;
        for (char c : std::string_view(replacement, 3)) *to++ = c;
        outLeft -= 3;
        ++in;
        --inLeft;
    }
    iconv_close(converter);
    return QString::fromUtf8(out.data(), to - out.data());
}

int ofCharset(int charset)
{
    static const std::map<int, int> pages = {{0, 1252}, {77, 10000}, {128, 932}, {129, 949}, {134, 936}, {136, 950}, {161, 1253}, {162, 1254},
                                             {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251}, {222, 874}, {238, 1250}};
    const auto found = pages.find(charset);
    return found == pages.end() ? 0 : found->second;
}

}
