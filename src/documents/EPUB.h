#pragma once
#include "core/Paths.h"

#include <string>

// Minimal EPUB 3 books: one chapter written from an HTML fragment, and any book's text read
// back as one HTML document in reading order.
namespace EPUB {
// Writes a one-chapter book with a fresh identifier. The body must be XHTML apart from HTML's
// unclosed void elements and "&nbsp;", which are mended, and characters XML cannot hold, which
// are dropped; a body that still is not well-formed throws KError and writes nothing.
void write(const std::string& title, const std::string& bodyHTML, const Path& to);
// HTML void elements written the XHTML way ("<br>" → "<br/>"), "&nbsp;" as "&#160;", and the
// characters XML cannot hold dropped; everything else passes as it is.
std::string xhtmlSafe(const std::string& html);
// The bodies of the spine's chapters in one HTML document. Throws KError "Not a valid EPUB"
// or "This EPUB has no readable text"; chapters that cannot be read, or whose path leaves
// the book, are skipped.
std::string readHTML(const Path& book);
}
