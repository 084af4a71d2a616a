#include "ImageSamples.h"
#include "PDFSamples.h"
#include "TestSupport.h"

#include "documents/DocumentOps.h"
#include "documents/EPUB.h"
#include "media/ImageOps.h"

#include <QTextDocument>

using namespace TestSupport;

using CommandLineRows = FreshHomeWithFiles;

// Rows of every kind run as a user runs them from a shell, on small inputs in one folder; each
// prints its outputs, or its message, or one error line. "@" stands for the folder.
TEST_F(CommandLineRows, RunAndPrintTheirOutputsOrOneError)
{
    ImageSamples::save(ImageSamples::noise(120, 80), dir / "a.jpg");
    ImageSamples::save(ImageSamples::noise(90, 60), dir / "-b.jpg");
    ImageSamples::save(ImageSamples::noise(2000, 1000), dir / "big.png");
    PDFBuilder a, b;
    a.textPages({"first", "second"});
    a.write(dir / "-a.pdf");
    b.textPages({"third"});
    b.write(dir / "b.pdf");
    // Texts, tables, subtitles and a folder "photos" packed by tar, 7z and bsdtar (cpio).
    std::filesystem::copy(Path(VARNOLT_TEST_DATA) / "catalog/rows", dir.path());
    ASSERT_EQ(runProgram("/usr/bin/ffmpeg", {"-loglevel", "error", "-f", "lavfi", "-i", "anullsrc=r=16000:cl=mono", "-t", "2", (dir / "quiet.wav").string()}).status, 0);
    const std::string web = ImageOps::canWrite("webp") ? "webp" : "jpg";

    const std::pair<Names, std::string> runs[] = {
        {{"convert", "webp", "a.jpg", "-b.jpg"}, "@a.webp\n@-b.webp"},
        {{"tools", "fit 1 mb", "big.png"}, "@big (1 MB).jpg"},
        {{"tools", "fit 1 mb", "a.jpg"}, "Already under 1 MB — nothing to do"},
        // Tools on two files edit each by itself; the PDF takes both.
        {{"tools", "rotate", "a.jpg", "-b.jpg"}, "@a (rotated).jpg\n@-b (rotated).jpg"},
        {{"tools", "combine", "a.jpg", "-b.jpg"}, "@a (combined).pdf"},
        // The seeded preset, found by its name in any case.
        {{"convert", "web", "big.png"}, "@big (Web)." + web},
        {{"tools", "merge", "./-a.pdf", "b.pdf"}, "@-a (merged).pdf"},
        {{"tools", "split", "./-a.pdf"}, "@-a (pages)"},
        {{"tools", "rotate", "b.pdf"}, "@b (rotated).pdf"},
        {{"tools", "compress", "b.pdf"}, "@b (compressed).pdf"},
        {{"tools", "compress", "b (compressed).pdf"}, "ERROR: This PDF is already as small as it can get"},
        {{"convert", "png", "b.pdf"}, "@b.png"},
        {{"convert", "jpg", "./-a.pdf"}, "@-a (JPG)"},
        {{"convert", "xlsx", "b.pdf"}, "@b.xlsx"},
        {{"convert", "txt", "./-a.pdf"}, "@-a.txt"},
        {{"convert", "docx", "b.pdf"}, "@b.docx"},
        // The recognised text is printed too: a command line has no clipboard that outlives it.
        {{"tools", "text", "b.pdf"}, "@b (text).txt\n1 word copied to the clipboard\nthird"},
        {{"convert", "html", "notes.md"}, "@notes 2.html"},
        {{"convert", "epub", "notes.md"}, "@notes.epub"},
        {{"convert", "docx", "notes.md"}, "@notes.docx"},
        {{"convert", "md", "notes.docx"}, "@notes 2.md"},
        {{"convert", "epub", "notes.docx"}, "@notes 2.epub"},
        {{"convert", "docx", "notes 2.epub"}, "@notes 2.docx"},
        {{"convert", "rtf", "notes.md"}, "@notes.rtf"},
        {{"convert", "pdf", "notes.rtf"}, "@notes.pdf"},
        {{"convert", "odt", "notes.md"}, "@notes.odt"},
        {{"tools", "words", "notes.odt"}, "4 words · 16 characters"},
        {{"convert", "pdf", "data.csv"}, "@data.pdf"},
        {{"convert", "vtt", "./-movie.srt"}, "@-movie.vtt"},
        {{"convert", "vtt", "empty.srt"}, "ERROR: No subtitles found in empty.srt"},
        {{"convert", "xlsx", "data.csv"}, "@data.xlsx"},
        {{"tools", "bleep", "quiet.wav"}, "No profanity found — nothing to bleep"},
        {{"tools", "dedupe", "data.csv", "list.csv"}, "@data (deduplicated).csv\n@list (deduplicated).csv\nRemoved 2 duplicate rows"},
        {{"tools", "zip", "notes.md", "data.csv"}, "@Archive.zip"},
        {{"convert", "extract", "photos.tar.gz"}, "@photos"},
        {{"convert", "extract", "x.7z"}, "@photos 2"},
        {{"convert", "extract", "x.cpio"}, "@photos 3"},
        {{"convert", "extract", "broken.tar.gz"}, "ERROR: broken.tar.gz wasn't extracted: it isn't an archive, or it is damaged"},
        // The convert page's packaging takes the whole selection into one archive.
        {{"convert", "tar.gz", "photos", "a.jpg"}, "@Archive.tar.gz"},
    };
    for (const auto& [args, expected] : runs) {
        Names command = {"--run"};
        command.insert(command.end(), args.begin(), args.end());
        const CommandResult run = runVarnolt(command, {}, dir.path());
        std::string out;
        for (char c : expected + "\n") out += c == '@' ? dir.path().string() + "/" : std::string(1, c);
        EXPECT_EQ(run.out, out) << args[1] << " " << args[2] << ": " << run.err;
        EXPECT_EQ(run.status, out.starts_with("ERROR: ") ? 1 : 0) << args[1] << " " << args[2];
    }
    EXPECT_EQ(readFile(dir / "photos 3/1.jpg"), "1");
    EXPECT_EQ(readFile(dir / "-a.txt"), "first\n\nsecond");
    EXPECT_EQ(readFile(dir / "data (deduplicated).csv"), "name,qty\napple,3\n");
    EXPECT_EQ(readFile(dir / "notes 2.md"), readFile(dir / "notes.md"));
    EXPECT_EQ(DocumentOps::read(dir / "notes 2.docx")->toPlainText().toStdString(), "Hi\nSome text & more.");
    EXPECT_NE(EPUB::readHTML(dir / "notes.epub").find("<h1>Hi</h1>\n<p>Some <em>text</em> &amp; more.</p>"), std::string::npos);
    for (const std::string& name : listFolder(dir.path())) EXPECT_FALSE(name.starts_with(".varnolt-")) << name;
    // The seeded preset comes first on the convert page.
    EXPECT_NE(runVarnolt({"--list", "photo.heic"}, {}, dir.path()).out.find("⇧ Convert: Web, "), std::string::npos);
}
