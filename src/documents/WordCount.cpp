#include "documents/DocumentOps.h"

#include "documents/TextFile.h"

#include <QLocale>
#include <QTextDocument>

namespace DocumentOps {

namespace {
bool isMark(char32_t c)
{
    const auto category = QChar::category(c);
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining || category == QChar::Mark_Enclosing;
}

// One pass over the code points, close to Unicode's word and grapheme rules for alphabetic
// text and many times faster than walking both kinds of boundaries: a word is a run of
// letters, digits and their marks that an apostrophe or a full stop may join ("it's",
// "3.5") and a comma may join between digits ("1,000"); a character is a code point that is
// neither white space nor a mark, a variation selector or what a zero-width joiner ties on.
std::pair<qint64, qint64> count(const QString& text)
{
    qint64 words = 0, characters = 0;
    bool inWord = false, joining = false, afterJoiner = false, lastDigit = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        const bool mark = isMark(c);
        const bool space = QChar::isSpace(c);
        if (!space && !mark && !afterJoiner && c != 0x200D && !(c >= 0xFE00 && c <= 0xFE0F)) ++characters;
        afterJoiner = c == 0x200D;
        if (QChar::isLetterOrNumber(c) || c == '_' || (mark && inWord)) {
            if (!inWord && !joining) ++words;
            inWord = true;
            joining = false;
            lastDigit = QChar::isDigit(c);
        } else if (inWord && (c == '\'' || c == 0x2019 || c == '.' || (c == ',' && lastDigit))) {
            inWord = false;
            joining = true;
        } else {
            inWord = joining = false;
        }
    }
    return {words, characters};
}
}

std::string wordCount(const Path& source)
{
    const std::string ext = lowerExt(source);
    // Plain text is its own plain text: no document model is built for it.
    const QString text = ext == "txt" || ext == "text" ? QString::fromStdString(TextFile::read(source)) : read(source)->toPlainText();
    const auto [words, characters] = count(text);
    const QLocale locale;
    return (locale.toString(words) + " words · " + locale.toString(characters) + " characters").toStdString();
}

}
