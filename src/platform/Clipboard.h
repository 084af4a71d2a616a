#pragma once
#include "core/Paths.h"

#include <QStringList>

#include <optional>
#include <string>

// The desktop's clipboard.
namespace Clipboard {
// Replaces the clipboard's content with plain text. Main thread only.
void setText(const std::string& text);
// Replaces it with file references: a file manager pastes the files, a text field their
// paths (text/uri-list, x-special/gnome-copied-files and text). Main thread only.
void setFiles(const Paths& files);
// Whether this process still provides the clipboard (no other program took it since).
bool owned();

// The clipboard's content as arguments for another Varnolt process, which takes it over:
// "--clipboard-files" and the paths when there are files, else "--clipboard-text" and the text.
QStringList handover(const std::optional<std::string>& text, const Paths& files);
// Sets the clipboard from such arguments; false when they are no handover.
bool take(const QStringList& arguments);
}
