#pragma once
#include <string>
#include <vector>

// The command-line face of the program: --run, --list, --undo and --render-wheel.
namespace CLI {
bool isCommandWord(const std::string& word);
// Returns false, doing nothing, when args holds no command word. Otherwise runs the
// command inside an event loop and ends the process with its status.
bool handle(int argc, char** argv);
// Does the command and returns the exit status; called on the main thread inside the loop.
int run(const std::vector<std::string>& args);
}
