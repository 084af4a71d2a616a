#include "documents/XmlScan.h"

#include "documents/Utf8.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace XmlScan {

namespace {
// A tag or text run longer than this is left to expat: no sheet or string table has one.
constexpr std::size_t longestToken = std::size_t(4) << 20;
constexpr std::size_t npos = std::string_view::npos;
constexpr std::string_view xmlNamespace = "http://www.w3.org/XML/1998/namespace";
constexpr std::string_view xmlnsNamespace = "http://www.w3.org/2000/xmlns/";
constexpr std::size_t predeclared = npos;

// The namespace's index among those a reader named, or -1.
int indexOf(std::span<const std::string_view> spaces, std::string_view uri)
{
    for (std::size_t i = 0; i < spaces.size(); ++i) {
        if (spaces[i] == uri) return int(i);
    }
    return -1;
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isNameStart(unsigned char c)
{
    return ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || c == '_';
}

bool isNameChar(unsigned char c)
{
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == ':';
}

// Bytes that stand for themselves: printable ASCII except markup, plus the whitespace that
// keeps its meaning (attribute values turn tabs and line feeds into spaces).
constexpr std::array<bool, 256> plainBytes(bool attribute)
{
    std::array<bool, 256> plain{};
    for (int c = 0x20; c < 0x80; ++c) plain[c] = c != '&' && c != '<' && (attribute || c != ']');
    plain['\t'] = plain['\n'] = !attribute;
    return plain;
}
constexpr auto plainText = plainBytes(false);
constexpr auto plainAttribute = plainBytes(true);

void appendUtf8(std::string& out, std::uint32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | c >> 6);
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | c >> 12);
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | c >> 18);
        out += char(0x80 | (c >> 12 & 0x3F));
        out += char(0x80 | (c >> 6 & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

bool isXmlChar(std::uint32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// The length of the UTF-8 sequence at `at`, which must encode a character XML allows.
std::size_t sequenceLength(std::string_view s, std::size_t at)
{
    const Utf8::Sequence found = Utf8::sequenceAt(s, at);
    if (found.length == 0 || !isXmlChar(found.character)) throw Unsupported();
    return found.length;
}

// Decodes the reference at `at` ("&amp;", "&#38;", "&#x26;") onto `out`; past its end.
std::size_t reference(std::string_view s, std::size_t at, std::string& out)
{
    const std::size_t semicolon = s.find(';', at + 1);
    if (semicolon == npos) throw Unsupported();
    const std::string_view name = s.substr(at + 1, semicolon - at - 1);
    if (name == "amp") out += '&';
    else if (name == "lt") out += '<';
    else if (name == "gt") out += '>';
    else if (name == "quot") out += '"';
    else if (name == "apos") out += '\'';
    else if (name.size() >= 2 && name.size() <= 9 && name[0] == '#') {
        const bool hex = name[1] == 'x';
        const std::string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty()) throw Unsupported();
        std::uint32_t c = 0;
        for (const char d : digits) {
            int value = -1;
            if (d >= '0' && d <= '9') value = d - '0';
            else if (hex && (d | 0x20) >= 'a' && (d | 0x20) <= 'f') value = (d | 0x20) - 'a' + 10;
            if (value < 0) throw Unsupported();
            c = c * (hex ? 16 : 10) + std::uint32_t(value);
        }
        if (!isXmlChar(c)) throw Unsupported();
        appendUtf8(out, c);
    } else {
        throw Unsupported();
    }
    return semicolon + 1;
}

// The end of the name that starts at `at`, or npos when the data ends inside it. Names
// outside plain ASCII, and names with more than one colon, are left to expat.
std::size_t nameEnd(std::string_view data, std::size_t at)
{
    if (at >= data.size()) return npos;
    if (!isNameStart(static_cast<unsigned char>(data[at]))) throw Unsupported();
    std::size_t i = at + 1;
    std::size_t colon = npos;
    for (; i < data.size() && isNameChar(static_cast<unsigned char>(data[i])); ++i) {
        if (data[i] != ':') continue;
        if (colon != npos) throw Unsupported();
        colon = i;
    }
    if (i == data.size()) return npos;
    if (static_cast<unsigned char>(data[i]) >= 0x80) throw Unsupported();
    if (colon != npos && (colon + 1 == i || !isNameStart(static_cast<unsigned char>(data[colon + 1])))) throw Unsupported();
    return i;
}

// Whether the text of an XML declaration after "<?xml" is version 1.0, optionally UTF-8 and
// optionally standalone, in that order.
bool plainDeclaration(std::string_view text)
{
    const std::array<std::string_view, 3> names = {"version", "encoding", "standalone"};
    std::size_t at = 0, next = 0;
    while (true) {
        const std::size_t spaces = at;
        while (at < text.size() && isSpace(text[at])) ++at;
        if (at == text.size()) return next > 0;
        if (at == spaces) return false;
        std::size_t which = next;
        while (which < names.size() && !text.substr(at).starts_with(names[which])) ++which;
        if (which == names.size() || (next == 0 && which != 0)) return false;
        at += names[which].size();
        while (at < text.size() && isSpace(text[at])) ++at;
        if (at == text.size() || text[at] != '=') return false;
        ++at;
        while (at < text.size() && isSpace(text[at])) ++at;
        if (at == text.size() || (text[at] != '"' && text[at] != '\'')) return false;
        const std::size_t close = text.find(text[at], at + 1);
        if (close == npos) return false;
        std::string value(text.substr(at + 1, close - at - 1));
        if (which == 1) {
            for (char& c : value) c = char(c >= 'a' && c <= 'z' ? c - 32 : c);
        }
        const bool good = which == 0 ? value == "1.0" : which == 1 ? value == "UTF-8" : value == "yes" || value == "no";
        if (!good) return false;
        at = close + 1;
        next = which + 1;
    }
}
}

Scanner::Scanner(Handler& handler, std::span<const std::string_view> spaces) : handler_(handler), spaces_(spaces)
{
    bindings_.push_back({"xml", std::string(xmlNamespace), spaceOf(xmlNamespace), predeclared});
}

Scanner::Scanner(Handler& handler, std::span<const std::string_view> spaces, const Context& from)
    : handler_(handler), spaces_(spaces), stage_(Stage::content), names_(from.names), open_(from.open), bindings_(from.bindings)
{
    rebound();
}

Scanner::Context Scanner::pause()
{
    if (stage_ != Stage::content || pending_.find('<') != npos) throw Unsupported();
    text(pending_);
    pending_.clear();
    return {names_, open_, bindings_};
}

void Scanner::feed(std::string_view piece)
{
    if (pending_.empty()) {
        pending_.assign(piece.substr(scan(piece)));
    } else {
        pending_.append(piece);
        pending_.erase(0, scan(pending_));
    }
    if (pending_.size() > longestToken) throw Unsupported();
}

void Scanner::finish()
{
    if (stage_ != Stage::epilog) throw Unsupported();
    for (const char c : pending_) {
        if (!isSpace(c)) throw Unsupported();
    }
}

std::size_t Scanner::scan(std::string_view data)
{
    std::size_t at = 0;
    if (stage_ == Stage::declaration) {
        at = declaration(data);
        if (stage_ == Stage::declaration) return 0;
    }
    while (at < data.size()) {
        if (data[at] != '<') {
            const void* open = std::memchr(data.data() + at, '<', data.size() - at);
            if (!open) return at;
            const std::size_t end = static_cast<std::size_t>(static_cast<const char*>(open) - data.data());
            text(data.substr(at, end - at));
            at = end;
            continue;
        }
        if (at + 1 >= data.size()) return at;
        const char next = data[at + 1];
        if (next == '!' || next == '?') throw Unsupported();
        const std::size_t after = next == '/' ? endTag(data, at) : startTag(data, at);
        if (after == npos) return at;
        at = after;
    }
    return at;
}

std::size_t Scanner::declaration(std::string_view data)
{
    std::size_t at = data.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    if (data.size() < at + 6) return 0;
    if (data.substr(at, 5) == "<?xml" && isSpace(data[at + 5])) {
        const std::size_t close = data.find("?>", at);
        if (close == npos) {
            if (data.size() > 1024) throw Unsupported();
            return 0;
        }
        if (!plainDeclaration(data.substr(at + 5, close - at - 5))) throw Unsupported();
        at = close + 2;
    }
    stage_ = Stage::prolog;
    return at;
}

std::size_t Scanner::startTag(std::string_view data, std::size_t at)
{
    const std::size_t n = data.size();
    std::size_t i = nameEnd(data, at + 1);
    if (i == npos) return npos;
    const std::string_view name = data.substr(at + 1, i - at - 1);
    rawNames_.clear();
    rawValues_.clear();
    bool empty = false;
    while (true) {
        const std::size_t spaces = i;
        while (i < n && isSpace(data[i])) ++i;
        if (i >= n) return npos;
        if (data[i] == '>') {
            ++i;
            break;
        }
        if (data[i] == '/') {
            if (i + 1 >= n) return npos;
            if (data[i + 1] != '>') throw Unsupported();
            i += 2;
            empty = true;
            break;
        }
        if (i == spaces) throw Unsupported();
        const std::size_t attributeEnd = nameEnd(data, i);
        if (attributeEnd == npos) return npos;
        const std::string_view attribute = data.substr(i, attributeEnd - i);
        i = attributeEnd;
        while (i < n && isSpace(data[i])) ++i;
        if (i >= n) return npos;
        if (data[i] != '=') throw Unsupported();
        ++i;
        while (i < n && isSpace(data[i])) ++i;
        if (i >= n) return npos;
        if (data[i] != '"' && data[i] != '\'') throw Unsupported();
        const void* quote = std::memchr(data.data() + i + 1, data[i], n - i - 1);
        if (!quote) return npos;
        const std::size_t close = static_cast<std::size_t>(static_cast<const char*>(quote) - data.data());
        rawNames_.push_back(attribute);
        rawValues_.push_back(data.substr(i + 1, close - i - 1));
        i = close + 1;
    }

    // The tag is whole: check it and report it.
    if (stage_ == Stage::epilog) throw Unsupported();
    stage_ = Stage::content;
    const std::size_t depth = open_.size();
    const std::size_t count = rawNames_.size();
    if (scratch_.size() < count) scratch_.resize(count);
    bool declared = false;
    for (std::size_t k = 0; k < count; ++k) {
        for (std::size_t j = 0; j < k; ++j) {
            if (rawNames_[j] == rawNames_[k]) throw Unsupported();
        }
        const std::string_view attribute = rawNames_[k];
        if (attribute != "xmlns" && !attribute.starts_with("xmlns:")) continue;
        const std::string_view uri = decoded(rawValues_[k], true, scratch_[k]);
        const std::string_view prefix = attribute.size() > 5 ? attribute.substr(6) : std::string_view();
        // expat refuses a namespace name holding the separator it joins names with.
        const bool spaced = std::find_if(uri.begin(), uri.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; }) != uri.end();
        if (spaced || uri == xmlNamespace || uri == xmlnsNamespace || prefix == "xml" || prefix == "xmlns" || (!prefix.empty() && uri.empty())) throw Unsupported();
        bindings_.push_back({std::string(prefix), std::string(uri), uri.empty() ? -1 : spaceOf(uri), depth});
        declared = true;
    }
    if (declared) rebound();

    attributes_.clear();
    for (std::size_t k = 0; k < count; ++k) {
        const std::string_view attribute = rawNames_[k];
        if (attribute == "xmlns" || attribute.starts_with("xmlns:")) continue;
        const std::string_view value = decoded(rawValues_[k], true, scratch_[k]);
        const std::size_t colon = attribute.find(':');
        if (colon == npos) {
            attributes_.push_back({attribute, value});
            continue;
        }
        // Two prefixes for one namespace make two spellings of one attribute.
        const Binding* binding = bound(attribute.substr(0, colon));
        if (!binding) throw Unsupported();
        for (std::size_t j = 0; j < k; ++j) {
            const std::size_t other = rawNames_[j].find(':');
            if (other == npos || rawNames_[j].substr(other) != attribute.substr(colon)) continue;
            const Binding* earlier = bound(rawNames_[j].substr(0, other));
            if (earlier && earlier->uri == binding->uri) throw Unsupported();
        }
        if (binding->space >= 0) attributes_.push_back({attribute.substr(colon + 1), value, binding->space});
    }

    const std::size_t colon = name.find(':');
    int space = defaultSpace_;
    if (colon != npos) {
        const Binding* binding = bound(name.substr(0, colon));
        if (!binding) throw Unsupported();
        space = binding->space;
    }
    const std::uint32_t localOffset = colon == npos ? 0 : std::uint32_t(colon + 1);
    open_.push_back({std::uint32_t(names_.size()), std::uint32_t(name.size()), localOffset, space});
    names_ += name;
    handler_.start(space, name.substr(localOffset), attributes_);
    if (empty) close();
    return i;
}

