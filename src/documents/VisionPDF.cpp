#include "documents/VisionPDF.h"

#include "core/Errors.h"
#include "core/Output.h"
#include "core/Progress.h"
#include "documents/PDFOps.h"
#include "documents/TextFile.h"

#include <poppler/qt6/poppler-qt6.h>

#include <QString>

namespace VisionOps {

TextOutput ocrPDF(const Path& url)
{
    const std::unique_ptr<Poppler::Document> document = PDFOps::open(url);
    const int count = document->numPages();
    std::string text;
    bool first = true;
    for (int i = 0; i < count; ++i) {
        const std::unique_ptr<Poppler::Page> page(document->page(i));
        if (!page) continue;
        std::string pageText = page->text(QRectF()).trimmed().toStdString();
        // A page without a text layer of its own is a scan: its picture is read instead.
        if (pageText.empty()) pageText = recognizeText(PDFOps::render(*page, 300));
        if (!first) text += "\n\n";
        text += pageText;
        first = false;
        Progress::report(double(i + 1) / count);
    }
    if (QString::fromStdString(text).trimmed().isEmpty()) throw KError("No text found in " + url.filename().string());
    const Path output = Output::produce(url, "txt", "text", [&](const Path& to) { TextFile::write(to, text); });
    return {output, std::move(text)};
}

}
