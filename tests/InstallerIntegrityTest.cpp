// End to end: an installer with one byte changed in one of its parts (its
// program, a resource, its table of contents or its signature) refuses to
// start, in every mode, names the part, and writes nothing. A signed
// installer names its publisher; --verify and --require-signature judge it.

#include "E2eSupport.h"

#include <Ed25519.h>
#include <InstallerFormat.h>
#include <InstallerManifest.h>
#include <InstallerSignature.h>
#include <Resources.h>
#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>

namespace {

namespace fs = std::filesystem;
using namespace brenvik::e2e;

// The program the resources are appended to, as a part to damage.
constexpr int32 kProgram = -1;

struct DamagedPart {
    const char* name;
    type_code type;
    int32 id;
    // What the refusal says.
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

    // Signs the copy as its publisher would; returns the public key.
    std::string Sign(const std::string& publisher)
    {
        InstallerSignature::Signer signer { publisher, std::string() };
        EXPECT_EQ(BPrivate::Ed25519::NewSeed(&signer.seed), B_OK);
        BResources resources;
        EXPECT_EQ(resources.SetTo(fInstaller.c_str(), B_READ_WRITE, false), B_OK);
        EXPECT_EQ(InstallerSignature::Sign(resources, signer), B_OK);
        EXPECT_EQ(resources.Sync(), B_OK);
        return BPrivate::Ed25519::PublicKeyOf(signer.seed);
    }

    std::pair<int, std::string> Run(const std::string& arguments)
    {
        return RunCommand("env -u DISPLAY -u WAYLAND_DISPLAY LANG=C '" + fInstaller + "' "
            + arguments + " </dev/null 2>&1");
    }

