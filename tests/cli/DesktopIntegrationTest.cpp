#include "TestSupport.h"

#include <QImage>
#include <QStandardPaths>

#include <filesystem>
#include <regex>

using namespace TestSupport;

namespace {
const Path source = VARNOLT_SOURCE_DIR;
const Path build = std::filesystem::path(VARNOLT_EXE).parent_path();

bool have(const char* program) { return !QStandardPaths::findExecutable(program).isEmpty(); }
const std::map<std::string, std::string> withVarnoltOnPath = {{"PATH", build.string() + ":" + qEnvironmentVariable("PATH").toStdString()}};

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) out.push_back(text.substr(start, end - start));
    return out;
}

// The titles `varnolt --list` prints for one page, as bash offers them (spaces escaped).
std::vector<std::string> listed(const std::string& page, const Path& file)
{
    const std::string out = runVarnolt({"--list", file.string()}).out;
    const size_t from = out.find(" " + page + ": ") + page.size() + 3;
    const std::string escaped = std::regex_replace(out.substr(from, out.find('\n', from) - from), std::regex(" "), "\\ ");
    return lines(std::regex_replace(escaped, std::regex(",\\\\ "), "\n") + "\n");
}
}

class DesktopIntegrationTest : public FreshHomeWithFiles {};

// bash's completion function, driven as bash drives it: the cursor on the option's place with
// the files typed after it, or on the mode, or after the command word.
TEST_F(DesktopIntegrationTest, BashCompletesModesTitlesOfTheTypedFilesAndFiles)
{
    const Path photo = dir / "my photo.png";
    ASSERT_TRUE(QImage(8, 8, QImage::Format_RGB32).save(QString::fromStdString(photo.string())));
    struct Case { std::string words; int cword; std::vector<std::string> expected; };
    const std::vector<std::string> convert = listed("Convert", photo), tools = listed("Tools", photo);
    ASSERT_FALSE(convert.empty());
    std::vector<std::string> fitTitles;
    std::copy_if(tools.begin(), tools.end(), std::back_inserter(fitTitles), [](const std::string& t) { return t[0] == 'F' || t[0] == 'f'; });
    for (const Case& c : std::vector<Case>{
             {"varnolt --run convert '' my\\ photo.png", 3, convert},
             {"varnolt --perform tools f my\\ photo.png", 3, fitTitles},
             {"varnolt --run ''", 2, {"convert", "tools", "actions"}},
             {"varnolt --run a", 2, {"actions"}},
             {"varnolt --list my", 2, {"my photo.png"}},
         }) {
        const std::string script = "source '" + (source / "data/completion/varnolt.bash").string() + "'\nCOMP_WORDS=(" + c.words
                                   + ")\nCOMP_CWORD=" + std::to_string(c.cword) + "\n_varnolt\nprintf '%s\\n' \"${COMPREPLY[@]}\"\n";
        const CommandResult r = runProgram("bash", {"-c", script}, withVarnoltOnPath, dir.path());
        std::vector<std::string> got = lines(r.out);
        if (got == std::vector<std::string>{""}) got.clear();
        EXPECT_EQ(got, c.expected) << c.words << r.err;
    }
}

TEST_F(DesktopIntegrationTest, FishAndZshScriptsLoad)
{
    if (have("fish")) {
        const CommandResult r = runProgram("fish", {"-c", "source " + (source / "data/completion/varnolt.fish").string() + "; complete -C 'varnolt --run '"},
                                           withVarnoltOnPath);
        EXPECT_EQ(r.out, "convert\ntools\nactions\n") << r.err;
    }
    if (have("zsh")) {
        EXPECT_EQ(runProgram("zsh", {"-n", (source / "data/completion/_varnolt").string()}).status, 0);
    }
}

TEST_F(DesktopIntegrationTest, ManualDesktopEntryAndMetadataAreValid)
{
    if (!have("groff") || !have("desktop-file-validate") || !have("appstreamcli")) GTEST_SKIP() << "validators not installed";
    const CommandResult man = runProgram("groff", {"-ww", "-man", "-Tutf8", (build / "varnolt.1").string()}, {{"LC_ALL", "C.UTF-8"}});
    EXPECT_EQ(man.status, 0);
    EXPECT_EQ(man.err, "");
    const CommandResult entry = runProgram("desktop-file-validate", {(source / "data/app.varnolt.Varnolt.desktop").string()});
    EXPECT_EQ(entry.status, 0) << entry.out;
    // A service menu is a desktop file of KDE's own type, whose keys the validator does not know.
    const CommandResult menu = runProgram("desktop-file-validate", {(source / "data/file-managers/varnolt-dolphin.desktop").string()});
    for (const std::string& line : lines(menu.out)) EXPECT_NE(line.find("\"Service\""), std::string::npos) << line;
    const CommandResult meta = runProgram("appstreamcli", {"validate", "--no-net", (build / "app.varnolt.Varnolt.metainfo.xml").string()});
    EXPECT_EQ(meta.status, 0) << meta.out;
}

