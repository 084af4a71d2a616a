#pragma once
#include "core/Paths.h"

#include <string>

// Text files of unknown encoding in, UTF-8 text files out.
namespace TextFile {
// Bytes to UTF-8 text: a byte-order mark (UTF-8, UTF-16, UTF-32) decides and is dropped;
// without one, valid UTF-8 stays UTF-8 and anything else is read as ISO 8859-1.
std::string decode(std::string bytes);
// Reads and decodes a file; an unreadable file throws KError "Couldn't read <name>: <why>".
std::string read(const Path& file);
// Writes UTF-8 text atomically (a temporary sibling renamed over the target); throws KError
// naming the file when that fails.
void write(const Path& file, const std::string& text);
}
