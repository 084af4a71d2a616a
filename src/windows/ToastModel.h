#pragma once
#include "core/Paths.h"

#include <filesystem>
#include <optional>
#include <string>

// What a toast shows.
struct ToastModel {
    enum class State { working, success, failure };

    std::string title;
    std::string subtitle;
    State state = State::working;
    Paths outputs;                   // files the job wrote: offered for dragging, opening and undo
    std::optional<double> progress;  // fraction done, while working, once the job reports one

    bool operator==(const ToastModel&) const = default;

    // The outputs still on disk.
    Paths presentOutputs() const
    {
        Paths found;
        std::error_code ec;
        for (const Path& p : outputs) {
            if (std::filesystem::exists(p, ec)) found.push_back(p);
        }
        return found;
    }
};
