#include "catalog/Catalog.h"
#include "TestSupport.h"
#include "wheel/Symbols.h"

#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>

using TestSupport::FreshHome;

namespace {
// The glyphs the Material Icons font shapes the text into.
QList<QGlyphRun> shape(const QString& text)
{
    QFont font(*Symbols::fontFamily());
    font.setPixelSize(16);
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    return layout.glyphRuns();
}
}

TEST(Symbols, EveryTableSymbolIsOneMaterialIcon)
{
    ASSERT_TRUE(Symbols::fontFamily()) << "the Material Icons font is not installed";
    for (const std::string& name : Symbols::catalogNames()) {
        const auto ligature = Symbols::ligature(name);
        ASSERT_TRUE(ligature) << name << " has no icon";
        const QList<QGlyphRun> runs = shape(*ligature);
        ASSERT_EQ(runs.size(), 1) << name;
        EXPECT_EQ(runs[0].rawFont().familyName(), "Material Icons") << name;
        EXPECT_EQ(runs[0].glyphIndexes().size(), 1) << name << ": " << ligature->toStdString() << " is no ligature";
    }
    EXPECT_FALSE(Symbols::ligature("no.such.symbol"));
}

TEST_F(FreshHome, SymbolsCoverWhatTheCatalogOffers)
{
    TestSupport::TempDir dir;
    std::filesystem::create_directory(dir / "folder");
    std::vector<Paths> selections = {{dir / "folder"}, {dir / "a.png", dir / "b.jpg"}, {dir / "e.pdf", dir / "f.pdf"}, {dir / "a.png", dir / "c.mp4"}};
    for (const std::string name : {"a.png", "b.jpg", "c.mp4", "d.mp3", "e.pdf", "f.pdf", "g.docx", "h.md", "i.xlsx", "j.csv", "k.pptx", "l.epub", "m.srt", "n.zip", "o.tar.gz", "p.gz"}) {
        TestSupport::writeFile(dir / name, "x");
        selections.push_back({dir / name});
    }
    // Every symbol offered is one the table maps, so the test above checks its icon.
    const auto& known = Symbols::catalogNames();
    for (const Paths& selection : selections) {
        for (WheelMode mode : WheelModes::allCases()) {
            for (const WheelOption& option : Catalog::options(selection, mode)) {
                if (!option.symbol) continue;
                EXPECT_NE(std::find(known.begin(), known.end(), *option.symbol), known.end()) << option.title << ": " << *option.symbol;
            }
        }
    }
}
