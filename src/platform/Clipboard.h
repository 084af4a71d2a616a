#pragma once
#include <string>

// The desktop's clipboard.
namespace Clipboard {
// Replaces the clipboard's content with plain text. Main thread only.
void setText(const std::string& text);
}
