#pragma once
#include "core/Editing.h"
#include "core/Paths.h"
#include "core/WheelMode.h"

#include <functional>
#include <optional>
#include <string>

// What an option hands back: the files it wrote, in input order, an optional message that
// replaces the default success text, and text for the clipboard. The run itself never touches
// the clipboard: whoever receives a successful result puts the text there on the main thread.
struct OptionResult {
    Paths outputs;
    std::optional<std::string> message;
    std::optional<std::string> clipboard = std::nullopt;
    // Files for the clipboard, as references a file manager pastes (instead of the text).
    Paths clipboardFiles = {};
};

// The work of an option. It blocks, always runs on a worker thread, receives the whole
// selection, and throws KError or UserCancelled on failure.
using RunFn = std::function<OptionResult(const Paths&)>;

// What an interactive option adds: the editor that asks the user first, the title of the toast
// shown while the work runs ("Cropping…"), and the work on one file given the user's choice.
struct Interaction {
    Editing::Editor editor;
    std::string working;
    std::function<Path(const Path& file, const Editing::Choice& choice)> apply;
};

// One slice of the wheel; copies share the same run function.
struct WheelOption {
    std::string title;
    std::optional<std::string> symbol;
    bool isAction = false;
    bool isInteractive = false;
    RunFn run;
    // The wheel page that listed it, where a job process finds the same option again.
    std::optional<WheelMode> page = std::nullopt;
    // Set exactly when isInteractive: run asks through the editor, then applies in process.
    std::optional<Interaction> interaction = std::nullopt;
};

using WheelOptions = std::vector<WheelOption>;