// Thunar keeps the user's own actions in the same file: ours is added once, the rest stays.
TEST_F(DesktopIntegrationTest, ThunarActionJoinsTheUsersOwnOnce)
{
    const std::string mine = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n<action><name>Mine &amp; yours</name>"
                             "<unique-id>1</unique-id><command>x %f</command></action>\n</actions>\n";
    writeFile(home() / ".config/Thunar/uca.xml", mine);
    const std::string tool = (source / "data/file-managers/add-file-manager-menus").string();
    for (int run = 0; run < 2; ++run) EXPECT_EQ(runProgram(tool, {}).status, 0);
    const std::string merged = readFile(home() / ".config/Thunar/uca.xml");
    int ours = 0;
    for (size_t at = merged.find("<unique-id>varnolt-wheel<"); at != std::string::npos; at = merged.find("<unique-id>varnolt-wheel<", at + 1)) ++ours;
    EXPECT_EQ(ours, 1);
    const size_t added = merged.find("<action>\n\t<icon>");
    EXPECT_EQ(merged.substr(0, added) + merged.substr(merged.find("</action>\n", added) + 10), mine);

    writeFile(home() / ".config/Thunar/uca.xml", "not actions");
    EXPECT_NE(runProgram(tool, {}).status, 0);
    EXPECT_EQ(readFile(home() / ".config/Thunar/uca.xml"), "not actions");
}

// The package is made as scripts/package makes it, from this build, into a scratch folder.
TEST_F(DesktopIntegrationTest, DebianPackageCarriesEverythingAndPassesLintian)
{
    if (!have("dpkg-deb") || !have("cpack") || !have("lintian")) GTEST_SKIP() << "not a Debian machine";
    const CommandResult made = runProgram("cpack", {"-G", "DEB", "-B", dir.path().string(), "--config", (build / "CPackConfig.cmake").string()}, {}, build);
    ASSERT_EQ(made.status, 0) << made.out << made.err;
    Path deb;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        if (entry.path().extension() == ".deb") deb = entry.path();
    }
    ASSERT_FALSE(deb.empty());
    const std::string fields = runProgram("dpkg-deb", {"-f", deb.string()}).out;
    for (const char* wanted : {"Package: varnolt", "zip, unzip", "libvips42", "Recommends: ffmpeg"}) {
        EXPECT_NE(fields.find(wanted), std::string::npos) << wanted << "\n" << fields;
    }
    const std::string contents = runProgram("dpkg-deb", {"-c", deb.string()}).out;
    for (const char* wanted : {"./usr/bin/varnolt", "./usr/share/applications/app.varnolt.Varnolt.desktop",
                               "./usr/share/metainfo/app.varnolt.Varnolt.metainfo.xml", "./usr/share/icons/hicolor/256x256/apps/app.varnolt.Varnolt.png",
                               "./usr/share/man/man1/varnolt.1.gz", "./usr/share/bash-completion/completions/varnolt",
                               "./usr/share/kio/servicemenus/varnolt.desktop", "./usr/share/nemo/actions/varnolt-wheel.nemo_action",
                               "./usr/share/nautilus-python/extensions/varnolt-nautilus.py", "./usr/share/doc/varnolt/copyright"}) {
        EXPECT_NE(contents.find(wanted), std::string::npos) << wanted;
    }
    const CommandResult lint = runProgram("lintian", {"--fail-on", "error", deb.string()});
    EXPECT_EQ(lint.status, 0) << lint.out << lint.err;

    // The installed program finds the image engine, which it loads only when asked for it.
    const Path root = dir.path() / "root";
    ASSERT_EQ(runProgram("dpkg-deb", {"-x", deb.string(), root.string()}).status, 0);
    const Path picture = dir.path() / "dot.ppm";
    writeFile(picture, std::string("P6 2 1 255\n") + std::string(6, '\x80'));
    const CommandResult converted = runProgram((root / "usr/bin/varnolt").string(), {"--run", "convert", "png", picture.string()});
    EXPECT_EQ(converted.status, 0) << converted.out << converted.err;
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "dot.png"));
}
