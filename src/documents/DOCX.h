#pragma once
#include "core/Paths.h"

#include <memory>
#include <string>

class QTextDocument;

// Word documents (Office Open XML): paragraphs, headings by style, runs with bold, italic,
// underline and strike-through, colours and sizes, hyperlinks, bulleted and numbered lists,
// tables and line breaks. Pictures are skipped; the text around them stays.
namespace DOCX {
// The parts a document is read from; only the body is required.
struct Parts {
    std::string document;       // word/document.xml
    std::string relationships;  // word/_rels/document.xml.rels
    std::string styles;         // word/styles.xml
    std::string numbering;      // word/numbering.xml
};
// Throws XmlStream::Malformed when the body is not well-formed XML.
std::unique_ptr<QTextDocument> parse(const Parts& parts);
// KError "<name> is damaged or isn't a real .docx file." for anything that is not a Word
// package, and for parts too large to unpack.
std::unique_ptr<QTextDocument> read(const Path& file);
void write(const QTextDocument& document, const Path& to);
}
