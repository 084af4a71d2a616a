#include "documents/XmlStream.h"

#include "core/Errors.h"
#include "core/Files.h"

#include <expat.h>

#include <cstring>
#include <exception>
#include <fstream>
#include <memory>

namespace XmlStream {

namespace {
// Exceptions must not unwind through expat's C frames: a failing handler stops the parser
// and its exception is thrown again once expat has returned.
struct Session {
    Handler& handler;
    XML_Parser parser;
    std::exception_ptr failure;

    template <class F>
    void guard(F&& f)
    {
        if (failure) return;
        try {
            f();
        } catch (...) {
            failure = std::current_exception();
            XML_StopParser(parser, XML_FALSE);
        }
    }
};

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** attributes)
{
    auto* s = static_cast<Session*>(data);
    s->guard([&] { s->handler.start(name, attributes); });
}

void XMLCALL onEnd(void* data, const XML_Char* name)
{
    auto* s = static_cast<Session*>(data);
    s->guard([&] { s->handler.end(name); });
}

void XMLCALL onText(void* data, const XML_Char* text, int length)
{
    auto* s = static_cast<Session*>(data);
    s->guard([&] { s->handler.text(std::string_view(text, static_cast<std::size_t>(length))); });
}

using ParserPtr = std::unique_ptr<std::remove_pointer_t<XML_Parser>, decltype(&XML_ParserFree)>;

struct Parser {
    ParserPtr parser{XML_ParserCreate(nullptr), &XML_ParserFree};
    Session session;

    explicit Parser(Handler& handler) : session{handler, nullptr, nullptr}
    {
        if (!parser) throw std::bad_alloc();
        session.parser = parser.get();
        XML_SetUserData(parser.get(), &session);
        XML_SetElementHandler(parser.get(), onStart, onEnd);
        XML_SetCharacterDataHandler(parser.get(), onText);
    }
    // Feeds one piece; false once parsing has ended (fault or stop).
    bool feed(const char* bytes, std::size_t size, bool last)
    {
        return done(XML_Parse(parser.get(), bytes, static_cast<int>(size), last));
    }
    // Reads the next piece of the stream straight into expat's own buffer.
    bool feed(std::istream& in)
    {
        constexpr int piece = 1 << 20;
        void* buffer = XML_GetBuffer(parser.get(), piece);
        if (!buffer) throw std::bad_alloc();
        in.read(static_cast<char*>(buffer), piece);
        const auto got = static_cast<int>(in.gcount());
        return done(XML_ParseBuffer(parser.get(), got, got < piece)) && got == piece;
    }

private:
    bool done(XML_Status status)
    {
        if (session.failure) std::rethrow_exception(session.failure);
        return status == XML_STATUS_OK;
    }
};
}

void parse(std::string_view xml, Handler& handler)
{
    Parser parser(handler);
    constexpr std::size_t piece = 1 << 24;
    do {
        const std::size_t size = std::min(piece, xml.size());
        if (!parser.feed(xml.data(), size, size == xml.size())) return;
        xml.remove_prefix(size);
    } while (!xml.empty());
}

void parseFile(const Path& file, Handler& handler)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) throw KError(Files::failure("read", file, {errno, std::generic_category()}, false));
    Parser parser(handler);
    while (parser.feed(in)) {
    }
}

const char* attribute(const char** attributes, const char* name)
{
    for (const char** a = attributes; a && *a; a += 2) {
        if (std::strcmp(a[0], name) == 0) return a[1];
    }
    return nullptr;
}

}
