// End to end: brenvik-build turns the sample product of examples/ into an
// installer executable, and the installer's own code (and the stock unzip
// tool) get every payload item back out of it.

#include "E2eSupport.h"

#include <File.h>
#include <Message.h>
#include <Node.h>
#include <Resources.h>
#include <TypeConstants.h>

#include <InstallerBuilder.h>
#include <LibAppResource.h>
#include <LocalizedTextTable.h>
#include <oLocalize.h>
#include <oResources.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

namespace {

namespace fs = std::filesystem;
using namespace brenvik::e2e;

const char* const kItemNames[] = { "Notes.app", "ReadMe.txt", "Sounds", "notes-latest" };

class InstallerBuildTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        sSample = CopySample();
        // A name as long as a file name can be: the build must not need a
        // longer one for its work in progress.
        std::string name = "TarselNotes-Installer";
        name.resize(255, '-');
        sInstaller = brenvik::test::MakeTempFolder("built") + "/" + name;
        brenvik::InstallerBuilder builder;
        sStatus = builder.Build(BuildOptionsFor(sSample + "/project.json", sInstaller));
        sError = builder.ErrorText();
        for (auto& problem : builder.Problems())
            sError += problem.path + ": " + problem.text + "\n";
    }

    void SetUp() override { ASSERT_EQ(sStatus, B_OK) << sError; }

    // A copy of the installer, as a user would have downloaded it.
    std::string CopyOfInstaller()
    {
        std::string copy = brenvik::test::MakeTempFolder("copy") + "/installer";
        fs::copy_file(sInstaller, copy);
        fs::permissions(copy, fs::perms::owner_all);
        return copy;
    }

    static std::string sSample;
    static std::string sInstaller;
    static status_t sStatus;
    static std::string sError;
};

std::string InstallerBuildTest::sSample;
std::string InstallerBuildTest::sInstaller;
status_t InstallerBuildTest::sStatus = B_NO_INIT;
std::string InstallerBuildTest::sError;

TEST_F(InstallerBuildTest, WritesAnElfProgramWithTheInstallersResources)
{
    EXPECT_EQ(ReadBytes(sInstaller).substr(0, 4),
        "\x7f"
        "ELF");
    BResources resources;
    ASSERT_EQ(resources.SetTo(sInstaller.c_str(), 0, false), B_OK) << resources.ErrorText();
    struct Expected {
        type_code type;
        int32 id;
        const char* name;
    };
    const Expected expected[] = { { B_STRING_TYPE, 2002, "BVC:configuration" },
        { B_RAW_TYPE, 2001, "Kolvast" }, { B_RAW_TYPE, 2100, "Notes.app" },
        { B_RAW_TYPE, 2101, "ReadMe.txt" }, { B_RAW_TYPE, 2102, "Sounds" },
        { B_RAW_TYPE, 2103, "notes-latest" }, { 'MIMS', 1, "BEOS:APP_SIG" },
        { 'MIMS', 2, "BEOS:TYPE" }, { 'APPF', 1, "BEOS:APP_FLAGS" },
        { 'APPV', 1, "BEOS:APP_VERSION" }, { B_MESSAGE_TYPE, 1, "BEOS:FILE_TYPES" },
        { 'ICON', 101, "BEOS:L:STD_ICON" }, { 'MICN', 101, "BEOS:M:STD_ICON" } };
    for (const Expected& item : expected) {
        const char* name = nullptr;
        EXPECT_TRUE(resources.GetResourceInfo(item.type, item.id, &name, nullptr))
            << item.name << " missing";
        if (name != nullptr) {
            EXPECT_STREQ(name, item.name);
        }
    }
    EXPECT_TRUE(resources.HasResource('ICON', "BEOS:L:text/x-velk"));
    EXPECT_TRUE(resources.HasResource('MICN', "BEOS:M:text/x-velk"));
    // No payload entry beyond the sample's four items.
    EXPECT_FALSE(resources.HasResource(B_RAW_TYPE, 2104));
    size_t size = 0;
    const void* signature = resources.LoadResource('MIMS', 1, &size);
    ASSERT_NE(signature, nullptr);
    EXPECT_STREQ(static_cast<const char*>(signature), "application/x-vnd.Tarsel.Velk");
}

TEST_F(InstallerBuildTest, TheConfigurationRecordCarriesTheProject)
{
    LibAppResource resources(sInstaller.c_str(), 0);
    size_t size = 0;
    const void* data = resources.LoadResource(B_STRING_TYPE, 2002, &size);
    ASSERT_NE(data, nullptr);
    BMessage configuration;
    ASSERT_EQ(configuration.Unflatten(static_cast<const char*>(data), ssize_t(size)), B_OK);
    EXPECT_EQ(configuration.what, 0u);
    EXPECT_STREQ(configuration.GetString("app_name", ""), "Tarsel Notes");
    EXPECT_STREQ(configuration.GetString("opt_created_folder", ""), "TarselNotes");
    EXPECT_EQ(configuration.GetInt32("BVC:deinstaller_size", 0),
        int32(fs::file_size(ProgramPath("brenvik-kolvast"))));
    EXPECT_TRUE(configuration.HasMessage("about_image"));
    EXPECT_TRUE(configuration.HasMessage("audio_data"));
    BMessage instructions, item;
    ASSERT_EQ(configuration.FindMessage("install_instructions", &instructions), B_OK);
    for (int32 i = 0; i < 4; i++) {
        ASSERT_EQ(instructions.FindMessage("install_file", i, &item), B_OK);
        EXPECT_EQ(fs::path(item.GetString("file_name", "")).filename(), kItemNames[i]);
    }
}

