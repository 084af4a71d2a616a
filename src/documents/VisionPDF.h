#pragma once
#include "media/VisionOps.h"

namespace VisionOps {
// The text of a PDF in "<name> (text).txt": each page's own text where it has some, the
// others drawn at 300 dpi and recognised, pages joined by a blank line. KError "No text found
// in <name>" and no file when no page holds any; the PDF layer's errors pass through.
TextOutput ocrPDF(const Path& url);
}
