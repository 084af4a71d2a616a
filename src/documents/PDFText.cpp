// The GLib binding comes first: its headers use the word "signals", which Qt's headers define.
#include <poppler.h>

#include "documents/PDFOps.h"

#include "core/Errors.h"
#include "core/Output.h"
#include "core/Progress.h"
#include "documents/Markdown.h"
#include "documents/PDFFiles.h"
#include "documents/SpreadsheetOps.h"

#include <poppler/qt6/poppler-qt6.h>

#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>

namespace PDFOps {

namespace {
template <class T>
using GPointer = std::unique_ptr<T, void (*)(gpointer)>;

// Only the Qt binding's text lacks fonts; the GLib binding reports them per run of text.
GPointer<PopplerDocument> openStyled(const Path& url)
{
    PDFFiles::startPoppler();
    GError* error = nullptr;
    const GPointer<gchar> uri(g_filename_to_uri(absoluteNormal(url).c_str(), nullptr, nullptr), g_free);
    PopplerDocument* document = uri ? poppler_document_new_from_file(uri.get(), nullptr, &error) : nullptr;
    if (!document) {
        const bool locked = error && g_error_matches(error, POPPLER_ERROR, POPPLER_ERROR_ENCRYPTED);
        g_clear_error(&error);
        throw KError(locked ? PDFFiles::locked(url) : PDFFiles::cannotOpen(url));
    }
    return {document, g_object_unref};
}

// Fonts are named "Family-Style" or "Family,Style", subsets behind a six-letter tag
// ("ABCDEF+Helvetica-BoldOblique"); the style words give weight and slant.
QTextCharFormat formatOf(const PopplerTextAttributes& run)
{
    static const QRegularExpression subsetTag("^[A-Z]{6}\\+");
    static const QRegularExpression styleSeparator("[-,]");
    QString name = QString::fromUtf8(run.font_name ? run.font_name : "");
    name.remove(subsetTag);
    const QString lower = name.toLower();
    QTextCharFormat format;
    if (const QString family = name.section(styleSeparator, 0, 0); !family.isEmpty()) format.setFontFamilies({family});
    if (run.font_size > 0) format.setFontPointSize(std::round(run.font_size * 2) / 2);
    for (const char* heavy : {"bold", "black", "heavy", "demi"}) {
        if (lower.contains(heavy)) format.setFontWeight(QFont::Bold);
    }
    if (lower.contains("italic") || lower.contains("oblique")) format.setFontItalic(true);
    if (run.is_underlined) format.setFontUnderline(true);
    const QColor colour(run.color.red >> 8, run.color.green >> 8, run.color.blue >> 8);
    if (colour != Qt::black) format.setForeground(colour);
    return format;
}

// Appends one page's text, trailing line breaks and spaces removed; false when it has none.
bool appendPage(QTextCursor& cursor, PopplerPage* page, bool first)
{
    const GPointer<char> text(poppler_page_get_text(page), g_free);
    const QList<uint> chars = QString::fromUtf8(text ? text.get() : "").toUcs4();
    qsizetype length = chars.size();
    while (length > 0 && QChar::isSpace(chars[length - 1])) --length;
    if (length == 0) return false;
    if (!first) cursor.insertText("\n\n", QTextCharFormat());

    // Which run styles each character (-1: none), so that runs become insertions.
    GList* runs = poppler_page_get_text_attributes(page);
    std::vector<const PopplerTextAttributes*> styles;
    std::vector<int> styleAt(length, -1);
    for (GList* item = runs; item; item = item->next) {
        const auto* run = static_cast<const PopplerTextAttributes*>(item->data);
        for (qsizetype i = std::max(0, run->start_index); i <= std::min<qsizetype>(run->end_index, length - 1); ++i) styleAt[i] = int(styles.size());
        styles.push_back(run);
    }
    for (qsizetype start = 0, end = 0; start < length; start = end) {
        while (end < length && styleAt[end] == styleAt[start]) ++end;
        const QString piece = QString::fromUcs4(reinterpret_cast<const char32_t*>(chars.data() + start), end - start);
        cursor.insertText(piece, styleAt[start] < 0 ? QTextCharFormat() : formatOf(*styles[styleAt[start]]));
    }
    poppler_page_free_text_attributes(runs);
    return true;
}

// The page's text lines as the words lie: words whose middles are at one height form a line,
// read left to right. A gap of three quarters of the text's height or more (what two or three
// spaces take) becomes a tab, which separates columns; a narrower one is a space.
std::vector<QString> lines(const Poppler::Page& page)
{
    std::vector<std::unique_ptr<Poppler::TextBox>> words = page.textList();
    const auto middle = [](const std::unique_ptr<Poppler::TextBox>& word) { return word->boundingBox().center().y(); };
    std::stable_sort(words.begin(), words.end(), [&](const auto& a, const auto& b) { return middle(a) < middle(b); });
    std::vector<std::vector<const Poppler::TextBox*>> rows;
    QRectF first;
    for (const auto& word : words) {
        const QRectF box = word->boundingBox();
        if (rows.empty() || std::abs(box.center().y() - first.center().y()) > 0.5 * std::min(box.height(), first.height())) {
            rows.emplace_back();
            first = box;
        }
        rows.back().push_back(word.get());
    }
    std::vector<QString> out;
    for (auto& row : rows) {
        std::stable_sort(row.begin(), row.end(), [](const auto* a, const auto* b) { return a->boundingBox().left() < b->boundingBox().left(); });
        QString line = row.front()->text();
        for (std::size_t i = 1; i < row.size(); ++i) {
            const QRectF before = row[i - 1]->boundingBox(), box = row[i]->boundingBox();
            const double gap = box.left() - before.right(), height = std::max(before.height(), box.height());
            if (gap >= 0.75 * height) line += '\t';
            else if (row[i - 1]->hasSpaceAfter() || gap >= 0.15 * height) line += ' ';
            line += row[i]->text();
        }
        out.push_back(line);
    }
    return out;
}
}

std::unique_ptr<QTextDocument> attributedText(const Path& url)
{
    const GPointer<PopplerDocument> document = openStyled(url);
    auto text = std::make_unique<QTextDocument>();
    QTextCursor cursor(text.get());
    bool first = true;
    const int count = poppler_document_get_n_pages(document.get());
    for (int i = 0; i < count; ++i) {
        const GPointer<PopplerPage> page(poppler_document_get_page(document.get(), i), g_object_unref);
        if (page && appendPage(cursor, page.get(), first)) first = false;
        Progress::report(double(i + 1) / count);
    }
    return text;
}

Path toSpreadsheet(const Path& url, const std::string& ext)
{
    static const QRegularExpression columns("\t| {2,}");
    const std::unique_ptr<Poppler::Document> document = open(url);
    Table rows;
    const int count = document->numPages();
    for (int i = 0; i < count; ++i) {
        if (const std::unique_ptr<Poppler::Page> page(document->page(i)); page) {
            for (const QString& line : lines(*page)) rows.push_back(Markdown::components(line.toStdString(), columns));
        }
        Progress::report(double(i + 1) / count);
    }
    if (rows.empty()) throw KError("No text found in this PDF (is it scanned?)");
    return Output::produce(url, ext, "", [&](const Path& to) { SpreadsheetOps::write(rows, to, ext); });
}

}
