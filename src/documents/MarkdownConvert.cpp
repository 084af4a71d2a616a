#include "documents/MarkdownConvert.h"

#include "core/Errors.h"
#include "core/Output.h"
#include "documents/EPUB.h"
#include "documents/Markdown.h"
#include "documents/TextFile.h"

namespace MarkdownConvert {

std::string title(const Path& source)
{
    Path name = source.filename();
    name.replace_extension();
    if (lowerExt(name) == "tar") name.replace_extension();
    return name.string();
}

Path convert(const Path& source, const std::string& ext)
{
    if (ext != "html" && ext != "epub") throw KError("Can't write ." + ext);
    const std::string body = Markdown::toHTML(TextFile::read(source));
    return Output::produce(source, ext, "", [&](const Path& to) {
        if (ext == "html") TextFile::write(to, Markdown::page(title(source), body));
        else EPUB::write(title(source), body, to);
    });
}

}
