#pragma once
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
};

// The work of an option. It blocks, always runs on a worker thread, receives the whole
// selection, and throws KError or UserCancelled on failure.
using RunFn = std::function<OptionResult(const Paths&)>;

// One slice of the wheel; copies share the same run function.
struct WheelOption {
    std::string title;
    std::optional<std::string> symbol;
    bool isAction = false;
    bool isInteractive = false;
    RunFn run;
    // The wheel page that listed it, where a job process finds the same option again.
    std::optional<WheelMode> page = std::nullopt;
};

using WheelOptions = std::vector<WheelOption>;
