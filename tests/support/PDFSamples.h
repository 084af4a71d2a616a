#pragma once
#include "core/Paths.h"

#include <string>
#include <vector>

// Small PDFs written object by object, so that tests control page boxes, rotation,
// inheritance, images and damage exactly. Object 1 is the catalog, 2 the page tree; objects
// added by the test follow, pages and their contents come last. "{page N}" anywhere stands
// for a reference to the N-th page.
class PDFBuilder {
public:
    struct Page {
        std::string content;
        std::string box = "0 0 612 792";  // empty: inherited from the page tree
        int rotate = 0;
        // Extra resource entries ("/XObject << /Im1 3 0 R >>"), or a reference to a whole
        // resource dictionary that pages share ("3 0 R").
        std::string resources = {};
        std::string keys = {};  // extra page keys, e.g. "/Annots [5 0 R]"
    };

    // Adds an object; returns its number.
    int add(const std::string& object);
    int addStream(const std::string& dict, const std::string& data);
    void page(const Page& page);
    // Pages with one line of text each, in Helvetica 24 pt.
    void textPages(const std::vector<std::string>& lines);
    // Keys of the page tree's root, which its pages inherit ("/Rotate 90").
    std::string treeKeys;
    // Extra entries of the root's /Kids ("7 0 R").
    std::string extraKids;
    // Extra catalog keys ("/Outlines 9 0 R").
    std::string catalogKeys;

    std::string bytes() const;
    Path write(const Path& path) const;

private:
    std::vector<std::string> objects_;
    std::vector<Page> pages_;
};

namespace PDFSamples {
// "BT /F1 size Tf x y Td (text) Tj ET" with the string escaped; F2 is Helvetica-Bold.
std::string text(double x, double y, const std::string& line, int size = 24, const std::string& font = "F1");
std::string ref(int object);

struct Info {
    int pages = 0;
    std::vector<std::string> sizes;  // "612 x 792" per page
    std::vector<int> rotations;
};
// What the independent readers say: pdfinfo for pages, sizes and rotation, qpdf --check.
Info pdfinfo(const Path& pdf);
bool qpdfChecks(const Path& pdf);
std::string pdftotext(const Path& pdf);
}
