#include "core/Editing.h"

#include "core/Errors.h"

#include <mutex>
#include <sstream>
#include <stdexcept>

namespace Editing {

namespace {
std::mutex askLock;

AskFn& current()
{
    static AskFn ask;
    return ask;
}
}

std::string word(const Choice& choice)
{
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out.precision(17);
    if (choice.crop) out << "crop " << choice.crop->x << ' ' << choice.crop->y << ' ' << choice.crop->width << ' ' << choice.crop->height;
    else if (choice.range) out << "trim " << choice.range->start << ' ' << choice.range->end;
    return out.str();
}

Choice fromWord(const std::string& text)
{
    Choice choice;
    if (text.empty()) return choice;
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    std::string kind;
    in >> kind;
    if (kind == "crop") {
        Rect rect;
        in >> rect.x >> rect.y >> rect.width >> rect.height;
        choice.crop = rect;
    } else if (kind == "trim") {
        Range range;
        in >> range.start >> range.end;
        choice.range = range;
    } else {
        throw std::runtime_error("unknown editor choice");
    }
    if (in.fail() || !(in >> std::ws).eof()) throw std::runtime_error("malformed editor choice");
    return choice;
}

void setAsk(AskFn ask)
{
    const std::lock_guard guard(askLock);
    current() = std::move(ask);
}

Choice ask(Editor editor, const Path& file)
{
    AskFn ask;
    {
        const std::lock_guard guard(askLock);
        ask = current();
    }
    if (!ask) throw KError("This option needs its editor window, which can't open here");
    return ask(editor, file);
}

}
