#pragma once
#include "core/Jobs.h"

#include <string>
#include <sys/types.h>

// The process behind a job: this program with --job, leading a session and process group of
// its own (no terminal, and one signal ends it with everything it started), its standard
// input and output on /dev/null, descriptor 3 a socket to the application, and TMPDIR a
// private folder that goes with it.
struct JobProcess {
    pid_t pid = -1;
    int socket = -1;
    Path temporary;
    std::string startedWith;  // program, limits and environment
};

namespace JobProcesses {
// A job process waiting for its request: the one loaded ahead when it still fits, else a new
// one. Throws KError.
JobProcess take();
// Unless keepAhead is off or one is already waiting, starts a process that loads itself and
// waits for the next job. Called when a job has ended rather than when it begins: on a
// computer with few cores a process loading itself beside a running job slows that job.
void loadAhead();
// Starts a new one at once (used again when the one loaded ahead had just given up waiting).
JobProcess startNew();
// Kills the process group, reaps the process and removes its temporary folder. Returns the
// wait status.
int end(JobProcess& process);
// The exit status of a process loaded ahead that waited two minutes for a request in vain.
constexpr int idleExit = 75;
constexpr int idleSeconds = 120;
void setKeepAhead(bool keep);
void setProgram(const Path& program);
}
