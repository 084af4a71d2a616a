#pragma once
#include "core/Batch.h"
#include "core/FileKind.h"
#include "core/WheelOption.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>

// The builders the option tables share. Everything here only builds values; the run
// functions it returns do their work on the calling worker thread, and those that work file
// by file on helper threads as well.
namespace Catalog {
using ConvertFn = std::function<Path(const Path& url, const std::string& ext)>;
using EachFn = std::function<Path(const Path& url)>;
using FitFn = std::function<std::optional<Path>(const Path& url, std::int64_t maxBytes)>;
// Recognises the text of one file: the text file written and the text.
using OCRFn = std::function<std::pair<Path, std::string>(const Path& url)>;

// One line of an option table: the option, and the condition on the selection under which
// it is offered (always when there is none).
struct Row {
    WheelOption option;
    std::function<bool(const Paths& urls)> when = {};
};
using Rows = std::vector<Row>;
// The options of the rows whose condition the selection meets, in table order.
WheelOptions offered(const Rows& rows, const Paths& urls);
// A plain option of the convert or tools page (neither an action nor interactive).
WheelOption option(const std::string& title, const std::string& symbol, RunFn run);

// An interactive option: for each file, the editor asks first, then apply does the work.
// working is the title of the toast shown while it works ("Cropping…").
WheelOption editor(const std::string& title, const std::string& symbol, Editing::Editor editor, const std::string& working,
                   std::function<Path(const Path& file, const Editing::Choice& choice)> apply);

// The kind of a whole selection: the one shared kind, else other.
FileKind kindOf(const Paths& urls);
WheelOptions formatOptions(const std::vector<std::string>& exts, ConvertFn convert, Batch::Load load = Batch::Load::light);
// f on every file, several files at once (see Batch).
RunFn each(EachFn f, Batch::Load load = Batch::Load::light);
WheelOption fitOption(const std::string& title, std::int64_t bytes, FitFn f, Batch::Load load = Batch::Load::light);
// "Text": every file's text, files joined by a blank line, for the clipboard, with the
// message "<n> words copied to the clipboard".
WheelOption ocrOption(OCRFn f);
// The words in text as the Unicode word boundaries delimit them (punctuation is no word).
size_t wordCount(const std::string& text);
std::set<std::string> sameExt(const Paths& urls);
// The targets, in order, without those the selection already has (sameExt).
std::vector<std::string> newTargets(const std::vector<std::string>& targets, const Paths& urls);
std::string summary(const Paths& urls);
// Keeps only the first twelve options (the wheel's slice count).
void cutToTwelve(WheelOptions& options);
}
