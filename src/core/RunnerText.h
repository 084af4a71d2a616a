#pragma once
#include "core/Paths.h"

#include <cstdint>
#include <string>

// The words a finished run is reported with.
namespace RunnerText {
// A file size as file managers write it: "999 bytes", "500 KB", "2 MB", "2.4 MB", "1.25 GB".
std::string byteCount(std::int64_t bytes);
// The output's file name, or "3 files".
std::string title(const Paths& outputs);
// "2.4 MB → 1.1 MB  (−54%)"; the saving only when the output is smaller than a non-empty input.
std::string sizes(std::int64_t inputBytes, std::int64_t outputBytes);
// "Couldn't compress" for the option Compress.
std::string failureTitle(const std::string& optionTitle);
// "Moved 2 files to the Trash".
std::string moved(int count);
}
