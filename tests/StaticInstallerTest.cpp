// End to end: the programs every installer carries run on a machine that has
// nothing but the C library. Their dynamic section asks for the C library's
// files only, at glibc 2.34 or older and at no version of the C++ runtime;
// and a built installer, copied into an empty root that holds only the
// loader, libc and libm, shows its version, extracts its payload, installs
// the sample unattended, and its de-installer removes it again.

#include "E2eSupport.h"

#include <gtest/gtest.h>

#include <XvfbServer.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace brenvik::e2e;

// What the C library is made of: the only shared objects a program that
// every installer carries may ask for.
const std::set<std::string> kCLibrary = { "libc.so.6", "libm.so.6", "ld-linux-x86-64.so.2",
    "libdl.so.2", "libpthread.so.0", "linux-vdso.so.1" };

bool StaticBuild()
{
#ifdef BRENVIK_STATIC_PROGRAMS
    return true;
#else
    return false;
#endif
}

std::string Quoted(const std::string& text)
{
    return "'" + text + "'";
}

class StaticProgramTest : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        if (!StaticBuild())
            GTEST_SKIP() << "this build links its programs dynamically (BRENVIK_STATIC=OFF)";
        if (brenvik::test::FindProgram("objdump").empty())
            GTEST_SKIP() << "objdump (binutils) is not installed";
        fProgram = ProgramPath(GetParam());
        ASSERT_TRUE(fs::exists(fProgram)) << fProgram;
    }

    std::string fProgram;
};

TEST_P(StaticProgramTest, AsksForTheCLibraryOnly)
{
    auto [status, headers] = RunCommand("objdump -p " + Quoted(fProgram));
    ASSERT_EQ(status, 0) << headers;
    std::regex needed(R"(NEEDED\s+(\S+))");
    std::set<std::string> libraries;
    for (auto it = std::sregex_iterator(headers.begin(), headers.end(), needed);
         it != std::sregex_iterator(); ++it)
        libraries.insert((*it)[1]);
    EXPECT_FALSE(libraries.empty()) << "not a dynamically linked program";
    for (const std::string& library : libraries)
        EXPECT_TRUE(kCLibrary.count(library)) << GetParam() << " needs " << library;
}

TEST_P(StaticProgramTest, NamesNoSymbolVersionNewerThanGlibc234)
{
    auto [status, symbols] = RunCommand("objdump -T " + Quoted(fProgram));
    ASSERT_EQ(status, 0) << symbols;
    std::regex version(R"(\(?(GLIBC|GLIBCXX|CXXABI|GCC)_([0-9.]+)\)?\s+(\S+))");
    int seen = 0;
    for (auto it = std::sregex_iterator(symbols.begin(), symbols.end(), version);
         it != std::sregex_iterator(); ++it) {
        std::string family = (*it)[1];
        std::string number = (*it)[2];
        std::string symbol = (*it)[3];
        EXPECT_EQ(family, "GLIBC") << symbol << " asks for " << family << "_" << number;
        int major = 0;
        int minor = 0;
        std::sscanf(number.c_str(), "%d.%d", &major, &minor);
        EXPECT_TRUE(major < 2 || (major == 2 && minor <= 34))
            << symbol << " asks for GLIBC_" << number;
        seen++;
    }
    EXPECT_GT(seen, 0) << symbols;
}

INSTANTIATE_TEST_SUITE_P(Programs, StaticProgramTest,
    testing::Values("brenvik-installer", "brenvik-kolvast"),
    [](const testing::TestParamInfo<const char*>& param) {
        return std::string(param.param) == "brenvik-installer" ? "Installer" : "Deinstaller";
    });

// Where a desktop is announced but SDL cannot be loaded, and nobody sits at
// a terminal, the installer refuses in its one line: no word from the
// libraries it looked for. (Any build: the libraries are loaded at run time
// in both links.)
class NoSdlTest : public SampleTest<int> { };

