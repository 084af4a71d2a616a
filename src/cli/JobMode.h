#pragma once

// This program started with --job by the application: it loads what conversions need, waits
// for one request on descriptor 3, runs that option there and reports over the same socket
// everything the application needs to know (see JobProtocol), then ends.
namespace JobMode {
bool isJob(int argc, char** argv);
int serve(int argc, char** argv);
}
