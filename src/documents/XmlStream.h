#pragma once
#include "core/Paths.h"

#include <string_view>

// Event-driven XML reading on expat, without namespace processing: element names arrive with
// their prefixes as written ("table:table-cell"). Malformed XML is not an error: parsing stops
// at the fault and the events delivered so far stand. An exception thrown by a handler stops
// the parse and reaches the caller.
namespace XmlStream {
class Handler {
public:
    virtual ~Handler() = default;
    // attributes: name, value, name, value, ..., nullptr.
    virtual void start(const char* name, const char** attributes) = 0;
    virtual void end(const char* name) = 0;
    virtual void text(std::string_view text) = 0;
};

void parse(std::string_view xml, Handler& handler);
// Reads the file in pieces, so that a large part never sits in memory whole.
void parseFile(const Path& file, Handler& handler);
// The value of an attribute, or nullptr.
const char* attribute(const char** attributes, const char* name);
}
