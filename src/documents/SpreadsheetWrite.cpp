#include "documents/SpreadsheetOps.h"

#include "core/Errors.h"
#include "documents/DocumentOps.h"
#include "documents/ODS.h"
#include "documents/TextFile.h"
#include "documents/XLSX.h"

#include <QTextDocument>

namespace SpreadsheetOps {

void write(const Table& table, const Path& to, const std::string& ext)
{
    if (ext == "csv") TextFile::write(to, delimited(table, ","));
    else if (ext == "tsv") TextFile::write(to, delimited(table, "\t"));
    else if (ext == "xlsx") XLSX::write(table, to);
    else if (ext == "ods") ODS::write(table, to);
    else if (ext == "json") TextFile::write(to, tableJSON(table));
    else if (ext == "html") TextFile::write(to, tableHTML(table, 14));
    else if (ext == "md") TextFile::write(to, tableMarkdown(table));
    else if (ext == "pdf") DocumentOps::renderPDF(*DocumentOps::html(tableHTML(table, 10)), to);
    else throw KError("Can't write ." + ext);
}

}
