#pragma once
#include "core/Paths.h"

#include <string>

// Minimal EPUB 3 books: one chapter written from an HTML fragment, and any book's text read
// back as one HTML document in reading order.
namespace EPUB {
// Writes a one-chapter book with a fresh identifier; void elements in the body are closed
// so that the chapter is well-formed XHTML.
void write(const std::string& title, const std::string& bodyHTML, const Path& to);
// The bodies of the spine's chapters in one HTML document. Throws KError "Not a valid EPUB"
// or "This EPUB has no readable text"; chapters that cannot be read, or whose path leaves
// the book, are skipped.
std::string readHTML(const Path& book);
}
