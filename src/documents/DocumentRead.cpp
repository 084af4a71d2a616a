// First: the image library's GLib headers use the word "signals", which Qt's headers define.
#include "documents/PDFOps.h"

#include "documents/DocumentOps.h"

#include "core/Errors.h"
#include "core/Output.h"
#include "documents/DOCX.h"
#include "documents/EPUB.h"
#include "documents/LibreOffice.h"
#include "documents/Markdown.h"
#include "documents/MarkdownConvert.h"
#include "documents/ODT.h"
#include "documents/Office.h"
#include "documents/RTF.h"
#include "documents/TextClipping.h"
#include "documents/TextFile.h"
#include "documents/TextModel.h"

#include <QFile>
#include <QTextDocument>

namespace DocumentOps {

namespace {
std::string bytesOf(const Path& file)
{
    QFile in(QString::fromStdString(file.string()));
    if (!in.open(QIODevice::ReadOnly)) throw KError("Couldn't read " + file.filename().string() + ": " + in.errorString().toStdString());
    const QByteArray bytes = in.readAll();
    return bytes.toStdString();
}

std::unique_ptr<QTextDocument> rtf(const Path& file)
{
    try {
        return RTF::read(bytesOf(file));
    } catch (const RTF::NotRTF&) {
        throw KError(file.filename().string() + " isn't a readable RTF document.");
    }
}

// Markdown's HTML without the page's style sheet, which Qt would apply to every run.
std::unique_ptr<QTextDocument> markdown(const Path& file)
{
    return html("<!doctype html><html><head><meta charset=\"utf-8\"><title>" + Markdown::escape(MarkdownConvert::title(file)) + "</title></head><body>\n" +
                Markdown::toHTML(TextFile::read(file)) + "\n</body></html>");
}

// Word 97 and Pages documents: Writer turns them into a Word file, which we read.
std::unique_ptr<QTextDocument> throughWriter(const Path& file)
{
    if (!Office::isInstalled(Office::App::pages)) throw KError(Office::notInstalled(Office::App::pages));
    const Output::ScratchDir scratch;
    return DOCX::read(LibreOffice::convert(file, "docx", scratch.path()));
}
}

std::unique_ptr<QTextDocument> html(const std::string& text)
{
    auto document = TextModel::newDocument();
    document->setHtml(QString::fromStdString(text));
    return document;
}

std::unique_ptr<QTextDocument> read(const Path& source)
{
    const std::string ext = lowerExt(source);
    if (ext == "md" || ext == "markdown") return markdown(source);
    if (ext == "txt" || ext == "text") return TextModel::plain(QString::fromStdString(TextFile::read(source)));
    if (ext == "html" || ext == "htm") return html(TextFile::read(source));
    if (ext == "rtf") return rtf(source);
    // An RTFD package is a folder with the text in TXT.rtf.
    if (ext == "rtfd") return rtf(source / "TXT.rtf");
    if (ext == "docx") return DOCX::read(source);
    if (ext == "odt") return ODT::read(source);
    if (ext == "doc" || ext == "pages") return throughWriter(source);
    if (ext == "epub") return html(EPUB::readHTML(source));
    if (ext == "pdf") return PDFOps::attributedText(source);
    if (ext == "webarchive") return html(WebArchive::readHTML(source));
    if (ext == "textclipping") return TextClipping::read(source);
    throw KError("Can't read ." + ext + " documents");
}

}
