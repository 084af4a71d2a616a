#pragma once
#include <expat.h>

#include <memory>
#include <string>

// Whether text is well-formed XML, as a reading system's parser sees it.
inline bool wellFormedXml(const std::string& text)
{
    const std::unique_ptr<std::remove_pointer_t<XML_Parser>, decltype(&XML_ParserFree)> parser(XML_ParserCreate("UTF-8"), &XML_ParserFree);
    return XML_Parse(parser.get(), text.data(), static_cast<int>(text.size()), XML_TRUE) == XML_STATUS_OK;
}
