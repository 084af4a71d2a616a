#pragma once
#include <QRegularExpression>
#include <QString>

#include <string>
#include <string_view>
#include <vector>

class QTextDocument;

// The house Markdown dialect: line based, no nesting, no tables, no raw HTML.
namespace Markdown {
// "&" → "&amp;", "<" → "&lt;", ">" → "&gt;"; double quotes stay.
QString escape(const QString& text);
std::string escape(const std::string& text);
// Markdown text → HTML fragment, lines joined with line feeds.
std::string toHTML(const std::string& markdown);
// One line or paragraph → escaped HTML with inline markup. (`inline` is a C++ keyword.)
std::string inlineHTML(const std::string& text);
// escape and inlineHTML for text already known to be valid UTF-8.
std::string escapeValid(std::string_view text);
std::string inlineValid(std::string_view text);
// Styled text → Markdown: headings from the paragraphs' type size against the body's, bold,
// italic, links, list items, and tables as pipe tables.
std::string fromAttributed(const QTextDocument& document);
// A complete styled HTML page around a fragment.
std::string page(const std::string& title, const std::string& body);
// Splits text at every match of separator; pieces trimmed of spaces and tabs, empty ones
// kept, so n matches give n + 1 pieces.
std::vector<std::string> components(const std::string& text, const QRegularExpression& separator);
}
