#pragma once
#include "documents/XmlScan.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

// What the fast scanner and expat make of one document, written out event by event, so that
// both readers can be held to the same result.
namespace XmlScanCompare {
constexpr std::array<std::string_view, 2> spaces = {"urn:a", "urn:b"};

class Recorder : public XmlScan::Handler {
public:
    std::string events;
    void start(int space, std::string_view local, std::span<const XmlScan::Attribute> attributes) override
    {
        events += "<" + std::to_string(space) + ":" + std::string(local);
        for (const XmlScan::Attribute& a : attributes) events += " " + std::to_string(a.space) + ":" + std::string(a.name) + "=[" + std::string(a.value) + "]";
        events += ">";
    }
    void end(int space, std::string_view local) override { events += "</" + std::to_string(space) + ":" + std::string(local) + ">"; }
    void text(std::string_view text) override { events += text; }
};

// The scanner's events with the document fed in pieces of `piece` bytes; none when it
// refuses the document.
inline std::optional<std::string> scanned(std::string_view xml, std::size_t piece)
{
    Recorder recorder;
    try {
        XmlScan::Scanner scanner(recorder, spaces);
        for (std::size_t at = 0; at < xml.size(); at += piece) scanner.feed(xml.substr(at, piece));
        scanner.finish();
    } catch (const XmlScan::Unsupported&) {
        return std::nullopt;
    }
    return recorder.events;
}

// Expat's events; none when the document is not well-formed.
inline std::optional<std::string> expatRead(std::string_view xml)
{
    Recorder recorder;
    XmlScan::ExpatBridge bridge(recorder, spaces);
    if (!XmlStream::parse(xml, bridge, XmlStream::Names::byNamespace)) return std::nullopt;
    return recorder.events;
}
}
