#pragma once
#include "core/Errors.h"
#include "core/Paths.h"
#include "core/WheelOption.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace TestSupport {

// A scratch folder removed with everything in it at the end of its scope.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const Path& path() const { return path_; }
    Path operator/(const std::string& name) const { return path_ / name; }

private:
    Path path_;
};

// Points TMPDIR at a scratch folder of its own while it lives, so that leftovers can be counted.
class PrivateTemp {
public:
    PrivateTemp();
    ~PrivateTemp();
    PrivateTemp(const PrivateTemp&) = delete;
    PrivateTemp& operator=(const PrivateTemp&) = delete;
    TempDir dir;

private:
    std::optional<std::string> old_;
};

// Permission bits do not stop root: while it lives, a root test acts as an ordinary user
// (nobody); for others it changes nothing.
class OrdinaryUser {
public:
    OrdinaryUser();
    ~OrdinaryUser();
    OrdinaryUser(const OrdinaryUser&) = delete;
    OrdinaryUser& operator=(const OrdinaryUser&) = delete;

private:
    bool wasRoot_;
};

void writeFile(const Path& path, const std::string& contents);
std::string readFile(const Path& path);
// The names in a folder, sorted.
std::vector<std::string> listFolder(const Path& folder);
using Names = std::vector<std::string>;

// The message of the KError the call throws, or "no error" when it returns.
template <typename Call>
std::string errorOf(Call&& call)
{
    try {
        call();
    } catch (const KError& e) {
        return e.message();
    }
    return "no error";
}

// The option with this title; throws when there is none.
const WheelOption& option(const WheelOptions& options, const std::string& title);
// The options' titles in order.
std::vector<std::string> titles(const WheelOptions& options);

struct CommandResult {
    int status = -1;
    std::string out;
    std::string err;
};
// Runs a program to its end with extra environment variables.
CommandResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& env = {}, const Path& cwd = {});
// Runs the built varnolt executable with the test's home folder.
CommandResult runVarnolt(const std::vector<std::string>& args, const std::map<std::string, std::string>& env = {},
                         const Path& cwd = {});

// Points HOME and the XDG data, config and state folders into home.
void useHome(const Path& home);

// Gives each test its own home folder (settings, Downloads, Trash) and fresh settings.
class FreshHome : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    const Path& home() const { return home_->path(); }

private:
    std::unique_ptr<TempDir> home_;
};

// A fresh home plus a scratch folder in which tests make their input files.
class FreshHomeWithFiles : public FreshHome {
protected:
    TempDir dir;
    Path file(const std::string& name, const std::string& contents = "x")
    {
        writeFile(dir / name, contents);
        return dir / name;
    }
};

}
