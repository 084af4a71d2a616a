#pragma once
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

class QTextDocument;

// Rich Text Format in both directions: fonts, sizes, bold, italic, underline, strike-through,
// colours, links, paragraphs, simple tables and list items.
namespace RTF {
// Thrown when the bytes do not start like an RTF document; the caller names the file.
class NotRTF : public std::runtime_error {
public:
    NotRTF() : std::runtime_error("not RTF") {}
};

// Any bytes: unbalanced braces, deep nesting and oversized binary runs are read as far as
// they make sense, in time and memory proportional to the input.
std::unique_ptr<QTextDocument> read(std::string_view bytes);
// Seven-bit RTF; characters beyond ASCII as \u escapes.
std::string write(const QTextDocument& document);
}
