#include "XmlScanCompare.h"

#include <gtest/gtest.h>

using XmlScanCompare::expatRead;
using XmlScanCompare::scanned;

// Every document is fed whole and cut at every byte: wherever the scanner reads it, expat
// must read the same; the shapes applications write in bulk must not fall back to expat.
TEST(XmlScan, ReadsWhatExpatReadsOrLeavesItToExpat)
{
    struct Case {
        std::string_view xml;
        bool fast;
    };
    const Case cases[] = {
        {"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<a xmlns=\"urn:a\" xmlns:x=\"urn:b\"><row r=\"1\" x:dy=\"0.2\">"
         "<c r=\"A1\" t=\"s\"><v>12</v></c><c r='B1' s = \"3\" ><v>1&amp;2&lt;&#x41;&#66;&#x1F600;</v></c></row><x:c/></a>\n",
         true},
        {"\xEF\xBB\xBF<a xmlns='urn:b'><b xml:space=\"preserve\" k=\"a&#9;b\tc\nd&gt;>\">caf\xC3\xA9 ] > \xE2\x82\xAC</b></a>", true},
        // Declarations further in, as extension lists carry them, and a default undone.
        {"<a xmlns=\"urn:a\"><ext xmlns:y=\"urn:b\"><y:i y:v=\"1\" v=\"2\"/></ext><n xmlns=\"\"><m/></n><y/></a>", true},
        {"<a xmlns:o=\"urn:other\" o:v=\"1\"><o:b/></a>", true},
        {"<a><b/><!-- note --></a>", false},
        {"<a><![CDATA[x]]></a>", false},
        {"<a>x\r\ny</a>", false},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE9</a>", false},
        {"<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>", false},
        // Not well-formed: the scanner must refuse what expat refuses.
        {"<a><b></a></b>", false},
        {"<a x=\"1\" x=\"2\"/>", false},
        {"<a xmlns:p=\"urn:a\" xmlns:q=\"urn:a\" p:x=\"1\" q:x=\"2\"/>", false},
        {"<a><p:b/></a>", false},
        {"<a x=\"1\"y=\"2\"/>", false},
        {"<a x=\"<\"/>", false},
        {"<a>]]></a>", false},
        {"<a>&bogus;</a>", false},
        {"<a>&#0;&#xD800;</a>", false},
        {"<a>\xC0\xAF \xED\xA0\x80 \xEF\xBF\xBE</a>", false},
        {"<a>\x01</a>", false},
        {"<a/><b/>", false},
        {"<a/>junk", false},
        {"<a>", false},
        {" <?xml version=\"1.0\"?><a/>", false},
        {"<a:b:c/>", false},
        {"<a xmlns=\"urn:a b\"/>", false},
    };
    for (const Case& c : cases) {
        const auto expected = expatRead(c.xml);
        const auto whole = scanned(c.xml, c.xml.size());
        EXPECT_EQ(whole.has_value(), c.fast) << c.xml;
        if (whole) {
            EXPECT_EQ(whole, expected) << c.xml;
        }
        for (std::size_t piece = 1; piece < c.xml.size(); ++piece) {
            const auto cut = scanned(c.xml, piece);
            if (cut) {
                EXPECT_EQ(cut, expected) << c.xml << " in pieces of " << piece;
            }
            EXPECT_EQ(cut.has_value(), whole.has_value()) << c.xml << " in pieces of " << piece;
        }
    }
}
