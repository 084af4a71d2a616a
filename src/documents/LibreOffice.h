#pragma once
#include "core/Paths.h"

#include <optional>
#include <string>
#include <vector>

// LibreOffice run headless: it reads the office formats (Word, Excel, PowerPoint and the
// Apple ones) and writes them. Each run has a profile folder of its own, so that it neither
// waits for nor disturbs a LibreOffice the user has open, or another job's run.
namespace LibreOffice {
// How long one file may take; a run gets this for each of its files and is then killed,
// with everything it started.
inline constexpr int timeLimitSeconds = 300;

bool isInstalled();

// One conversion for many files: the filter as --convert-to takes it ("pdf:writer_pdf_Export")
// and the extension LibreOffice gives its outputs.
struct Filter {
    std::string ext;
    std::string name;
};

// What came of one source: the file written, or why there is none.
struct Converted {
    std::optional<Path> file;
    std::string failure;
    // The file; KError(failure) when there is none.
    const Path& take() const;
};

// Converts every source into `folder` with one soffice start (files whose outputs would have
// the same name go to separate runs). Returns one Converted per source, in order. KError
// when soffice is missing, fails or runs out of time.
std::vector<Converted> convertAll(const Paths& sources, const Filter& filter, const Path& folder);
Path convert(const Path& source, const Filter& filter, const Path& folder);
// convert with the Writer filter for ext ("docx", "doc", "pdf", "txt").
Path convert(const Path& source, const std::string& ext, const Path& folder);
}
