#pragma once
#include "documents/Package.h"
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
// named (-1 for any other or none) and the local name. Attributes arrive with their values
// decoded: those without a prefix (space -1), and prefixed ones of the named namespaces.
namespace XmlScan {
class Unsupported : public std::exception {
public:
    const char* what() const noexcept override { return "XML outside the scanner's subset"; }
};

struct Attribute {
    std::string_view name, value;
    int space = -1;
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
    struct Open {
        std::uint32_t nameStart, nameSize, localOffset;
        int space;
        bool operator==(const Open&) const = default;
    };
    struct Binding {
        std::string prefix, uri;
        int space;
        std::size_t depth;
        bool operator==(const Binding&) const = default;
    };

public:
    // Where a scanner stands between two elements: the elements open and the namespaces bound,
    // so that another scanner can read on from there.
    struct Context {
        std::string names;
        std::vector<Open> open;
        std::vector<Binding> bindings;
        bool operator==(const Context&) const = default;
    };

    // `spaces` must outlive the scanner.
    Scanner(Handler& handler, std::span<const std::string_view> spaces);
    // A scanner that reads on inside a document from a point where `from` was taken.
    Scanner(Handler& handler, std::span<const std::string_view> spaces, const Context& from);
    // Ends this piece of reading inside the document between two elements, delivering any text
    // held back, and says where it stands; Unsupported anywhere else.
    Context pause();
    // The next piece of the document; events are delivered as far as the piece completes them.
    void feed(std::string_view piece);
    // Ends the document; throws Unsupported unless it was complete.
    void finish();

private:
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
    std::pair<int, std::string_view> resolved(std::string_view name) const;

    XmlScan::Handler& target_;
    std::span<const std::string_view> spaces_;
    std::vector<Attribute> attributes_;
};

// Reads a document with the scanner or, where the scanner refuses it, again from the start
// with expat, which throws XmlStream::Malformed when it is not well-formed. `feed(consume)`
// hands consume the document piece by piece; `make()` gives a fresh handler for each reading.
template <class Make, class Feed>
auto read(std::span<const std::string_view> spaces, Make make, Feed feed)
{
    try {
        auto handler = make();
        Scanner scanner(handler, spaces);
        feed([&](std::string_view piece) { scanner.feed(piece); });
        scanner.finish();
        return handler;
    } catch (const Unsupported&) {
    }
    auto handler = make();
    ExpatBridge bridge(handler, spaces);
    XmlStream::Parser parser(bridge, XmlStream::Names::byNamespace);
    bool ok = true;
    feed([&](std::string_view piece) {
        if (ok) ok = parser.feed(piece);
    });
    if (!ok || !parser.finish()) throw XmlStream::Malformed();
    return handler;
}

// Feeds for read(): a document in memory, and a zip entry as it is inflated.
inline auto whole(std::string_view xml)
{
    return [xml](const auto& consume) { consume(xml); };
}

inline auto entry(Path zip, std::string name)
{
    return [zip = std::move(zip), name = std::move(name)](const auto& consume) { Package::stream(zip, name, consume); };
}

// The value of the attribute of that namespace and local name, or nullptr.
inline const std::string_view* attribute(std::span<const Attribute> attributes, std::string_view name, int space = -1)
{
    for (const Attribute& a : attributes) {
        if (a.space == space && a.name == name) return &a.value;
    }
    return nullptr;
}
}
