// End to end: brenvik-build refuses a faulty project, names every problem by
// its JSON path, and writes nothing.

#include "E2eSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using namespace brenvik::e2e;

TEST(ProjectValidationTest, ReportsEveryProblemWithItsJsonPathAndWritesNothing)
{
    std::string sample = CopySample();
    std::ofstream(sample + "/bad.json") << R"({
        "app_name": "Broken",
        "opt_created_folder": "Broken",
        "opt_log": "yes",
        "groups": [ { "group_name": "Typical" } ],
        "install_instructions": [
            { "source": "payload/nothing-here",
              "install_meta": { "destination": "User Selected", "destination_exists": "Replace",
                                "link": "None", "link_exists": "Replace", "deinstallable": "True" } },
            { "source": "payload/ReadMe.txt", "groups": "Typical;Extras;",
              "install_meta": { "destination": "User Selected", "destination_exists": "replace",
                                "link": "None", "link_exists": "Replace", "deinstallable": "True" } }
        ]
    })";
    std::string output = sample + "/Broken-Installer";
    auto [status, text] = RunCommand(
        "'" + ProgramPath("brenvik-build") + "' '" + sample + "/bad.json' -o '" + output + "'");
    EXPECT_EQ(status, 1) << text;
    for (const char* path : { ": /opt_log: ", ": /install_instructions/0/source: ",
             ": /install_instructions/1/groups: ",
             ": /install_instructions/1/install_meta/destination_exists: " })
        EXPECT_NE(text.find(path), std::string::npos) << path << " not in:\n" << text;
    EXPECT_FALSE(fs::exists(output));
    for (auto& entry : fs::directory_iterator(sample))
        EXPECT_EQ(entry.path().filename().string().find("Broken-Installer"), std::string::npos);
}

TEST(ProjectValidationTest, BuildsTheSampleFromTheCommandLine)
{
    std::string sample = CopySample();
    std::string output = sample + "/Installer";
    auto [status, text] = RunCommand(
        "'" + ProgramPath("brenvik-build") + "' '" + sample + "/project.json' -o '" + output + "'");
    ASSERT_EQ(status, 0) << text;
    EXPECT_TRUE(fs::exists(output));
    EXPECT_EQ(RunCommand("'" + ProgramPath("brenvik-build") + "'").first, 2);
}

// The output replaces whatever is at its path: never one of the build's
// inputs, nor a place inside a payload folder.
TEST(ProjectValidationTest, RefusesAnOutputThatWouldReplaceAnInput)
{
    std::string sample = CopySample();
    std::string project = sample + "/project.json";
    std::string program = sample + "/installer-program";
    fs::copy_file(ProgramPath("brenvik-installer"), program);
    std::string before = ReadBytes(project);
    struct Case {
        std::string output;
        const char* words;
    };
    for (const Case& bad : { Case { project, "is the project file" },
             Case { sample + "/./project.json", "is the project file" },
             Case { program, "is the installer program" },
             Case { sample + "/payload/Sounds/Installer", "lies inside it" },
             Case { sample + "/payload/ReadMe.txt", "is payload item" } }) {
        auto [status, text] = RunCommand("'" + ProgramPath("brenvik-build") + "' '" + project
            + "' -o '" + bad.output + "' --installer '" + program + "'");
        EXPECT_EQ(status, 1) << text;
        EXPECT_NE(text.find(bad.words), std::string::npos) << text;
    }
    EXPECT_EQ(ReadBytes(project), before);
    EXPECT_EQ(ReadBytes(program), ReadBytes(ProgramPath("brenvik-installer")));
    EXPECT_FALSE(fs::exists(sample + "/payload/Sounds/Installer"));
}

// A build that fails part way keeps what was at the output's path and
// leaves nothing beside it; one that succeeds puts a program there.
TEST(ProjectValidationTest, AFailedBuildKeepsTheOldOutputAndLeavesNothingBeside)
{
    std::string sample = CopySample();
    std::string folder = brenvik::test::MakeTempFolder("out");
    std::string output = folder + "/Installer";
    std::ofstream(output) << "the last good installer";
    brenvik::BuildOptions options = BuildOptionsFor(sample + "/project.json", output);
    options.deinstallerProgram = sample + "/no-such-program";
    brenvik::InstallerBuilder builder;
    EXPECT_NE(builder.Build(options), B_OK);
    EXPECT_NE(builder.ErrorText().find("de-installer"), std::string::npos) << builder.ErrorText();
    EXPECT_EQ(ReadBytes(output), "the last good installer");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    ASSERT_EQ(BuildInstaller(sample + "/project.json", output), B_OK);
    EXPECT_EQ(fs::status(output).permissions(), fs::perms(0755));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST(ProjectValidationTest, SaysSoWhenASourceLiesOutsideTheProject)
{
    std::string sample = CopySample();
    std::string elsewhere = brenvik::test::MakeTempFolder("elsewhere");
    std::ofstream(elsewhere + "/Extra.txt") << "extra";
    std::ofstream(sample + "/outside.json") << R"({ "app_name": "Outside",
        "opt_created_folder": "Outside", "install_instructions": [ { "source": ")"
            + elsewhere + R"(/Extra.txt", "install_meta": { "destination": "User Selected",
            "destination_exists": "Replace", "link": "None", "link_exists": "Replace",
            "deinstallable": "True" } } ] })";
    auto [status, text] = RunCommand("'" + ProgramPath("brenvik-build") + "' '" + sample
        + "/outside.json' -o '" + sample + "/Installer'");
    EXPECT_EQ(status, 0) << text;
    EXPECT_NE(text.find("/install_instructions/0/source: note: "), std::string::npos) << text;
    EXPECT_NE(text.find("outside the project's folder"), std::string::npos) << text;
}

} // namespace
