#pragma once
#include "TestSupport.h"

#include <cstdlib>
#include <filesystem>

// A LibreOffice installation of the test's making: a soffice script and the named module
// libraries beside it, in the one folder tool discovery searches while this lives.
class FakeOffice {
public:
    explicit FakeOffice(const std::vector<std::string>& libraries, const std::string& script = "exit 0\n")
    {
        TestSupport::writeFile(dir_ / "soffice", "#!/bin/sh\n" + script);
        std::filesystem::permissions(dir_ / "soffice", std::filesystem::perms::owner_all);
        for (const std::string& library : libraries) TestSupport::writeFile(dir_ / library, "");
        setenv("VARNOLT_TOOL_DIRS", dir_.path().c_str(), 1);
    }
    ~FakeOffice() { unsetenv("VARNOLT_TOOL_DIRS"); }

private:
    TestSupport::TempDir dir_;
};
