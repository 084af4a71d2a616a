#pragma once
#include "core/Paths.h"

#include <memory>
#include <string>
#include <vector>

class QTextDocument;

// Text documents between formats. Every reader produces the styled-text model (TextModel)
// and every writer consumes it; Markdown and EPUB go through their own converters.
namespace DocumentOps {
// The convert targets of a document, in wheel order.
extern const std::vector<std::string> targets;
// Targets an e-book offers.
extern const std::vector<std::string> ebookTargets;

// Whether Word 97 documents can be read and written here (LibreOffice Writer is installed).
bool canUseDOC();

// By the source's extension: md/markdown, txt/text, html/htm, rtf, docx, odt, doc, pages, epub,
// pdf, webarchive, textclipping. KError for anything else or a file that cannot be read.
std::unique_ptr<QTextDocument> read(const Path& source);
// Writes txt, md, pdf, html, rtf, docx, odt or doc; KError "Can't write .<ext>" otherwise.
// Nothing is left at `to` when writing fails.
void write(const QTextDocument& document, const Path& to, const std::string& ext);
// A new file beside the source (epub included); a failed conversion leaves none.
Path convert(const Path& source, const std::string& ext);
// HTML text → styled text.
std::unique_ptr<QTextDocument> html(const std::string& text);
// Paginated PDF on US Letter or A4 (by the locale's measurement system), 54-point margins,
// black wherever no colour is set.
void renderPDF(const QTextDocument& document, const Path& to);
// "1,234 words · 5,678 characters".
std::string wordCount(const Path& source);
}
