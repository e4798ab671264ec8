// End to end: installers whose payload entries were tampered with after the
// build, run with --extract as a user would run them. Nothing may be written
// beside the folder named, and an item may not grow past the size its
// record gives it.

#include "E2eSupport.h"

#include <Resources.h>
#include <TypeConstants.h>
#include <ZipWriter.h>

#include <InstallerBuilder.h>
#include <InstallerManifest.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using namespace brenvik::e2e;

class HostileInstallerTest : public testing::Test {
protected:
    void SetUp() override
    {
        fRoot = brenvik::test::MakeTempFolder("hostile");
        fs::create_directories(fRoot + "/project/payload");
        std::ofstream(fRoot + "/project/payload/a") << "sixsix";
        std::ofstream(fRoot + "/project/payload/b") << "sixsix";
        std::ofstream(fRoot + "/project/project.json") << R"({ "app_name": "Probe",
            "opt_created_folder": "Probe", "install_instructions": [
            { "source": "payload/a", "install_meta": { "destination": "User Selected",
              "destination_exists": "Replace", "link": "None", "link_exists": "Replace",
              "deinstallable": "True" } },
            { "source": "payload/b", "install_meta": { "destination": "User Selected",
              "destination_exists": "Replace", "link": "None", "link_exists": "Replace",
              "deinstallable": "True" } } ] })";
        brenvik::InstallerBuilder builder;
        ASSERT_EQ(
            builder.Build(BuildOptionsFor(fRoot + "/project/project.json", fRoot + "/installer")),
            B_OK)
            << builder.ErrorText();
        fDestination = fRoot + "/base/DEST";
        fOutside = fRoot + "/base/outside";
        fs::create_directories(fDestination);
        fs::create_directories(fOutside);
        chmod(fDestination.c_str(), 0750);
    }

    // Archives the tree at source (its top entry named top) as payload entry
    // id, under the resource name given; tamper changes the archive's bytes
    // first.
    void ReplaceEntry(int32 id, const std::string& source, const char* top, const char* name,
        const std::function<void(std::string&)>& tamper = nullptr)
    {
        std::string archive = fRoot + "/entry.zip";
        BPrivate::ZipWriteOptions options;
        options.topName = top;
        BPrivate::ZipWriter writer;
        ASSERT_EQ(writer.WriteArchive(source.c_str(), archive.c_str(), options), B_OK)
            << writer.ErrorText();
        std::string bytes = ReadBytes(archive);
        if (tamper)
            tamper(bytes);
        BResources resources((fRoot + "/installer").c_str());
        ASSERT_EQ(resources.AddResource(B_RAW_TYPE, id, bytes.data(), bytes.size(), name), B_OK);
        // Listed anew, as a forger would: the extraction's own defences are
        // what is tested here.
        ASSERT_EQ(InstallerManifest::Write(resources), B_OK);
        ASSERT_EQ(resources.Sync(), B_OK);
    }

    std::pair<int, std::string> RunExtract()
    {
        return RunCommand("'" + fRoot + "/installer' --extract '" + fDestination + "'");
    }

    std::string fRoot;
    std::string fDestination;
    std::string fOutside;
};

// The first entry would plant DEST/esc -> ../outside, the second write
// through it, when an empty name made the destination's parent the folder
// extracted into.
TEST_F(HostileInstallerTest, EntriesWithoutANameWriteNothingOutside)
{
    fs::create_directories(fRoot + "/planted/Top");
    fs::create_symlink("../outside", fRoot + "/planted/Top/esc");
    fs::create_directories(fRoot + "/through/Top/esc");
    std::ofstream(fRoot + "/through/Top/esc/pwned") << "pwned";
    ReplaceEntry(2100, fRoot + "/planted/Top", "Top", "");
    ReplaceEntry(2101, fRoot + "/through/Top", "Top", "");
    auto [status, output] = RunExtract();
    EXPECT_EQ(status, 1) << output;
    EXPECT_TRUE(fs::is_empty(fOutside)) << output;
    EXPECT_TRUE(fs::is_empty(fDestination)) << output;
    struct stat st;
    ASSERT_EQ(stat(fDestination.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0750u);
    EXPECT_NE(output.find("Installing 1 of 2 (entry 2100)"), std::string::npos) << output;
    EXPECT_EQ(output.find("()"), std::string::npos) << output;
}

// A few kilobytes of archive for an item whose record says six bytes.
TEST_F(HostileInstallerTest, AnItemLargerThanItsRecordIsRefused)
{
    fs::create_directories(fRoot + "/bomb");
    std::ofstream(fRoot + "/bomb/a") << std::string(8 * 1024 * 1024, '\0');
    ReplaceEntry(2100, fRoot + "/bomb/a", "a", "a");
    auto [status, output] = RunExtract();
    EXPECT_EQ(status, 1) << output;
    EXPECT_FALSE(fs::exists(fDestination + "/a")) << output;
    EXPECT_NE(output.find("more than the"), std::string::npos) << output;
    // The other item is still installed.
    EXPECT_EQ(ReadBytes(fDestination + "/b"), "sixsix");
}

// The second file of an item fails its check after the first was written:
// the first does not stay behind, and the user is told so.
TEST_F(HostileInstallerTest, AnItemWithADamagedFileIsRemovedWhole)
{
    fs::create_directories(fRoot + "/item/a");
    std::ofstream(fRoot + "/item/a/first") << std::string(3000, '1');
    std::ofstream(fRoot + "/item/a/second") << std::string(3000, '2');
    ReplaceEntry(2100, fRoot + "/item/a", "a", "a", [](std::string& bytes) {
        // The CRC in the central record of "a/second".
        size_t name = bytes.rfind("a/second");
        ASSERT_NE(name, std::string::npos);
        bytes[name - 46 + 16] = char(bytes[name - 46 + 16] ^ 0xFF);
    });
    auto [status, output] = RunExtract();
    EXPECT_EQ(status, 1) << output;
    EXPECT_FALSE(fs::exists(fDestination + "/a")) << output;
    EXPECT_NE(output.find("a/second"), std::string::npos) << output;
    EXPECT_NE(output.find("\"a\" was removed again"), std::string::npos) << output;
    EXPECT_EQ(ReadBytes(fDestination + "/b"), "sixsix");
    EXPECT_EQ(std::distance(fs::directory_iterator(fDestination), fs::directory_iterator()), 1);
}

// A run killed while it wrote an item leaves its hidden staging folder with a
// partial file; the next run removes it and says so.
TEST_F(HostileInstallerTest, WhatAKilledRunLeftIsRemovedByTheNext)
{
    std::string stale = fDestination + "/.brenvik-partial-0123456789abcdef";
    fs::create_directories(stale + "/a");
    std::ofstream(stale + "/a/.zx0123456789abcdef") << std::string(100000, 'p');
    auto [status, output] = RunExtract();
    EXPECT_EQ(status, 0) << output;
    EXPECT_FALSE(fs::exists(stale)) << output;
    EXPECT_NE(output.find("interrupted"), std::string::npos) << output;
    EXPECT_EQ(ReadBytes(fDestination + "/a"), "sixsix");
    EXPECT_EQ(ReadBytes(fDestination + "/b"), "sixsix");
}

} // namespace