TEST_F(InstallerBuildTest, PayloadEntriesUnzipWithTheStockToolToTheSourcesBytesDatesAndModes)
{
    if (!HasProgram("unzip"))
        GTEST_SKIP() << "the unzip tool is not installed";
    LibAppResource resources(sInstaller.c_str(), 0);
    for (int32 i = 0; i < 4; i++) {
        std::string folder = brenvik::test::MakeTempFolder("unzip");
        std::string archive = folder + "/entry.zip";
        ASSERT_TRUE(resources.ExtractEntry(2100 + i, archive.c_str(), false))
            << resources.EntryErrorText();
        std::string into = folder + "/out";
        auto [status, output] = RunCommand("unzip -q '" + archive + "' -d '" + into + "'");
        ASSERT_EQ(status, 0) << output;
        ExpectSameTree(sSample + "/payload/" + kItemNames[i], into + "/" + kItemNames[i]);
    }
}

TEST_F(InstallerBuildTest, OurOwnExtractionRestoresTheItemsWithTheirAttributes)
{
    LibAppResource resources(sInstaller.c_str(), 0);
    std::string into = brenvik::test::MakeTempFolder("extract");
    for (int32 i = 0; i < 4; i++) {
        std::string destination = into + "/" + kItemNames[i];
        ASSERT_TRUE(resources.ExtractEntry(2100 + i, destination.c_str(), true))
            << resources.EntryErrorText();
        ExpectSameTree(sSample + "/payload/" + kItemNames[i], destination);
    }
    if (!SupportsAttributes(into))
        GTEST_SKIP() << "the sandbox's file system keeps no user attributes";
    BNode node((into + "/ReadMe.txt").c_str());
    attr_info info;
    ASSERT_EQ(node.GetAttrInfo("BEOS:TYPE", &info), B_OK);
    EXPECT_EQ(info.type, uint32('MIMS'));
    char type[32] = {};
    node.ReadAttr("BEOS:TYPE", 'MIMS', 0, type, sizeof(type) - 1);
    EXPECT_STREQ(type, "text/plain");
    BNode help((into + "/Notes.app/notes").c_str());
    int32 priority = 0;
    ASSERT_EQ(help.GetAttrInfo("run_priority", &info), B_OK);
    EXPECT_EQ(info.type, uint32(B_INT32_TYPE));
    EXPECT_EQ(help.ReadAttr("run_priority", B_INT32_TYPE, 0, &priority, 4), 4);
    EXPECT_EQ(priority, 5);
}

TEST_F(InstallerBuildTest, TheInstallerProgramExtractsTheWholeSample)
{
    std::string installer = CopyOfInstaller();
    std::string into = brenvik::test::MakeTempFolder("stub");
    auto [status, output] = RunCommand("'" + installer + "' --extract '" + into + "'");
    ASSERT_EQ(status, 0) << output;
    EXPECT_NE(output.find("Product: Tarsel Notes 1.0.2"), std::string::npos) << output;
    EXPECT_NE(output.find("Items: 4"), std::string::npos) << output;
    EXPECT_NE(output.find("Entry 2103: notes-latest"), std::string::npos) << output;
    EXPECT_NE(output.find("Installing 4 of 4 (notes-latest)"), std::string::npos) << output;
    for (const char* name : kItemNames)
        ExpectSameTree(sSample + "/payload/" + name, into + "/" + name);
}

TEST_F(InstallerBuildTest, TheChosenLanguagePersistsOnTheInstallerFile)
{
    std::string installer = CopyOfInstaller();
    if (!SupportsAttributes(fs::path(installer).parent_path()))
        GTEST_SKIP() << "the sandbox's file system keeps no user attributes";
    {
        oLocalize first(installer.c_str());
        EXPECT_STREQ(first.Language(), "en");
        first.SetLanguage(LocalizedTextTable::LanguageCode(3));
    }
    oLocalize later(installer.c_str());
    EXPECT_STREQ(later.Language(), "de");
    EXPECT_STREQ(later.GetString(1002), "Installation");
    // The program itself starts in German now.
    std::string script = fs::path(installer).parent_path().string() + "/script.txt";
    std::ofstream(script) << "timeout 30\nwait-text button Zustimmen\nkey Ctrl+Q\nwait-quit\n";
    auto [status, output] = RunCommand(
        "BRENVIK_DISPLAY=headless BRENVIK_UI_SCRIPT='" + script + "' '" + installer + "' 2>&1");
    // Closed before installing: not a success, but the window was German.
    ASSERT_EQ(status, 1) << output;
    // The built installer itself was not touched.
    BNode original(sInstaller.c_str());
    attr_info info;
    EXPECT_NE(original.GetAttrInfo("language", &info), B_OK);
}

class InstallerTextsTest : public InstallerBuildTest, public testing::WithParamInterface<int32> { };

TEST_P(InstallerTextsTest, CarriesEveryTextOfTheLanguage)
{
    const char* code = LocalizedTextTable::LanguageCode(GetParam());
    oResources resources(sInstaller.c_str(), 0);
    for (int32 id : LocalizedTextTable::Ids(TextId::kFirstInstallerId, TextId::kLastInstallerId)) {
        LibString text
            = resources.GetString((std::string(code) + ":" + std::to_string(id)).c_str());
        EXPECT_STRNE(text, "") << code << ":" << id;
        EXPECT_STREQ(text, LocalizedTextTable::Text(code, id)) << code << ":" << id;
    }
}

INSTANTIATE_TEST_SUITE_P(AllLanguages, InstallerTextsTest,
    testing::Range(int32(0), LocalizedTextTable::kLanguageCount), [](const auto& testInfo) {
        return std::string(LocalizedTextTable::LanguageCode(testInfo.param));
    });

} // namespace
