#include "TestSupport.h"

#include "core/Output.h"
#include "core/Settings.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <fstream>
#include <iterator>
#include <unistd.h>

namespace TestSupport {

TempDir::TempDir() : path_(Output::tempDirectory()) {}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

PrivateTemp::PrivateTemp()
{
    if (const char* old = std::getenv("TMPDIR")) old_ = old;
    setenv("TMPDIR", dir.path().c_str(), 1);
}

PrivateTemp::~PrivateTemp()
{
    if (old_) setenv("TMPDIR", old_->c_str(), 1);
    else unsetenv("TMPDIR");
}

OrdinaryUser::OrdinaryUser() : wasRoot_(::geteuid() == 0)
{
    if (wasRoot_ && ::seteuid(65534) != 0) throw std::runtime_error("couldn't become nobody");
}

OrdinaryUser::~OrdinaryUser()
{
    if (wasRoot_ && ::seteuid(0) != 0) std::abort();
}

void writeFile(const Path& path, const std::string& contents)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << contents;
}

std::string readFile(const Path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> listFolder(const Path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

const WheelOption& option(const WheelOptions& options, const std::string& title)
{
    for (const WheelOption& o : options)
        if (o.title == title) return o;
    throw std::runtime_error("no option " + title);
}

std::vector<std::string> titles(const WheelOptions& options)
{
    std::vector<std::string> names;
    for (const WheelOption& o : options) names.push_back(o.title);
    return names;
}

CommandResult runProgram(const std::string& program, const std::vector<std::string>& args, const std::map<std::string, std::string>& env, const Path& cwd)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto& [key, value] : env) environment.insert(QString::fromStdString(key), QString::fromStdString(value));
    process.setProcessEnvironment(environment);
    if (!cwd.empty()) process.setWorkingDirectory(QString::fromStdString(cwd.string()));
    QStringList arguments;
    for (const std::string& a : args) arguments << QString::fromStdString(a);
    process.start(QString::fromStdString(program), arguments);
    process.waitForFinished(300000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

CommandResult runVarnolt(const std::vector<std::string>& args, const std::map<std::string, std::string>& env, const Path& cwd)
{
    return runProgram(VARNOLT_EXE, args, env, cwd);
}

void useHome(const Path& home)
{
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);
    setenv("XDG_STATE_HOME", (home / ".local/state").c_str(), 1);
}

void FreshHome::SetUp()
{
    home_ = std::make_unique<TempDir>();
    useHome(home_->path());
    Settings::reset();
    Settings::registerDefaults();
}

void FreshHome::TearDown()
{
    Settings::reset();
    home_.reset();
}

}
