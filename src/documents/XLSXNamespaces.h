#pragma once
#include "documents/XmlStream.h"

#include <array>
#include <string_view>

// The namespaces of workbook parts, in their transitional and strict forms, for names read
// with XmlStream::Names::byNamespace.
namespace XLSX::Namespaces {
constexpr std::string_view mainTransitional = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr std::string_view mainStrict = "http://purl.oclc.org/ooxml/spreadsheetml/main";
constexpr std::string_view relationshipsTransitional = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr std::string_view relationshipsStrict = "http://purl.oclc.org/ooxml/officeDocument/relationships";
constexpr std::string_view package = "http://schemas.openxmlformats.org/package/2006/relationships";
// The main namespace's two forms, for XmlScan readers.
constexpr std::array<std::string_view, 2> mainSpaces = {mainTransitional, mainStrict};

// The local part of a SpreadsheetML name, or nullptr for any other namespace.
inline const char* main(const char* name)
{
    const char* local = XmlStream::local(name, mainTransitional);
    return local ? local : XmlStream::local(name, mainStrict);
}

// The local part of an office-document relationship name ("r:id"), or nullptr.
inline const char* relationship(const char* name)
{
    const char* local = XmlStream::local(name, relationshipsTransitional);
    return local ? local : XmlStream::local(name, relationshipsStrict);
}
}
