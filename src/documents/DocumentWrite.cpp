#include "documents/DocumentOps.h"

#include "core/Errors.h"
#include "core/Files.h"
#include "core/Output.h"
#include "documents/DOCX.h"
#include "documents/EPUB.h"
#include "documents/LibreOffice.h"
#include "documents/Markdown.h"
#include "documents/MarkdownConvert.h"
#include "documents/Office.h"
#include "documents/RTF.h"
#include "documents/TextFile.h"
#include "documents/TextModel.h"

#include <QIODevice>
#include <QTextDocument>
#include <QTextDocumentWriter>

namespace DocumentOps {

const std::vector<std::string> targets = {"pdf", "docx", "epub", "md", "html", "rtf", "txt", "odt", "doc"};
const std::vector<std::string> ebookTargets = {"pdf", "docx", "md", "html", "rtf", "txt"};

bool canUseDOC()
{
    return Office::isInstalled(Office::App::pages);
}

namespace {
void odt(const QTextDocument& document, const Path& to)
{
    const std::unique_ptr<QTextDocument> copy(document.clone());
    TextModel::settleSizes(*copy);
    QTextDocumentWriter writer(QString::fromStdString(to.string()), "odf");
    if (!writer.write(copy.get())) throw KError("Couldn't write " + to.filename().string() + ": " + writer.device()->errorString().toStdString());
}

// LibreOffice turns our Word file into a Word 97 one, in a scratch folder until it is whole.
void doc(const QTextDocument& document, const Path& to)
{
    const Output::ScratchDir scratch;
    Path docx = scratch.path() / to.filename();
    docx.replace_extension("docx");
    DOCX::write(document, docx);
    const Path out = scratch.path() / "out";
    Files::createFolders(out);
    Files::copy(LibreOffice::convert(docx, "doc", out), to, std::filesystem::copy_options::overwrite_existing);
}
}

void write(const QTextDocument& document, const Path& to, const std::string& ext)
{
    if (ext == "txt") TextFile::write(to, document.toPlainText().toStdString());
    else if (ext == "md") TextFile::write(to, Markdown::fromAttributed(document));
    else if (ext == "pdf") renderPDF(document, to);
    else if (ext == "html") TextFile::write(to, document.toHtml().toStdString());
    else if (ext == "rtf") TextFile::write(to, RTF::write(document));
    else if (ext == "docx") DOCX::write(document, to);
    else if (ext == "odt") odt(document, to);
    else if (ext == "doc") doc(document, to);
    else throw KError("Can't write ." + ext);
}

Path convert(const Path& source, const std::string& ext)
{
    const std::string src = lowerExt(source);
    if (src == "pages" && Office::pagesExports.count(ext)) return Office::exportAll(Office::App::pages, {source}, ext).front();
    const bool markdown = src == "md" || src == "markdown";
    if (ext == "epub") {
        const std::string body = markdown ? Markdown::toHTML(TextFile::read(source)) : Markdown::toHTML(Markdown::fromAttributed(*read(source)));
        return Output::produce(source, ext, "", [&](const Path& to) { EPUB::write(MarkdownConvert::title(source), body, to); });
    }
    if (markdown && ext == "html") return MarkdownConvert::convert(source, ext);
    const std::unique_ptr<QTextDocument> document = read(source);
    return Output::produce(source, ext, "", [&](const Path& to) { write(*document, to, ext); });
}

}
