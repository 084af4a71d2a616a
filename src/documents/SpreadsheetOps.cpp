#include "documents/SpreadsheetOps.h"

#include "core/Output.h"
#include "documents/Office.h"

#include <functional>
#include <unordered_set>

namespace SpreadsheetOps {

const std::vector<std::string> targets = {"xlsx", "csv", "tsv", "ods", "pdf", "json", "html", "md"};

namespace {
struct RowHash {
    std::size_t operator()(const Row* row) const
    {
        std::size_t hash = row->size();
        for (const std::string& cell : *row) hash = hash * 1000003 ^ std::hash<std::string>{}(cell);
        return hash;
    }
};

struct RowEqual {
    bool operator()(const Row* a, const Row* b) const { return *a == *b; }
};
}

Path convert(const Path& source, const std::string& ext)
{
    // Calc lays out a Numbers document's own pages; other tables become our table page.
    if (ext == "pdf" && lowerExt(source) == "numbers") return Office::exportAll(Office::App::numbers, {source}, ext).front();
    return Output::produce(source, ext, "", [&](const Path& to) { write(read(source), to, ext); });
}

Deduped dedupe(const Path& source)
{
    Table table = read(source);
    std::unordered_set<const Row*, RowHash, RowEqual> seen;
    std::vector<bool> keep(table.size());
    for (std::size_t r = 0; r < table.size(); ++r) keep[r] = seen.insert(&table[r]).second;
    seen.clear();
    Table kept;
    for (std::size_t r = 0; r < table.size(); ++r) {
        if (keep[r]) kept.push_back(std::move(table[r]));
    }
    std::string ext = lowerExt(source);
    if (ext == "numbers" || ext == "xls") ext = "xlsx";
    return {Output::produce(source, ext, "deduplicated", [&](const Path& to) { write(kept, to, ext); }), table.size() - kept.size()};
}

}
