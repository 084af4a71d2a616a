#include "core/Progress.h"

#include <algorithm>
#include <cmath>

namespace Progress {

namespace {
thread_local Sink sink;
}

void report(double fraction)
{
    if (!sink || std::isnan(fraction)) return;
    sink(std::clamp(fraction, 0.0, 1.0));
}

Sink current()
{
    return sink;
}

Scope::Scope(Sink next) : previous_(std::move(sink))
{
    sink = std::move(next);
}

Scope::~Scope()
{
    sink = std::move(previous_);
}

}