TEST_F(NoSdlTest, ADesktopWithoutSdlGetsTheOneLineRefusal)
{
    ASSERT_EQ(sStatus, B_OK);
    auto [status, output]
        = RunCommand("env -u BRENVIK_DISPLAY -u WAYLAND_DISPLAY DISPLAY=:77 BRENVIK_SCOPE=user "
                     "BRENVIK_NO_RUNTIME_LIBRARIES=libSDL2-2.0.so.0:libsystemd.so.0 "
            + Quoted(sInstaller) + " </dev/null");
    EXPECT_EQ(status, 2) << output;
    EXPECT_NE(output.find("No display and no terminal"), std::string::npos) << output;
    EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
}

// An empty root with the C library's files of this machine in their places
// (and nothing else), and the sample installer.
class BareRootTest : public SampleTest<int> {
protected:
    void SetUp() override
    {
        if (!StaticBuild())
            GTEST_SKIP() << "this build links its programs dynamically (BRENVIK_STATIC=OFF)";
        ASSERT_EQ(sStatus, B_OK);
        std::string why = fRoot.Prepare(sInstaller);
        if (!why.empty())
            GTEST_SKIP() << why << "; the bare-root run is not checked";
        std::set<std::string> names;
        ASSERT_TRUE(fRoot.CopyLibrariesOf(sInstaller, &names));
        for (const std::string& name : names)
            EXPECT_TRUE(kCLibrary.count(name)) << "ldd lists " << name;
    }

    std::pair<int, std::string> RunInRoot(
        const std::string& command, const std::string& environment = "")
    {
        return fRoot.Run(command, environment);
    }

    BareRoot fRoot;
};

TEST_F(BareRootTest, TheInstallerRunsWithNothingButTheCLibrary)
{
    auto [version, versionText] = RunInRoot("/installer --version");
    EXPECT_EQ(version, 0) << versionText;
    EXPECT_NE(versionText.find("1.0"), std::string::npos) << versionText;

    auto [extracted, extractText] = RunInRoot("/installer --extract /extracted");
    EXPECT_EQ(extracted, 0) << extractText;
    EXPECT_TRUE(fs::exists(fRoot.Path() + "/extracted/ReadMe.txt")) << extractText;

    std::ofstream(fRoot.Path() + "/answers.txt")
        << "license = accept\ninstall_type = Typical\ndestination = /dest\nlaunch = no\n";
    auto [installed, installText] = RunInRoot("/installer --unattended --answers /answers.txt");
    ASSERT_EQ(installed, 0) << installText;
    std::string folder = fRoot.Path() + "/dest/TarselNotes";
    EXPECT_TRUE(fs::exists(folder + "/ReadMe.txt")) << installText;
    // Nothing but the installer's own report: no word from the display or
    // sound libraries it did not find.
    for (const char* chatter : { "ALSA", "SDL", "Fontconfig", "libSDL2", "error while loading" })
        EXPECT_EQ(installText.find(chatter), std::string::npos) << installText;

    // A desktop announced, but no SDL in the root: the one-line refusal.
    auto [refused, refusal] = RunInRoot("/installer", "DISPLAY=:0");
    EXPECT_EQ(refused, 2) << refusal;
    EXPECT_NE(refusal.find("No display and no terminal"), std::string::npos) << refusal;
    EXPECT_EQ(std::count(refusal.begin(), refusal.end(), '\n'), 1) << refusal;

    // The de-installer it put there runs in the same root.
    std::string deinstaller;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().find("Deinstaller") != std::string::npos)
            deinstaller = "/dest/TarselNotes/" + entry.path().filename().string();
    }
    ASSERT_FALSE(deinstaller.empty());
    auto [removed, removeText] = RunInRoot(Quoted(deinstaller) + " --unattended");
    EXPECT_EQ(removed, 0) << removeText;
    EXPECT_FALSE(fs::exists(folder + "/ReadMe.txt")) << removeText;
}

} // namespace
