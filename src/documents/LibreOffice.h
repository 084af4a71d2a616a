#pragma once
#include "core/Paths.h"

#include <string>

// Word 97 documents, which only LibreOffice reads and writes here. Each conversion runs
// soffice headless with a profile folder of its own (so that it neither waits for nor
// disturbs a LibreOffice the user has open) and is killed after 300 seconds.
namespace LibreOffice {
inline constexpr int timeLimitSeconds = 300;

bool isInstalled();
// Converts source into `folder` as "<source stem>.<ext>" with LibreOffice's filter for ext
// ("docx", "doc", "pdf", "txt"); returns the new file. KError when LibreOffice is missing,
// fails, runs out of time or writes nothing.
Path convert(const Path& source, const std::string& ext, const Path& folder);
}
