#pragma once
#include "core/Paths.h"

#include <functional>
#include <optional>
#include <string>

// What the user chose in the editor of an interactive option (crop, trim). The editor opens in
// the application; the choice then travels with the job that does the work.
namespace Editing {
// In whole pixels of the upright picture, origin at the top left.
struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Rect&) const = default;
};
// In seconds from the start.
struct Range {
    double start = 0, end = 0;
    bool operator==(const Range&) const = default;
};
struct Choice {
    std::optional<Rect> crop;
    std::optional<Range> range;
    bool operator==(const Choice&) const = default;
};

enum class Editor { crop, trim };

// One line of text for the job's request: "" (no choice), "crop x y w h" or "trim a b".
std::string word(const Choice& choice);
// Throws std::runtime_error on text that word() never writes.
Choice fromWord(const std::string& text);

// Opens the editor on file and blocks the calling worker until the user confirms; throws
// UserCancelled when the user cancels or closes it. The window layer sets how.
using AskFn = std::function<Choice(Editor editor, const Path& file)>;
void setAsk(AskFn ask);
Choice ask(Editor editor, const Path& file);
}
