// libvips first: glib names a field "signals", which Qt's headers define away.
#include "media/ImageOps.h"

#include "TestSupport.h"

#include "core/JobProcess.h"
#include "core/Jobs.h"
#include "PDFSamples.h"
#include "presets/PresetStore.h"

#include <QDir>

#include <chrono>
#include <future>
#include <thread>

using namespace TestSupport;
using namespace std::chrono_literals;

namespace {
// The files under a folder; the empty folder of a job process waiting for its request does
// not count.
Names filesUnder(const Path& folder)
{
    Names files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (!entry.is_directory()) files.push_back(entry.path().lexically_relative(folder).string());
    }
    return files;
}
}

// Jobs run in the real program; its job mode carries a fault switch (VARNOLT_JOB_FAULT) that
// makes the job reserve its output and then crash, be killed or hang.
class JobsTest : public FreshHomeWithFiles {
protected:
    TempDir temporary;
    Jobs::Limits saved = Jobs::limits();

    void SetUp() override
    {
        FreshHomeWithFiles::SetUp();
        // Each job's private folder lands in here, where the test can see it is gone.
        qputenv("TMPDIR", QByteArray::fromStdString(temporary.path().string()));
        // A process loaded ahead keeps a folder of its own there while it waits.
        JobProcesses::setKeepAhead(false);
    }
    void TearDown() override
    {
        qunsetenv("VARNOLT_JOB_FAULT");
        qunsetenv("TMPDIR");
        Jobs::setLimits(saved);
        JobProcesses::setKeepAhead(true);
        FreshHomeWithFiles::TearDown();
    }
    Jobs::Request csv() { return {WheelMode::convert, "TSV", {file("data.csv", "a,b\n1,2\n")}}; }
};

TEST_F(JobsTest, AJobConvertsAndReportsItsOutputs)
{
    JobProcesses::setKeepAhead(true);
    // The second run goes to the process the first one had loaded ahead.
    for (const char* name : {"data.tsv", "data 2.tsv"}) {
        EXPECT_EQ(Jobs::run(csv()).outputs, Paths{dir / name});
        EXPECT_EQ(readFile(dir / name), "a\tb\n1\t2\n");
    }
    // Text for the clipboard comes back with the result: the job has no clipboard of its own.
    PDFBuilder pdf;
    pdf.textPages({"third"});
    const OptionResult text = Jobs::run({WheelMode::tools, "Text", {pdf.write(dir / "b.pdf")}});
    EXPECT_EQ(text.clipboard, std::optional<std::string>("third"));
    EXPECT_EQ(text.message, std::optional<std::string>("1 word copied to the clipboard"));
    JobProcesses::setKeepAhead(false);
    EXPECT_EQ(errorOf([&] { Jobs::run({WheelMode::convert, "PNG", {file("broken.jpg", "not a picture")}}); }),
              "Couldn't read broken.jpg as an image");
    EXPECT_EQ(filesUnder(temporary.path()), Names{});
}

// A process loads itself and its option tables before its request comes: a preset saved
// meanwhile must still be found, even beyond the wheel's twelve slots.
TEST_F(JobsTest, AProcessLoadedAheadSeesPresetsSavedWhileItWaited)
{
    JobProcesses::setKeepAhead(true);
    Jobs::run(csv());
    std::this_thread::sleep_for(3s);
    // Twelve presets before Tiny: the wheel leaves it out, a watched folder still runs it.
    std::vector<Preset> presets;
    for (int i = 0; i < 12; ++i) presets.push_back({.id = QUuid::createUuid(), .name = "Filler " + std::to_string(i)});
    presets.push_back({.id = QUuid::createUuid(), .name = "Tiny", .format = "png", .maxDimension = 8});
    PresetStore::setAll(presets);
    const Path photo = dir / "photo.png";
    ImageOps::write(ImageOps::Image::black(32, 16, ImageOps::Image::option()->set("bands", 3)), photo, "png", 1, {});
    EXPECT_EQ(Jobs::run({WheelMode::convert, "Tiny", {photo}}).outputs, Paths{dir / "photo (Tiny).png"});
}

// A job that dies leaves no reserved output and no temporary file, and says how it ended.
TEST_F(JobsTest, AJobThatDiesLeavesNothingBehind)
{
    const struct { const char* fault; std::chrono::milliseconds quiet; const char* message; } cases[] = {
        {"crash", saved.quiet, "Couldn't convert data.csv: the converter stopped unexpectedly"},
        {"kill", saved.quiet, "Couldn't convert data.csv: the converter stopped unexpectedly"},
        {"stall", 3s, "Couldn't convert data.csv: it made no progress and was stopped"},
    };
    for (const auto& c : cases) {
        Jobs::setLimits({saved.memoryBytes, c.quiet, 0ms});
        qputenv("VARNOLT_JOB_FAULT", c.fault);
        EXPECT_EQ(errorOf([&] { Jobs::run(csv()); }), c.message) << c.fault;
        EXPECT_EQ(listFolder(dir.path()), Names{"data.csv"}) << c.fault;
        EXPECT_EQ(filesUnder(temporary.path()), Names{}) << c.fault;
    }
    // Tools name their own verb.
    Jobs::setLimits(saved);
    qputenv("VARNOLT_JOB_FAULT", "crash");
    EXPECT_EQ(errorOf([&] { Jobs::run({WheelMode::tools, "Compress", {file("a.png"), file("b.png")}}); }),
              "Couldn't compress 2 files: the converter stopped unexpectedly");
}

TEST_F(JobsTest, CancelEndsAJobBlockedAfterReservingItsOutput)
{
    qputenv("VARNOLT_JOB_FAULT", "stall");
    Jobs::Job job(csv());
    auto waited = std::async(std::launch::async, [&] { job.wait(); });
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (!std::filesystem::exists(dir / "data.part") && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(10ms);
    ASSERT_TRUE(std::filesystem::exists(dir / "data.part"));
    job.cancel();
    EXPECT_THROW(waited.get(), UserCancelled);
    EXPECT_EQ(listFolder(dir.path()), Names{"data.csv"});
    EXPECT_EQ(filesUnder(temporary.path()), Names{});
}
