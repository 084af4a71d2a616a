#pragma once
#include "core/Paths.h"

#include <string>

// Markdown files converted straight from their text: an HTML page or an EPUB book.
namespace MarkdownConvert {
// The document title: the file name without its extension, and without a further "tar"
// ("report.tar.md" → "report").
std::string title(const Path& source);
// ext "html" or "epub"; returns the new file next to the source.
Path convert(const Path& source, const std::string& ext);
}
