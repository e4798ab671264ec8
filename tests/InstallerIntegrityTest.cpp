// End to end: an installer with one byte changed in one of its parts refuses
// to start, in every mode, names the part, and writes nothing.

#include "E2eSupport.h"

#include <InstallerFormat.h>
#include <InstallerManifest.h>
#include <Resources.h>
#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

namespace {

namespace fs = std::filesystem;
using namespace brenvik::e2e;

struct DamagedPart {
    const char* name;
    type_code type;
    int32 id;
    // What the refusal says of the part.
    const char* said;
};

class InstallerIntegrityTest : public SampleTest<DamagedPart> {
protected:
    void SetUp() override
    {
        ASSERT_EQ(sStatus, B_OK);
        fRoot = brenvik::test::MakeTempFolder("damaged");
        fInstaller = fRoot + "/TarselNotes-Installer";
        fs::copy_file(sInstaller, fInstaller);
        fs::permissions(fInstaller, fs::perms::owner_all);
    }

    // Flips one byte in the middle of the part's data.
    void Damage(type_code type, int32 id)
    {
        BResources resources;
        ASSERT_EQ(resources.SetTo(fInstaller.c_str(), B_READ_WRITE, false), B_OK);
        const char* name = nullptr;
        size_t size = 0;
        ASSERT_TRUE(resources.GetResourceInfo(type, id, &name, &size)) << type << " " << id;
        std::string kept = name != nullptr ? name : "";
        const void* data = resources.LoadResource(type, id, &size);
        ASSERT_NE(data, nullptr);
        std::string bytes(static_cast<const char*>(data), size);
        bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 0x20);
        ASSERT_EQ(resources.AddResource(type, id, bytes.data(), bytes.size(), kept.c_str()), B_OK);
        ASSERT_EQ(resources.Sync(), B_OK);
    }

    std::string fRoot;
    std::string fInstaller;
};

TEST_F(InstallerIntegrityTest, AWholeInstallerIsListedWithEveryPart)
{
    BResources resources;
    ASSERT_EQ(resources.SetTo(fInstaller.c_str(), B_READ_ONLY, false), B_OK);
    EXPECT_EQ(InstallerManifest::Check(resources).what, InstallerManifest::Verdict::kWhole);
}

TEST_P(InstallerIntegrityTest, RefusesToStartInEveryModeAndNamesThePart)
{
    Damage(GetParam().type, GetParam().id);
    std::ofstream(fRoot + "/answers.txt")
        << "license = accept\ndestination = " << fRoot << "/dest\n";
    std::set<std::string> before = PathsBelow(brenvik::test::SandboxRoot());
    for (const std::string& arguments : { "--unattended --answers '" + fRoot + "/answers.txt'",
             "--extract '" + fRoot + "/out'", std::string("--version") }) {
        auto [status, output] = RunCommand("env -u DISPLAY -u WAYLAND_DISPLAY LANG=C '" + fInstaller
            + "' " + arguments + " </dev/null");
        EXPECT_EQ(status, 1) << arguments << "\n" << output;
        EXPECT_NE(output.find("The installer is damaged: " + std::string(GetParam().said)),
            std::string::npos)
            << arguments << "\n"
            << output;
    }
    EXPECT_EQ(PathsBelow(brenvik::test::SandboxRoot()), before);

    // The window says so in a message box (the script answers it), before
    // any step.
    std::string script = brenvik::test::MakeTempFolder("script") + "/script.txt";
    std::ofstream(script) << "timeout 30\nalert OK\nwait-quit\n";
    auto [status, output] = RunCommand(
        "BRENVIK_DISPLAY=headless BRENVIK_UI_SCRIPT='" + script + "' '" + fInstaller + "' 2>&1");
    EXPECT_EQ(status, 1) << output;
}

INSTANTIATE_TEST_SUITE_P(Parts, InstallerIntegrityTest,
    testing::Values(DamagedPart { "Record", InstallerFormat::kConfigurationType,
                        InstallerFormat::kConfigurationId, "its configuration record" },
        DamagedPart { "PayloadItem", InstallerFormat::kEntryType, InstallerFormat::PayloadId(1),
            "payload item 2" },
        DamagedPart { "Deinstaller", InstallerFormat::kEntryType, InstallerFormat::kDeinstallerId,
            "its de-installer" },
        DamagedPart { "Texts", B_STRING_TYPE, 1, "its texts" },
        DamagedPart { "Manifest", InstallerFormat::kManifestType, InstallerFormat::kManifestId,
            "its table of contents" }),
    [](const testing::TestParamInfo<DamagedPart>& param) { return std::string(param.param.name); });

} // namespace