std::size_t Scanner::endTag(std::string_view data, std::size_t at)
{
    std::size_t i = nameEnd(data, at + 2);
    if (i == npos) return npos;
    const std::string_view name = data.substr(at + 2, i - at - 2);
    while (i < data.size() && isSpace(data[i])) ++i;
    if (i >= data.size()) return npos;
    if (data[i] != '>' || open_.empty()) throw Unsupported();
    const Open& top = open_.back();
    if (std::string_view(names_).substr(top.nameStart, top.nameSize) != name) throw Unsupported();
    close();
    return i + 1;
}

void Scanner::close()
{
    const Open top = open_.back();
    handler_.end(top.space, std::string_view(names_).substr(top.nameStart + top.localOffset, top.nameSize - top.localOffset));
    names_.resize(top.nameStart);
    open_.pop_back();
    bool unbound = false;
    while (bindings_.back().depth == open_.size()) {
        bindings_.pop_back();
        unbound = true;
    }
    if (unbound) rebound();
    if (open_.empty()) stage_ = Stage::epilog;
}

void Scanner::text(std::string_view raw)
{
    if (stage_ != Stage::content) {
        for (const char c : raw) {
            if (!isSpace(c)) throw Unsupported();
        }
        return;
    }
    handler_.text(decoded(raw, false, textScratch_));
}

