#include "documents/DocumentOps.h"

#include "documents/TextFile.h"

#include <QLocale>
#include <QTextBoundaryFinder>
#include <QTextDocument>

namespace DocumentOps {

namespace {
// Words as Unicode's word boundaries delimit them, counting only segments with a letter or a
// digit; characters as grapheme clusters that are not white space.
std::pair<qint64, qint64> count(const QString& text)
{
    qint64 words = 0, characters = 0;
    QTextBoundaryFinder wordFinder(QTextBoundaryFinder::Word, text);
    for (qsizetype start = 0, end = wordFinder.toNextBoundary(); end >= 0; start = end, end = wordFinder.toNextBoundary()) {
        for (qsizetype i = start; i < end; ++i) {
            if (text[i].isLetterOrNumber()) {
                ++words;
                break;
            }
        }
    }
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype start = 0, end = graphemes.toNextBoundary(); end >= 0; start = end, end = graphemes.toNextBoundary()) {
        if (end > start && !text[start].isSpace()) ++characters;
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
