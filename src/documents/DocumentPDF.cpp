#include "documents/DocumentOps.h"

#include "core/Errors.h"
#include "documents/TextModel.h"

#include <QAbstractTextDocumentLayout>
#include <QLocale>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTextDocument>

namespace DocumentOps {

namespace {
constexpr double margin = 54;

// Every run without a colour of its own is made black, so that the page never takes the
// desktop's (possibly light-on-dark) text colour.
void blackByDefault(QTextDocument& document)
{
    TextModel::restyle(document, [](const QTextCharFormat& format) -> std::optional<QTextCharFormat> {
        if (format.hasProperty(QTextFormat::ForegroundBrush)) return std::nullopt;
        QTextCharFormat black;
        black.setForeground(Qt::black);
        return black;
    });
}
}

void renderPDF(const QTextDocument& document, const Path& to)
{
    const QPageSize paper(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4);
    QPdfWriter writer(QString::fromStdString(to.string()));
    writer.setCreator("Varnolt");
    writer.setPageLayout(QPageLayout(paper, QPageLayout::Portrait, QMarginsF(margin, margin, margin, margin), QPageLayout::Point));

    const std::unique_ptr<QTextDocument> copy(document.clone());
    blackByDefault(*copy);
    // Laid out on the writer itself, page by page at the printable size, so that print()
    // draws it unscaled and adds no margins or page numbers of its own.
    copy->documentLayout()->setPaintDevice(&writer);
    copy->setDocumentMargin(0);
    copy->setPageSize(writer.pageLayout().paintRectPixels(writer.resolution()).size());
    copy->print(&writer);
    // A writer that could not open its file draws nothing and says nothing.
    std::error_code error;
    if (std::filesystem::file_size(to, error) == 0 || error) throw KError("Couldn't create PDF");
}

}
