#pragma once
#include "core/Paths.h"

#include <memory>
#include <string>

class QTextDocument;

// Apple's property-list documents that carry text: text clippings and web archives, read
// through libplist (XML and binary lists alike).
namespace TextClipping {
// The clipping's RTF when it has some that reads, else its plain text with the body
// attributes. KError "Couldn't read this text clipping" or "This clipping has no text".
std::unique_ptr<QTextDocument> read(const Path& file);
}

namespace WebArchive {
// The main resource's HTML as UTF-8. KError "Couldn't read this web archive" otherwise.
std::string readHTML(const Path& file);
}
