#include "documents/SpreadsheetOps.h"

#include "core/Errors.h"
#include "documents/ODS.h"
#include "documents/XLSX.h"

#include <QSaveFile>

#include <stdexcept>

namespace SpreadsheetOps {

namespace {
// Written beside the destination and renamed onto it, so that a reader never sees half a
// file and a failure leaves the destination as it was.
void writeAtomically(const Path& to, std::string_view bytes)
{
    QSaveFile file(QString::fromStdString(to.string()));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()) ||
        !file.commit()) {
        throw std::runtime_error(file.errorString().toStdString());
    }
}
}

void write(const Table& table, const Path& to, const std::string& ext)
{
    if (ext == "csv") writeAtomically(to, delimited(table, ","));
    else if (ext == "tsv") writeAtomically(to, delimited(table, "\t"));
    else if (ext == "xlsx") XLSX::write(table, to);
    else if (ext == "ods") ODS::write(table, to);
    else if (ext == "json") writeAtomically(to, tableJSON(table));
    else if (ext == "html") writeAtomically(to, tableHTML(table, 14));
    else if (ext == "md") writeAtomically(to, tableMarkdown(table));
    else throw KError("Can't write ." + ext);
}

}
