#include "PDFSamples.h"

#include "TestSupport.h"

#include <QRegularExpression>
#include <QString>

int PDFBuilder::add(const std::string& object)
{
    objects_.push_back(object);
    return int(objects_.size()) + 2;
}

int PDFBuilder::addStream(const std::string& dict, const std::string& data)
{
    return add("<< " + dict + " /Length " + std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream");
}

void PDFBuilder::page(const Page& page) { pages_.push_back(page); }

void PDFBuilder::textPages(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines) page({PDFSamples::text(72, 700, line)});
}

std::string PDFBuilder::bytes() const
{
    // Numbers: 1 catalog, 2 tree, 3… added objects, then page/content pairs, then two fonts.
    const int firstPage = int(objects_.size()) + 3;
    const int fonts = firstPage + 2 * int(pages_.size());
    std::vector<std::string> all = {"<< /Type /Catalog /Pages 2 0 R " + catalogKeys + " >>", ""};
    std::string kids;
    for (std::size_t i = 0; i < pages_.size(); ++i) kids += PDFSamples::ref(firstPage + 2 * int(i)) + " ";
    all[1] = "<< /Type /Pages /Kids [" + kids + extraKids + "] /Count " + std::to_string(pages_.size()) + " " + treeKeys + " >>";
    all.insert(all.end(), objects_.begin(), objects_.end());
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        const Page& p = pages_[i];
        const bool shared = !p.resources.empty() && std::isdigit(static_cast<unsigned char>(p.resources[0]));
        const std::string resources = shared ? p.resources
                                             : "<< /Font << /F1 " + PDFSamples::ref(fonts) + " /F2 " + PDFSamples::ref(fonts + 1) + " >> " + p.resources + " >>";
        std::string page = "<< /Type /Page /Parent 2 0 R /Contents " + PDFSamples::ref(firstPage + 2 * int(i) + 1) + " /Resources " + resources + " ";
        if (!p.box.empty()) page += "/MediaBox [" + p.box + "] ";
        if (p.rotate) page += "/Rotate " + std::to_string(p.rotate) + " ";
        all.push_back(page + p.keys + " >>");
        all.push_back("<< /Length " + std::to_string(p.content.size()) + " >>\nstream\n" + p.content + "\nendstream");
    }
    all.push_back("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
    all.push_back("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold /Encoding /WinAnsiEncoding >>");

    std::string out = "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < all.size(); ++i) {
        offsets.push_back(out.size());
        std::string object = all[i];
        for (std::size_t at; (at = object.find("{page ")) != std::string::npos;) {
            const std::size_t end = object.find('}', at);
            object.replace(at, end + 1 - at, PDFSamples::ref(firstPage + 2 * (std::stoi(object.substr(at + 6, end - at - 6)) - 1)));
        }
        out += std::to_string(i + 1) + " 0 obj\n" + object + "\nendobj\n";
    }
    const std::size_t xref = out.size();
    out += "xref\n0 " + std::to_string(all.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t offset : offsets) {
        char line[24];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
        out += line;
    }
    out += "trailer\n<< /Size " + std::to_string(all.size() + 1) + " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return out;
}

Path PDFBuilder::write(const Path& path) const 
{
    TestSupport::writeFile(path, bytes());
    return path;
}

namespace PDFSamples {

std::string text(double x, double y, const std::string& line, int size, const std::string& font)
{
    std::string escaped;
    for (char c : line) {
        if (c == '(' || c == ')' || c == '\\') escaped += '\\';
        escaped += c;
    }
    char position[64];
    std::snprintf(position, sizeof position, "%g %g", x, y);
    return "BT /" + font + " " + std::to_string(size) + " Tf " + position + " Td (" + escaped + ") Tj ET\n";
}

std::string ref(int object) { return std::to_string(object) + " 0 R"; }

Info pdfinfo(const Path& pdf)
{
    const TestSupport::CommandResult run = TestSupport::runProgram("pdfinfo", {"-f", "1", "-l", "100000", pdf.string()});
    Info info;
    const QString out = QString::fromStdString(run.out);
    static const QRegularExpression pages("^Pages:\\s+(\\d+)", QRegularExpression::MultilineOption);
    static const QRegularExpression size("^Page\\s+\\d+ size:\\s+([\\d.]+ x [\\d.]+) pts", QRegularExpression::MultilineOption);
    static const QRegularExpression rotation("^Page\\s+\\d+ rot:\\s+(\\d+)", QRegularExpression::MultilineOption);
    if (const auto match = pages.match(out); match.hasMatch()) info.pages = match.captured(1).toInt();
    for (auto it = size.globalMatch(out); it.hasNext();) info.sizes.push_back(it.next().captured(1).toStdString());
    for (auto it = rotation.globalMatch(out); it.hasNext();) info.rotations.push_back(it.next().captured(1).toInt());
    return info;
}

bool qpdfChecks(const Path& pdf) { return TestSupport::runProgram("qpdf", {"--check", pdf.string()}).status == 0; }

std::string pdftotext(const Path& pdf) { return TestSupport::runProgram("pdftotext", {pdf.string(), "-"}).out; }

}
