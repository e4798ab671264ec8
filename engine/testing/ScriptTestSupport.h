#pragma once

// Helpers of the script tests: a fresh home, configuration folder and system
// root for each test, small files, and real shells run on them.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <ChildProcess.h>
#include <TestFiles.h>
#include <TestSandbox.h>

namespace script_test {

using brenvik::test::Exists;
using brenvik::test::ReadFile;
using brenvik::test::WriteFile;

inline bool HasProgram(const std::string& path)
{
    return access(path.c_str(), X_OK) == 0;
}

// What a program printed.
struct ShellRun {
    int status = -1;
    std::string output;
    std::string errors;
};

// Runs argv with only HOME, PATH and `extra` in its environment, as a login
// would, in `workFolder` (when given), and collects what it prints.
inline ShellRun RunClean(const std::string& home, const std::vector<std::string>& argv,
    const std::vector<std::string>& extra = {}, const std::string& workFolder = "")
{
    std::string folder = brenvik::test::MakeTempFolder("run");
    std::vector<std::string> command = { "/bin/sh", "-c",
        "out=$1; err=$2; shift 2; exec \"$@\" >\"$out\" 2>\"$err\"", "sh", folder + "/out",
        folder + "/err", "/usr/bin/env", "-i", "HOME=" + home, "PATH=/usr/bin:/bin" };
    command.insert(command.end(), extra.begin(), extra.end());
    command.insert(command.end(), argv.begin(), argv.end());
    ShellRun run;
    run.status = brenvik::test::RunTool(command, workFolder);
    run.output = ReadFile(folder + "/out");
    run.errors = ReadFile(folder + "/err");
    return run;
}

// Points HOME, the XDG folders and BRENVIK_ROOT at fresh folders for one test
// and chooses the scope; everything is put back afterwards.
class ScriptSandbox : public testing::Test {
protected:
    void SetUp() override
    {
        fRoot = brenvik::test::MakeTempFolder("scripts");
        fHome = fRoot + "/home";
        fConfig = fHome + "/.config";
        fSystem = fRoot + "/system";
        mkdir(fHome.c_str(), 0755);
        mkdir(fSystem.c_str(), 0755);
        for (const char* name : { "HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "BRENVIK_ROOT",
                 "BRENVIK_SCOPE", "ZDOTDIR" }) {
            const char* value = std::getenv(name);
            fSaved.push_back({ name, value != nullptr ? value : "", value != nullptr });
        }
        setenv("HOME", fHome.c_str(), 1);
        setenv("XDG_CONFIG_HOME", fConfig.c_str(), 1);
        setenv("XDG_DATA_HOME", (fHome + "/.local/share").c_str(), 1);
        setenv("BRENVIK_ROOT", fSystem.c_str(), 1);
        setenv("BRENVIK_SCOPE", "user", 1);
        unsetenv("ZDOTDIR");
    }

    void TearDown() override
    {
        for (const Saved& saved : fSaved) {
            if (saved.set)
                setenv(saved.name, saved.value.c_str(), 1);
            else
                unsetenv(saved.name);
        }
    }

    void UseSystemScope() { setenv("BRENVIK_SCOPE", "system", 1); }

    std::string fRoot;
    std::string fHome;
    std::string fConfig;
    std::string fSystem;

private:
    struct Saved {
        const char* name;
        std::string value;
        bool set;
    };
    std::vector<Saved> fSaved;
};

} // namespace script_test
