#include "ImageSamples.h"

#include "TestSupport.h"
#include "catalog/Catalog.h"
#include "catalog/CatalogFrame.h"

using namespace ImageSamples;
using namespace TestSupport;

// Each picture's text is written beside it; all of it, a blank line between files, is what
// the clipboard gets, and the message counts its words.
using TextRows = FreshHomeWithFiles;

TEST_F(TextRows, TextCollectsEveryFilesTextForTheClipboard)
{
    save(printedText({"Alpha one"}, 40), dir / "a.png");
    save(printedText({"Bravo two,", "and three"}, 40), dir / "b.png");
    const WheelOption text = option(Catalog::toolOptions(FileKind::image, {dir / "a.png"}), "Text");
    const OptionResult result = text.run({dir / "a.png", dir / "b.png"});
    EXPECT_EQ(result.outputs, (Paths{dir / "a (text).txt", dir / "b (text).txt"}));
    EXPECT_EQ(result.clipboard, "Alpha one\n\nBravo two,\nand three");
    EXPECT_EQ(result.message, "6 words copied to the clipboard");
}

TEST(WordCount, CountsWordsNotPunctuationOrSpace)
{
    const std::vector<std::pair<std::string, size_t>> cases = {
        {"", 0}, {" \n\n ", 0}, {"— , .", 0}, {"one", 1}, {"don't stop", 2}, {"3.14 is pi", 3}, {"naïve café", 2},
    };
    for (const auto& [text, words] : cases) EXPECT_EQ(Catalog::wordCount(text), words) << text;
}
