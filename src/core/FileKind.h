#pragma once
#include "core/Paths.h"

#include <optional>
#include <set>
#include <string>

enum class FileKind { image, video, audio, pdf, document, spreadsheet, slides, ebook, subtitle, archive, folder, other };

namespace FileKinds {
using ExtSet = std::set<std::string>;

extern const ExtSet documentExts;
extern const ExtSet spreadsheetExts;
extern const ExtSet slidesExts;
extern const ExtSet packageExts;
extern const ExtSet subtitleExts;
extern const ExtSet archiveExts;
extern const ExtSet videoExts;
extern const ExtSet audioExts;

// Every kind in its fixed order.
const std::vector<FileKind>& allCases();
std::string rawValue(FileKind kind);
std::optional<FileKind> fromRawValue(const std::string& raw);
std::string label(FileKind kind);

// Classifies one location by its name and directory flag only; never fails.
FileKind of(const Path& url);
}
