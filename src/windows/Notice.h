#pragma once
#include <functional>
#include <string>

// What the user is told when a run or an undo ends.
struct Notice {
    std::string title;
    std::string subtitle;
    bool failed = false;
};

using Notify = std::function<void(const Notice&)>;
