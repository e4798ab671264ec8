#pragma once

// Helpers of the end-to-end tests: the sample product, the programs of this
// build, running a command, and comparing extracted trees with their sources.

#include <set>
#include <string>
#include <utility>
#include <vector>

#include <FindDirectory.h>
#include <InstallConfig.h>
#include <InstallerBuilder.h>
#include <TestSandbox.h>

#include <gtest/gtest.h>

namespace pass_test {
struct TestDialogs;
}

namespace brenvik::e2e {

// A copy of examples/sample in the sandbox, with fixed dates and modes, and
// typed attributes on two files where the file system keeps them
// (payload/ReadMe.txt: BEOS:TYPE "text/plain"; payload/Notes.app/notes:
// run_priority, an int32 of 5).
std::string CopySample();

// A program of this build (build/bin/NAME).
std::string ProgramPath(const std::string& name);
bool HasProgram(const std::string& name);

// The options of a build of `projectFile` into `output` with the installer
// and de-installer programs of this build.
brenvik::BuildOptions BuildOptionsFor(const std::string& projectFile, const std::string& output);
// Builds the installer with those options.
status_t BuildInstaller(const std::string& projectFile, const std::string& output);

// Copies the sample (CopySample) into `sample` and builds it into
// `installer`, "TarselNotes-Installer" in a folder of its own.
void BuildSample(std::string* sample, std::string* installer, status_t* status);

// The base of a suite that installs the sample, which it builds once for
// all its tests.
template <class Param> class SampleTest : public testing::TestWithParam<Param> {
protected:
    static void SetUpTestSuite() { BuildSample(&sSample, &sInstaller, &sStatus); }

    inline static std::string sSample;
    inline static std::string sInstaller;
    inline static status_t sStatus = B_NO_INIT;
};

// A standard folder (find_directory's), not made when it is missing.
std::string Folder(directory_which which);

// Readies `config` for a pass of the sample's installer into `destination`:
// every item marked, from both install types, with dialogs that answer from
// a script (handed back through `dialogs` when asked for) and a test system.
testing::AssertionResult ConfigureSamplePass(InstallConfig& config, const std::string& installer,
    const std::string& destination, pass_test::TestDialogs** dialogs = nullptr);

// Runs a shell command line; returns its exit status and what it printed on
// both streams.
std::pair<int, std::string> RunCommand(const std::string& command);

std::string ReadBytes(const std::string& path);
// Every path below folder, with its size for files: what "nothing was
// written" is checked against (without reading the installers' bytes).
std::set<std::string> PathsBelow(const std::string& folder);
bool SupportsAttributes(const std::string& folder);

// Expects copy to match source: kind, bytes, link targets, permission bits
// and modification times, all the way down.
void ExpectSameTree(const std::string& source, const std::string& copy);

// Text for inside single quotes of a shell command line.
std::string ShellEscaped(const std::string& text);

// An empty root folder that a program runs in with chroot, as on a machine
// that has nothing else: only the files copied into it, its own mount (as
// "/" is one everywhere) and a /proc, both made in a mount namespace of each
// run's own, which takes them along when it ends. Needs root.
class BareRoot {
public:
    // Makes the root with the installer at /installer. Empty when runs can
    // be made; otherwise why not (for GTEST_SKIP).
    std::string Prepare(const std::string& installer);

    // Copies the shared objects that ldd names for `file` (outside the root)
    // to the same paths in the root; their names go to *names.
    testing::AssertionResult CopyLibrariesOf(
        const std::string& file, std::set<std::string>* names = nullptr);
    // A folder of this machine seen at the same path in the root.
    void Bind(const std::string& folder);

    // Runs a command line of the root with a clean environment (a home in
    // the root, the user scope, actions written to /actions.log) plus
    // `environment`, with standard input from /dev/null.
    std::pair<int, std::string> Run(
        const std::string& command, const std::string& environment = "") const;

    const std::string& Path() const { return fRoot; }

private:
    std::string Mounts() const;

    std::string fRoot;
    std::string fChroot;
    std::string fEnv;
    std::vector<std::string> fBound;
};

} // namespace brenvik::e2e
