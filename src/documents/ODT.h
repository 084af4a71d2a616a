#pragma once
#include "core/Paths.h"

#include <memory>
#include <string>

class QTextDocument;

// OpenDocument text, read: headings, paragraphs, spans with their automatic and named
// styles, links, lists, tables and line breaks. Frames (pictures, text boxes) are skipped.
namespace ODT {
// content.xml with the package's styles.xml (may be empty); throws XmlStream::Malformed when
// the content is not well-formed XML.
std::unique_ptr<QTextDocument> parse(const std::string& content, const std::string& styles);
// KError "<name> is damaged or isn't a real .odt file." for anything that is not one.
std::unique_ptr<QTextDocument> read(const Path& file);
}
