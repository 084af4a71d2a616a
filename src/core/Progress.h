#pragma once
#include <functional>

// How long work tells whoever runs it how far it has come. The runner of an option installs
// a sink for the thread that does the work; engines call report() with the fraction done
// (0…1) and never need to know whether a toast, a job pipe or nothing listens.
namespace Progress {
using Sink = std::function<void(double fraction)>;

// Passes the fraction to this thread's sink, if there is one. Values are clamped to 0…1.
void report(double fraction);
// This thread's sink, to hand on to helper threads that work for the same run.
Sink current();

// Installs a sink for the current thread for as long as it lives, then restores the previous one.
class Scope {
public:
    explicit Scope(Sink sink);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

private:
    Sink previous_;
};
}
