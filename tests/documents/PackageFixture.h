#pragma once
#include "TestSupport.h"

#include "documents/Package.h"

// Packages zipped from fixture folders of parts under tests/data/documents, and the parts
// spreadsheet tests fill with rows of their own.
namespace PackageFixture {

inline const Path data = Path(VARNOLT_TEST_DATA) / "documents";

// The package of the parts in data/<fixture>, written to <folder>/<name>.
inline Path zipped(const std::string& fixture, const Path& folder, const std::string& name, const std::optional<std::string>& mimetype = std::nullopt)
{
    Package::Entries parts;
    const Path from = data / fixture;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(from)) {
        if (entry.is_regular_file()) parts[entry.path().lexically_relative(from).string()] = TestSupport::readFile(entry.path());
    }
    Package::write(parts, mimetype, folder / name);
    return folder / name;
}

// An XLSX worksheet part holding the given <row> elements.
inline std::string xlsxSheet(const std::string& rows)
{
    return R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)" + rows + "</sheetData></worksheet>";
}

// An ODS content part whose first table holds the given <table:table-row> elements.
inline std::string odsContent(const std::string& rows)
{
    return R"(<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"><office:body><office:spreadsheet><table:table>)" +
           rows + "</table:table></office:spreadsheet></office:body></office:document-content>";
}

}