    // Flips one byte in the middle of the part's data.
    void Damage(type_code type, int32 id)
    {
        BResources resources;
        ASSERT_EQ(resources.SetTo(fInstaller.c_str(), B_READ_WRITE, false), B_OK);
        if (id == kProgram) {
            // A byte of the compiler's note, which the program never reads:
            // damage that would otherwise go unnoticed.
            off_t size = resources.HostSize();
            resources.Unset();
            std::fstream file(fInstaller, std::ios::in | std::ios::out | std::ios::binary);
            std::string program(size_t(size), '\0');
            file.read(program.data(), size);
            size_t note = program.find("GCC: (");
            ASSERT_NE(note, std::string::npos);
            file.seekp(off_t(note + 5));
            file.put(char(program[note + 5] ^ 0x20));
            ASSERT_TRUE(file.good());
            return;
        }
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
    Sign("Example Software Ltd");
    Damage(GetParam().type, GetParam().id);
    std::ofstream(fRoot + "/answers.txt")
        << "license = accept\ndestination = " << fRoot << "/dest\n";
    std::set<std::string> before = PathsBelow(brenvik::test::SandboxRoot());
    for (const std::string& arguments : { "--unattended --answers '" + fRoot + "/answers.txt'",
             "--extract '" + fRoot + "/out'", std::string("--version"), std::string("--verify") }) {
        auto [status, output] = Run(arguments);
        EXPECT_EQ(status, 1) << arguments << "\n" << output;
        EXPECT_NE(output.find(GetParam().said), std::string::npos) << arguments << "\n" << output;
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

TEST_F(InstallerIntegrityTest, VerifySaysWhoSignedAndRequireSignatureRefusesAnyOtherKey)
{
    auto [unsignedStatus, unsignedOutput] = Run("--verify");
    EXPECT_EQ(unsignedStatus, 2) << unsignedOutput;
    EXPECT_NE(unsignedOutput.find("whole, but unsigned"), std::string::npos) << unsignedOutput;

    std::string first = Sign("Example Software Ltd");
    std::string firstKey = InstallerSignature::Fingerprint(first).substr(0, 16);
    auto [status, output] = Run("--verify --require-signature " + firstKey);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("Signed by Example Software Ltd, key "
                  + InstallerSignature::ShownFingerprint(first)),
        std::string::npos)
        << output;

    // Signed again by someone else: a whole installer that shows the other
    // publisher, and that a run asking for the first key refuses.
    std::string second = Sign("Someone Else");
    auto [otherStatus, otherOutput] = Run("--verify");
    EXPECT_EQ(otherStatus, 0) << otherOutput;
    EXPECT_NE(otherOutput.find("Signed by Someone Else"), std::string::npos) << otherOutput;
    std::ofstream(fRoot + "/answers.txt")
        << "license = accept\ndestination = " << fRoot << "/dest\n";
    std::set<std::string> before = PathsBelow(brenvik::test::SandboxRoot());
    for (const std::string& wanted : { firstKey, std::string("abcd") + firstKey.substr(4) }) {
        auto [refused, said] = Run("--unattended --answers '" + fRoot
            + "/answers.txt' --require-signature '" + wanted + "'");
        EXPECT_EQ(refused, 1) << said;
        EXPECT_NE(said.find("not signed with the required key"), std::string::npos) << said;
        EXPECT_NE(said.find("Someone Else"), std::string::npos) << said;
    }
    EXPECT_EQ(PathsBelow(brenvik::test::SandboxRoot()), before);
    EXPECT_FALSE(fs::exists(fRoot + "/dest"));
    // The second key, written as users copy fingerprints: spaced, in
    // lower case.
    std::string spaced = InstallerSignature::ShownFingerprint(second);
    for (char& c : spaced)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(Run("--verify --require-signature '" + spaced + "'").first, 0);
    // Too few digits to name a key is a wrong option.
    EXPECT_EQ(Run("--verify --require-signature 3F2A").first, 2);
}

// The line under the licence names the signer and the key; a name too long
// for the line gives way, never the key.
TEST_F(InstallerIntegrityTest, TheLicenceStepShowsThePublisherAndTheWholeKey)
{
    for (const std::string& publisher : { std::string("Example Ltd"),
             std::string("Example Software Consolidated International Holdings Ltd") }) {
        SetUp();
        std::string key = InstallerSignature::ShownFingerprint(Sign(publisher));
        std::string dump = fRoot + "/dump.txt";
        std::string script = brenvik::test::MakeTempFolder("script") + "/script.txt";
        std::ofstream(script) << "timeout 30\nwait-text button Agree\ndump " << dump
                              << "\nkey Ctrl+Q\nwait-quit\n";
        auto [status, output] = RunCommand("BRENVIK_DISPLAY=headless BRENVIK_UI_SCRIPT='" + script
            + "' '" + fInstaller + "' 2>&1");
        EXPECT_NE(status, 3) << output;
        std::ifstream lines(dump);
        std::string line;
        std::string shown;
        while (std::getline(lines, line)) {
            if (line.find(" signature BStringView text=\"") != std::string::npos)
                shown = line.substr(line.find('"') + 1);
        }
        EXPECT_EQ(shown.rfind("Signed by Example ", 0), 0u) << shown;
        EXPECT_NE(shown.find(", key " + key + "\""), std::string::npos) << shown;
        if (publisher.size() < 20)
            EXPECT_NE(shown.find(publisher), std::string::npos) << shown;
        else
            EXPECT_NE(shown.find("\u2026"), std::string::npos) << shown;
    }
}

INSTANTIATE_TEST_SUITE_P(Parts, InstallerIntegrityTest,
    testing::Values(DamagedPart { "Record", InstallerFormat::kConfigurationType,
                        InstallerFormat::kConfigurationId,
                        "The installer is damaged: its configuration record" },
        DamagedPart { "PayloadItem", InstallerFormat::kEntryType, InstallerFormat::PayloadId(1),
            "The installer is damaged: payload item 2" },
        DamagedPart { "Deinstaller", InstallerFormat::kEntryType, InstallerFormat::kDeinstallerId,
            "The installer is damaged: its de-installer" },
        DamagedPart { "Texts", B_STRING_TYPE, 1, "The installer is damaged: its texts" },
        DamagedPart { "Manifest", InstallerFormat::kManifestType, InstallerFormat::kManifestId,
            "The installer is damaged: its table of contents" },
        DamagedPart { "Program", 0, kProgram, "The installer is damaged: its program" },
        DamagedPart { "Signature", InstallerFormat::kSignatureType, InstallerFormat::kSignatureId,
            "The installer's signature does not match it" }),
    [](const testing::TestParamInfo<DamagedPart>& param) { return std::string(param.param.name); });

} // namespace
