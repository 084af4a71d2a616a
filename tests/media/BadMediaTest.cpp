#include "MediaSamples.h"

#include "TestSupport.h"
#include "media/MediaOps.h"

using namespace MediaSamples;
using TestSupport::errorOf;

namespace {
// The position of the packet halfway through the file, so that a cut there splits no packet.
std::streamoff middlePacket(const Path& file)
{
    std::vector<std::streamoff> positions;
    std::istringstream lines(TestSupport::runProgram("/usr/bin/ffprobe", {"-v", "error", "-show_entries", "packet=pos", "-of", "csv=p=0", file.string()}).out);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty() && std::isdigit(static_cast<unsigned char>(line[0]))) positions.push_back(std::stoll(line));
    std::sort(positions.begin(), positions.end());
    return positions.at(positions.size() / 2);
}
}

class BadMedia : public TestSupport::FreshHomeWithFiles {};

TEST_F(BadMedia, IsRefusedWithAClearMessageAndNothingLeftBehind)
{
    ToolsScope absent(false);
    const std::string whole = TestSupport::readFile(makeClip(dir / "whole.mp4", 1, "160x120", 1, {"-movflags", "+faststart"}));
    const std::string noIndex = TestSupport::readFile(makeClip(dir / "noindex.mp4", 1));
    file("empty.mov", "");
    file("notes.mp4", "Just some notes, not a film.\n");
    file("noindex.mov", noIndex.substr(0, noIndex.size() / 2));
    file("halfway.mov", whole.substr(0, whole.size() / 2));
    file("boundary.mov", whole.substr(0, static_cast<size_t>(middlePacket(dir / "whole.mp4"))));
    // A Matroska file whose header claims 100000 × 100000 frames, with a few bytes of picture.
    std::filesystem::copy_file(Path(VARNOLT_TEST_DATA) / "media/huge-frames.mkv", dir / "huge.mov");
    std::filesystem::remove(dir / "whole.mp4");
    std::filesystem::remove(dir / "noindex.mp4");

    const std::string damaged = "is damaged or incomplete and can't be read to the end";
    const std::pair<const char*, std::string> cases[] = {
        {"empty.mov", "empty.mov is empty"},
        {"notes.mp4", "Couldn't read notes.mp4 — it is damaged, incomplete or not a video or audio file"},
        {"noindex.mov", "Couldn't read noindex.mov — it is damaged, incomplete or not a video or audio file"},
        {"halfway.mov", "halfway.mov " + damaged},
        {"boundary.mov", "boundary.mov " + damaged},
        {"huge.mov", "huge.mov has frames of 100000 × 100000 pixels, too large to convert"},
    };
    const auto before = TestSupport::listFolder(dir.path());
    for (const auto& [name, message] : cases) {
        const std::string original = TestSupport::readFile(dir / name);
        for (const char* target : {"mp4", "gif", "m4a"}) {
            EXPECT_EQ(errorOf([&] { MediaOps::convert(dir / name, target); }), message) << name << " → " << target;
        }
        EXPECT_EQ(TestSupport::readFile(dir / name), original) << name;
    }
    EXPECT_EQ(TestSupport::listFolder(dir.path()), before);
}
