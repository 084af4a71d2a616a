#include "FakeOffice.h"
#include "TestSupport.h"

#include <QProcess>
#include <QThread>

#include <csignal>
#include <fstream>

using namespace TestSupport;

namespace {
// A process that has ended, or only waits to be reaped.
bool gone(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string pidText, name, state;
    return !(stat >> pidText >> name >> state) || state == "Z";
}

template <class F>
bool within(int ms, F done)
{
    for (int waited = 0; waited < ms; waited += 100) {
        if (done()) return true;
        QThread::msleep(100);
    }
    return done();
}
}

class OfficeStopTest : public FreshHomeWithFiles {};

// A run killed while LibreOffice works (a cancelled job ends the same way) takes LibreOffice
// with it, instead of leaving it to run out its time limit.
TEST_F(OfficeStopTest, KillingTheRunEndsLibreOffice)
{
    const Path pidFile = dir / "soffice.pid";
    FakeOffice office({"libswlo.so"}, "echo $$ > '" + pidFile.string() + "'\nexec sleep 300\n");
    const Path doc = file("letter.doc");
    QProcess run;
    run.start(VARNOLT_EXE, {"--run", "convert", "pdf", QString::fromStdString(doc.string())});
    ASSERT_TRUE(within(20000, [&] { return !readFile(pidFile).empty(); })) << "soffice never started";
    const pid_t soffice = std::stoi(readFile(pidFile));
    run.kill();
    run.waitForFinished();
    EXPECT_TRUE(within(15000, [&] { return gone(soffice); }));
    if (!gone(soffice)) ::kill(soffice, SIGKILL);
}
