#include "documents/XmlStream.h"

#include "core/Errors.h"
#include "documents/Package.h"

#include <expat.h>

#include <cstring>
#include <exception>

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
}

struct Parser::State {
    XML_Parser parser;
    Session session;
    bool ok = true;

    State(Handler& handler, Names names)
        : parser(names == Names::byNamespace ? XML_ParserCreateNS(nullptr, ' ') : XML_ParserCreate(nullptr)), session{handler, parser, nullptr}
    {
        if (!parser) throw std::bad_alloc();
        XML_SetUserData(parser, &session);
        XML_SetElementHandler(parser, onStart, onEnd);
        XML_SetCharacterDataHandler(parser, onText);
    }
    ~State() { XML_ParserFree(parser); }

    bool parse(std::string_view piece, bool last)
    {
        // expat takes an int length; large pieces go in several calls.
        constexpr std::size_t most = 1 << 30;
        do {
            const std::size_t size = std::min(most, piece.size());
            const bool final = last && size == piece.size();
            ok = ok && XML_Parse(parser, piece.data(), static_cast<int>(size), final) == XML_STATUS_OK;
            if (session.failure) std::rethrow_exception(session.failure);
            piece.remove_prefix(size);
        } while (ok && !piece.empty());
        return ok;
    }
};

Parser::Parser(Handler& handler, Names names) : state(std::make_unique<State>(handler, names)) {}

Parser::~Parser() = default;

bool Parser::feed(std::string_view piece)
{
    return state->ok && state->parse(piece, false);
}

bool Parser::finish()
{
    return state->ok && state->parse({}, true);
}

bool parse(std::string_view xml, Handler& handler, Names names)
{
    Parser parser(handler, names);
    return parser.feed(xml) && parser.finish();
}

bool parseEntry(const Path& zip, const std::string& entry, Handler& handler, Names names)
{
    Parser parser(handler, names);
    bool ok = true;
    Package::stream(zip, entry, [&](std::string_view piece) {
        if (ok) ok = parser.feed(piece);
    });
    return ok && parser.finish();
}

const char* attribute(const char** attributes, const char* name)
{
    for (const char** a = attributes; a && *a; a += 2) {
        if (std::strcmp(a[0], name) == 0) return a[1];
    }
    return nullptr;
}

const char* local(const char* name, std::string_view space)
{
    if (std::strncmp(name, space.data(), space.size()) != 0 || name[space.size()] != ' ') return nullptr;
    return name + space.size() + 1;
}

}
