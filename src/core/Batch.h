#pragma once
#include <cstddef>
#include <functional>

// Runs the files of a selection several at once, bounded by the cores and by memory, and
// leaves exactly what a one-at-a-time run in the given order leaves: names are handed out in
// file order (Output::Turn), and when a file fails, the files after it don't start, the
// outputs of those that were already running are removed, and the first failure in order is
// the one passed on. Progress is the share of the whole batch done.
namespace Batch {
// light: work that mostly runs on one core (an image, a document, an archive);
// heavy: work that uses every core itself (a video encode), of which fewer run at once.
enum class Load { light, heavy };

// How many of count files run at once on this machine.
std::size_t filesAtOnce(std::size_t count, Load load);

// Whether the calling thread's work has the cores to itself: false inside a batch that runs
// several files at once, where an encoder's own threads would only contend with the others.
bool alone();

// Calls work(i) for every i < count, in order of i as far as starting goes. After a failure
// of work(i), undo(j) is called for every j > i whose work succeeded, then the failure is
// rethrown.
void run(std::size_t count, Load load, const std::function<void(std::size_t)>& work,
         const std::function<void(std::size_t)>& undo);
}
