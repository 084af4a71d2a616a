#pragma once
#include "documents/XmlStream.h"

#include <cstdint>
#include <exception>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A fast reader for the plain XML that spreadsheet applications write in bulk: UTF-8 without
// a document type, comments, CDATA sections or processing instructions. Within that subset it
// checks well-formedness as expat does; anything outside it, or anything it cannot be sure of,
// it refuses by throwing Unsupported, and the caller reads the same input with expat, which
// then decides. Names arrive resolved: the index of their namespace among those the caller
// named (-1 for any other or none) and the local name. Attributes without a prefix arrive with
// their values decoded; prefixed ones are checked and left out.
namespace XmlScan {
class Unsupported : public std::exception {
public:
    const char* what() const noexcept override { return "XML outside the scanner's subset"; }
};

struct Attribute {
    std::string_view name, value;
};

class Handler {
public:
    virtual ~Handler() = default;
    virtual void start(int space, std::string_view local, std::span<const Attribute> attributes) = 0;
    virtual void end(int space, std::string_view local) = 0;
    // Character data, possibly in several calls for one run.
    virtual void text(std::string_view text) = 0;
};

class Scanner {
public:
    // `spaces` must outlive the scanner.
    Scanner(Handler& handler, std::span<const std::string_view> spaces);
    // The next piece of the document; events are delivered as far as the piece completes them.
    void feed(std::string_view piece);
    // Ends the document; throws Unsupported unless it was complete.
    void finish();

private:
    struct Open {
        std::uint32_t nameStart, nameSize, localOffset;
        int space;
    };
    struct Binding {
        std::string prefix, uri;
        int space;
        std::size_t depth;
    };
    enum class Stage { declaration, prolog, content, epilog };

    std::size_t scan(std::string_view data);
    std::size_t declaration(std::string_view data);
    std::size_t startTag(std::string_view data, std::size_t at);
    std::size_t endTag(std::string_view data, std::size_t at);
    void close();
    void text(std::string_view raw);
    std::string_view decoded(std::string_view raw, bool attribute, std::string& scratch);
    int spaceOf(std::string_view uri) const;
    const Binding* bound(std::string_view prefix) const;
    void rebound();

    Handler& handler_;
    std::span<const std::string_view> spaces_;
    Stage stage_ = Stage::declaration;
    std::string pending_;
    std::string names_;
    std::vector<Open> open_;
    std::vector<Binding> bindings_;
    int defaultSpace_ = -1;
    std::vector<Attribute> attributes_;
    std::vector<std::string_view> rawNames_, rawValues_;
    std::vector<std::string> scratch_;
    std::string textScratch_;
};

// Hands what expat reads to a scanner's handler, in the same form; for reading with expat what
// the scanner refused.
class ExpatBridge : public XmlStream::Handler {
public:
    ExpatBridge(XmlScan::Handler& target, std::span<const std::string_view> spaces) : target_(target), spaces_(spaces) {}
    void start(const char* name, const char** attributes) override;
    void end(const char* name) override;
    void text(std::string_view text) override { target_.text(text); }

private:
    std::pair<int, std::string_view> resolved(const char* name) const;

    XmlScan::Handler& target_;
    std::span<const std::string_view> spaces_;
    std::vector<Attribute> attributes_;
};
}
