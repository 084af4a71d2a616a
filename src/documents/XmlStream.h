#pragma once
#include "core/Paths.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

// Event-driven XML reading on expat. A parse reports whether the document was complete and
// well-formed: the events delivered before a fault stand, and the caller decides whether a
// partial document is an error. An exception thrown by a handler stops the parse and reaches
// the caller.
namespace XmlStream {
// How element and attribute names reach the handler.
enum class Names {
    // Prefixes as the file writes them: "table:table-cell".
    asWritten,
    // The namespace, a space and the local name: "urn:…:table:1.0 table-cell"; names in no
    // namespace (most attributes) arrive bare. Files may pick any prefix, so formats whose
    // names carry a namespace are matched this way.
    byNamespace,
};

// Thrown by readers that need a whole document when it is incomplete or not well-formed; the
// caller that knows the file turns it into a message.
class Malformed : public std::runtime_error {
public:
    Malformed() : std::runtime_error("malformed XML") {}
};

class Handler {
public:
    virtual ~Handler() = default;
    // attributes: name, value, name, value, ..., nullptr.
    virtual void start(const char* name, const char** attributes) = 0;
    virtual void end(const char* name) = 0;
    virtual void text(std::string_view text) = 0;
};

// Parsing in pieces, as they arrive.
class Parser {
public:
    explicit Parser(Handler& handler, Names names = Names::asWritten);
    ~Parser();
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;
    // Parses the next piece; false once parsing has ended at a fault, so that the rest of
    // the input can be skipped.
    bool feed(std::string_view piece);
    // Ends the input; whether the document was complete and well-formed.
    bool finish();

private:
    struct State;
    std::unique_ptr<State> state;
};

// Whether the document was complete and well-formed.
bool parse(std::string_view xml, Handler& handler, Names names = Names::asWritten);
// Parses a zip entry as it is inflated, so that a large part never sits in memory whole.
bool parseEntry(const Path& zip, const std::string& entry, Handler& handler, Names names = Names::asWritten);
// The value of an attribute, or nullptr.
const char* attribute(const char** attributes, const char* name);
// With Names::byNamespace: the local part of a name in namespace `space`, or nullptr.
const char* local(const char* name, std::string_view space);
}
