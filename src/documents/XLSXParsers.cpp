#include "documents/XLSXParsers.h"

#include "documents/XLSXNamespaces.h"
#include "documents/XmlScan.h"

namespace XLSX::SharedStringsParser {

namespace {
class Handler : public XmlScan::Handler {
public:
    std::vector<std::string> strings;

    void start(int space, std::string_view local, std::span<const XmlScan::Attribute>) override
    {
        if (space < 0) return;
        if (local == "si") {
            current.clear();
        } else if (local == "rPh") {
            ++phonetic;
        } else if (local == "t") {
            inT = phonetic == 0;
        }
    }
    void end(int space, std::string_view local) override
    {
        if (space < 0) return;
        if (local == "t") {
            inT = false;
        } else if (local == "rPh") {
            --phonetic;
        } else if (local == "si") {
            // No sheet can use more strings than it has cells, nor hold more text.
            budget.addCells(1);
            budget.addBytes(current.size());
            strings.push_back(std::move(current));
            current.clear();
        }
    }
    void text(std::string_view text) override
    {
        if (!inT) return;
        TableLimits::checkBytes(current.size() + text.size());
        current += text;
    }

private:
    TableLimits::Budget budget;
    std::string current;
    int phonetic = 0;
    bool inT = false;
};
}

std::vector<std::string> parse(std::string_view xml)
{
    return XmlScan::read(Namespaces::mainSpaces, [] { return Handler(); }, XmlScan::whole(xml)).strings;
}

std::vector<std::string> parseEntry(const Path& zip, const std::string& entry)
{
    return XmlScan::read(Namespaces::mainSpaces, [] { return Handler(); }, XmlScan::entry(zip, entry)).strings;
}

}
