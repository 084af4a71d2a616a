#pragma once
#include "TestSupport.h"

#include <algorithm>
#include <string>
#include <vector>

// Archives made by the real tar and zip for the archive tests.
namespace ArchiveTestSupport {

// Runs a program to its end and fails the test when it does not succeed.
inline void sh(const std::string& program, const std::vector<std::string>& args, const Path& cwd = {})
{
    const auto result = TestSupport::runProgram(program, args, {}, cwd);
    ASSERT_EQ(result.status, 0) << program << ": " << result.err;
}

// Copies archives of tests/data/documents/archives (made by make-archives.sh there) into folder.
inline void copyArchives(const std::vector<std::string>& names, const Path& folder)
{
    for (const std::string& name : names) std::filesystem::copy_file(Path(VARNOLT_TEST_DATA) / "documents/archives" / name, folder / name);
}

// Whether a hidden staging folder was left in the folder.
inline bool hasStaging(const Path& folder)
{
    const auto names = TestSupport::listFolder(folder);
    return std::any_of(names.begin(), names.end(), [](const std::string& name) { return name.starts_with(".varnolt-"); });
}

// Each test gets its own home and a scratch folder for its archives.
using ArchiveTest = TestSupport::FreshHomeWithFiles;

}