std::string_view Scanner::decoded(std::string_view raw, bool attribute, std::string& scratch)
{
    const auto& plain = attribute ? plainAttribute : plainText;
    std::size_t i = 0;
    while (i < raw.size() && plain[static_cast<unsigned char>(raw[i])]) ++i;
    if (i == raw.size()) return raw;
    scratch.assign(raw.data(), i);
    while (i < raw.size()) {
        const auto c = static_cast<unsigned char>(raw[i]);
        if (plain[c]) {
            scratch += char(c);
            ++i;
        } else if (c == '&') {
            i = reference(raw, i, scratch);
        } else if (c >= 0x80) {
            const std::size_t length = sequenceLength(raw, i);
            scratch.append(raw.data() + i, length);
            i += length;
        } else if (attribute && (c == '\t' || c == '\n')) {
            scratch += ' ';
            ++i;
        } else if (!attribute && c == ']' && raw.substr(i, 3) != "]]>") {
            scratch += ']';
            ++i;
        } else {
            // Carriage returns (which XML rewrites), control characters, "<" and "]]>".
            throw Unsupported();
        }
    }
    return scratch;
}

int Scanner::spaceOf(std::string_view uri) const
{
    return indexOf(spaces_, uri);
}

const Scanner::Binding* Scanner::bound(std::string_view prefix) const
{
    for (auto it = bindings_.rbegin(); it != bindings_.rend(); ++it) {
        if (it->prefix == prefix) return &*it;
    }
    return nullptr;
}

void Scanner::rebound()
{
    const Binding* binding = bound({});
    defaultSpace_ = binding ? binding->space : -1;
}

std::pair<int, std::string_view> ExpatBridge::resolved(std::string_view name) const
{
    const std::size_t split = name.rfind(' ');
    if (split == npos) return {-1, name};
    return {indexOf(spaces_, name.substr(0, split)), name.substr(split + 1)};
}

void ExpatBridge::start(const char* name, const char** attributes)
{
    attributes_.clear();
    for (const char** a = attributes; *a; a += 2) {
        const std::string_view attribute(a[0]);
        const auto [space, local] = resolved(attribute);
        if (space >= 0 || attribute.find(' ') == npos) attributes_.push_back({local, a[1], space});
    }
    const auto [space, local] = resolved(name);
    target_.start(space, local, attributes_);
}

void ExpatBridge::end(const char* name)
{
    const auto [space, local] = resolved(name);
    target_.end(space, local);
}

}
