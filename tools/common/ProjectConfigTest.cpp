#include "ProjectConfig.h"
#include "ProjectInput.h"

#include <Entry.h>
#include <PixelBuffer.h>
#include <TestSandbox.h>
#include <TypeConstants.h>

#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using json = nlohmann::ordered_json;
using brenvik::BuildProjectConfig;
using brenvik::ProjectConfig;

class ProjectConfigTest : public testing::Test {
protected:
    void SetUp() override
    {
        fFolder = brenvik::test::MakeTempFolder("project");
        std::ofstream(fFolder + "/tool") << "#!/bin/sh\n";
        std::filesystem::permissions(fFolder + "/tool", std::filesystem::perms::owner_all);
        std::filesystem::create_directory(fFolder + "/docs");
        std::ofstream(fFolder + "/docs/a.txt") << "12345";
        std::ofstream(fFolder + "/docs/b.txt") << "123";
        std::ofstream(fFolder + "/LICENSE") << "Use it well.\n";
    }

    json Minimal()
    {
        return json::parse(R"({
            "app_name": "Tool",
            "opt_created_folder": "Tool",
            "license_file": "LICENSE",
            "groups": [ { "group_name": "Typical" }, { "group_name": "Docs", "group_description": "Manuals" } ],
            "install_instructions": [
                { "source": "tool", "groups": "Typical;",
                  "install_meta": { "destination": "User Selected", "destination_exists": "Prompt",
                                    "link": "None", "link_exists": "Replace", "deinstallable": "True" } },
                { "source": "docs",
                  "install_meta": { "destination": "User Selected", "destination_exists": "Rename",
                                    "link": "None", "link_exists": "Replace", "deinstallable": "False" } }
            ],
            "req_disk_space_amount": { "value": 2048.0 },
            "opt_include_deinstall": false
        })");
    }

    std::string fFolder;
};

TEST_F(ProjectConfigTest, BuildsTheRecordWithTheConfigurationFieldNames)
{
    // A folder's size counts its links' targets, as the installer's bound on
    // the item does.
    std::filesystem::create_symlink("a.txt", fFolder + "/docs/latest");
    ProjectConfig result = BuildProjectConfig(Minimal(), fFolder);
    ASSERT_TRUE(result.IsValid()) << result.problems[0].path << ": " << result.problems[0].text;
    BMessage& config = result.configuration;
    EXPECT_STREQ(config.GetString("license", ""), "Use it well.\n");
    EXPECT_FALSE(config.GetBool("opt_include_deinstall", true));

    BMessage groups;
    ASSERT_EQ(config.FindMessage("groups", &groups), B_OK);
    EXPECT_STREQ(groups.GetString("group_name", 1, ""), "Docs");
    EXPECT_STREQ(groups.GetString("group_description", 0, "x"), "");

    BMessage instructions, tool, docs;
    ASSERT_EQ(config.FindMessage("install_instructions", &instructions), B_OK);
    ASSERT_EQ(instructions.FindMessage("install_file", 0, &tool), B_OK);
    ASSERT_EQ(instructions.FindMessage("install_file", 1, &docs), B_OK);
    int8 type = -1;
    tool.FindInt8("file_type", &type);
    EXPECT_EQ(type, 1);
    docs.FindInt8("file_type", &type);
    EXPECT_EQ(type, 2);
    EXPECT_EQ(docs.GetInt32("file_size", 0, 0), 13);
    EXPECT_EQ(docs.GetInt32("file_size", 1, 0), 13);
    EXPECT_TRUE(docs.HasMessage("file_icon"));
    EXPECT_FALSE(docs.HasString("groups"));

    // The item's fields keep the project's order.
    BMessage meta;
    ASSERT_EQ(tool.FindMessage("install_meta", &meta), B_OK);
    char* name = nullptr;
    type_code fieldType;
    ASSERT_EQ(meta.GetInfo(B_STRING_TYPE, 0, &name, &fieldType), B_OK);
    EXPECT_STREQ(name, "destination");

    ASSERT_EQ(result.payload.size(), 2u);
    EXPECT_EQ(result.payload[1].leaf, "docs");

    // It survives flattening, as the installer stores it.
    std::vector<char> record(size_t(config.FlattenedSize()));
    ASSERT_EQ(config.Flatten(record.data(), ssize_t(record.size())), B_OK);
    BMessage back;
    EXPECT_EQ(back.Unflatten(record.data(), record.size()), B_OK);
}

// A system installation keeps the group and other write bits of the
// payload only when the project asks; a project that does not say is read
// as one that does not ask.
TEST_F(ProjectConfigTest, TheProjectMayKeepTheSharedWriteBits)
{
    ProjectConfig without = BuildProjectConfig(Minimal(), fFolder);
    ASSERT_TRUE(without.IsValid());
    EXPECT_FALSE(without.configuration.HasBool("opt_keep_shared_write"));
    EXPECT_FALSE(without.configuration.GetBool("opt_keep_shared_write", false));
    json project = Minimal();
    project["opt_keep_shared_write"] = true;
    ProjectConfig with = BuildProjectConfig(project, fFolder);
    ASSERT_TRUE(with.IsValid()) << with.problems[0].path << ": " << with.problems[0].text;
    EXPECT_TRUE(with.configuration.GetBool("opt_keep_shared_write", false));
    project["opt_keep_shared_write"] = "yes";
    ProjectConfig wrong = BuildProjectConfig(project, fFolder);
    ASSERT_FALSE(wrong.IsValid());
    EXPECT_EQ(wrong.problems[0].path, "/opt_keep_shared_write");
}

TEST_F(ProjectConfigTest, TheCreationTimeIsNotTheInodeChangeTime)
{
    // A creation time long past; the change time is now, renewed by this very
    // change.
    const time_t created = 1000000000;
    ASSERT_EQ(BEntry((fFolder + "/tool").c_str()).SetCreationTime(created), B_OK);
    struct stat info;
    ASSERT_EQ(stat((fFolder + "/tool").c_str(), &info), 0);
    ASSERT_NE(info.st_ctime, created);

    ProjectConfig result = BuildProjectConfig(Minimal(), fFolder);
    ASSERT_TRUE(result.IsValid());
    BMessage instructions, tool;
    ASSERT_EQ(result.configuration.FindMessage("install_instructions", &instructions), B_OK);
    ASSERT_EQ(instructions.FindMessage("install_file", 0, &tool), B_OK);
    EXPECT_EQ(tool.GetInt64("file_creation", 0), int64(created));
    EXPECT_EQ(tool.GetInt64("file_modified", 0), int64(info.st_mtime));
}

// An item past the 32-bit field (a sparse file: nothing is written) is
// described, not refused: saturated in "file_size", whole in the companion.
TEST_F(ProjectConfigTest, AnItemOver2GBIsRecordedWholeInTheCompanion)
{
    const off_t size = (off_t(9) << 29) + 3; // 4.5 GiB and a bit
    int fd = open((fFolder + "/docs/disk.img").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, size), 0);
    close(fd);
    ProjectConfig result = BuildProjectConfig(Minimal(), fFolder);
    ASSERT_TRUE(result.IsValid()) << result.problems[0].path << ": " << result.problems[0].text;
    BMessage instructions, docs;
    ASSERT_EQ(result.configuration.FindMessage("install_instructions", &instructions), B_OK);
    ASSERT_EQ(instructions.FindMessage("install_file", 1, &docs), B_OK);
    EXPECT_EQ(docs.GetInt32("file_size", 0, 0), INT32_MAX);
    EXPECT_EQ(docs.GetInt32("file_size", 1, 0), INT32_MAX);
    EXPECT_EQ(docs.GetInt64("BVC:file_size_64", 0), int64(size) + 8);
}

// The record never says where the project lies on the author's machine:
// each item is named by its path in the project, one from outside by its
// leaf name.
struct RecordedNameCase {
    const char* source; // "<project>" and "<elsewhere>" stand for the folders
    const char* recorded;
};

class RecordedNameTest : public ProjectConfigTest,
                         public testing::WithParamInterface<RecordedNameCase> { };

TEST_P(RecordedNameTest, NamesTheItemByItsPathInTheProject)
{
    std::string elsewhere = brenvik::test::MakeTempFolder("elsewhere");
    std::ofstream(elsewhere + "/extra") << "x";
    std::filesystem::create_directory_symlink(fFolder + "/docs", fFolder + "/docs-link");
    std::string source = GetParam().source;
    for (auto [mark, folder] :
        { std::pair { "<project>", fFolder }, { "<elsewhere>", elsewhere } }) {
        if (source.rfind(mark, 0) == 0)
            source = folder + source.substr(std::strlen(mark));
    }
    json project = Minimal();
    project["install_instructions"][1]["source"] = source;
    ProjectConfig result = BuildProjectConfig(project, fFolder);
    ASSERT_TRUE(result.IsValid()) << result.problems[0].path << ": " << result.problems[0].text;
    BMessage instructions, item;
    ASSERT_EQ(result.configuration.FindMessage("install_instructions", &instructions), B_OK);
    ASSERT_EQ(instructions.FindMessage("install_file", 1, &item), B_OK);
    EXPECT_STREQ(item.GetString("file_name", ""), GetParam().recorded);
    // The payload is still read from where it is.
    EXPECT_EQ(result.payload[1].source.front(), '/');
    std::vector<char> record(size_t(result.configuration.FlattenedSize()));
    ASSERT_EQ(result.configuration.Flatten(record.data(), ssize_t(record.size())), B_OK);
    std::string bytes(record.begin(), record.end());
    EXPECT_EQ(bytes.find(fFolder), std::string::npos);
    EXPECT_EQ(bytes.find(elsewhere), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Sources, RecordedNameTest,
    testing::Values(RecordedNameCase { "docs", "docs" },
        RecordedNameCase { "docs/a.txt", "docs/a.txt" },
        RecordedNameCase { "./docs/../docs/b.txt", "docs/b.txt" },
        RecordedNameCase { "<project>/docs/a.txt", "docs/a.txt" },
        RecordedNameCase { "docs-link/a.txt", "docs/a.txt" },
        RecordedNameCase { "<elsewhere>/extra", "extra" }));

// Times later than the latest time a build may write (SOURCE_DATE_EPOCH)
// are held to it. The access time (renewed by the build's own reading) and
// the birth time (the time this copy of the project was made) are never
// stored: the modification time stands in for both.
TEST_F(ProjectConfigTest, TimesComeFromTheSourceHeldToTheLatestTime)
{
    const time_t modified = 1500000000;
    timespec times[2] = { { 1600000000, 0 }, { modified, 0 } };
    ASSERT_EQ(utimensat(AT_FDCWD, (fFolder + "/tool").c_str(), times, 0), 0);
    ASSERT_EQ(utimensat(AT_FDCWD, (fFolder + "/docs").c_str(), times, 0), 0);
    ASSERT_EQ(BEntry((fFolder + "/docs").c_str()).SetCreationTime(1400000000), B_OK);
    struct Expected {
        std::optional<int64> latest;
        int64 tool;
        int64 docsCreated;
    };
    for (const Expected& c : { Expected { std::nullopt, modified, 1400000000 },
             Expected { int64(1450000000), 1450000000, 1400000000 },
             Expected { int64(1000), 1000, 1000 } }) {
        ProjectConfig result = BuildProjectConfig(Minimal(), fFolder, c.latest);
        ASSERT_TRUE(result.IsValid());
        BMessage instructions, tool, docs;
        ASSERT_EQ(result.configuration.FindMessage("install_instructions", &instructions), B_OK);
        ASSERT_EQ(instructions.FindMessage("install_file", 0, &tool), B_OK);
        ASSERT_EQ(instructions.FindMessage("install_file", 1, &docs), B_OK);
        for (const char* field : { "file_creation", "file_modified", "file_accessed" })
            EXPECT_EQ(tool.GetInt64(field, 0), c.tool) << field;
        EXPECT_EQ(docs.GetInt64("file_creation", 0), c.docsCreated);
        EXPECT_EQ(docs.GetInt64("file_accessed", 0), c.tool);
    }
}

struct EpochCase {
    const char* value;
    std::optional<int64> epoch; // nullopt: no limit, or refused when `valid` is false
    bool valid;
};

class SourceDateEpochTest : public testing::TestWithParam<EpochCase> { };

TEST_P(SourceDateEpochTest, IsAWholeNumberOfSecondsAZipEntryCanHold)
{
    std::optional<int64> epoch = 7;
    std::string error;
    EXPECT_EQ(brenvik::ParseSourceDateEpoch(GetParam().value, &epoch, &error), GetParam().valid);
    EXPECT_EQ(epoch, GetParam().epoch);
    EXPECT_EQ(error.empty(), GetParam().valid) << error;
}

INSTANTIATE_TEST_SUITE_P(Values, SourceDateEpochTest,
    testing::Values(EpochCase { nullptr, std::nullopt, true }, EpochCase { "", std::nullopt, true },
        EpochCase { "0", int64(0), true }, EpochCase { "1700000000", int64(1700000000), true },
        EpochCase { "0001700000000", int64(1700000000), true },
        EpochCase { "4294967295", int64(4294967295), true },
        EpochCase { "4294967296", std::nullopt, false }, EpochCase { "-1", std::nullopt, false },
        EpochCase { "1.5", std::nullopt, false }, EpochCase { " 17", std::nullopt, false },
        EpochCase { "Tue, 1 Dec 2026", std::nullopt, false }));

struct BadProject {
    const char* name;
    const char* pointer; // where to change the project
    const char* value; // JSON text of the new value
    const char* expectedPath;
};

class ProjectProblemTest : public ProjectConfigTest,
                           public testing::WithParamInterface<BadProject> { };

TEST_P(ProjectProblemTest, NamesTheJsonPathOfTheProblem)
{
    json project = Minimal();
    project[json::json_pointer(GetParam().pointer)] = json::parse(GetParam().value);
    ProjectConfig result = BuildProjectConfig(project, fFolder);
    ASSERT_FALSE(result.IsValid());
    bool found = false;
    for (auto& problem : result.problems)
        found = found || problem.path == GetParam().expectedPath;
    EXPECT_TRUE(found) << "first problem: " << result.problems[0].path << ": "
                       << result.problems[0].text;
}

INSTANTIATE_TEST_SUITE_P(Cases, ProjectProblemTest,
    testing::Values(BadProject { "UnknownField", "/opt_colour", "true", "/opt_colour" },
        BadProject { "WrongType", "/opt_log", "\"yes\"", "/opt_log" },
        BadProject { "MissingSource", "/install_instructions/0/source", "\"nowhere\"",
            "/install_instructions/0/source" },
        BadProject { "MissingMetaField", "/install_instructions/1/install_meta",
            "{ \"destination\": \"User Selected\" }", "/install_instructions/1/install_meta" },
        BadProject { "GroupWithoutName", "/groups/0", "{}", "/groups/0" },
        BadProject { "DiskSpaceTooLarge", "/req_disk_space_amount/value", "5e9",
            "/req_disk_space_amount/value" },
        BadProject { "NumberTooLarge", "/req_ram_amount", "9999999999", "/req_ram_amount" },
        BadProject { "LicenseMissing", "/license_file", "\"NOPE\"", "/license_file" },
        BadProject { "RuleInLowerCase", "/install_instructions/0/install_meta/destination_exists",
            "\"prompt\"", "/install_instructions/0/install_meta/destination_exists" },
        BadProject { "TrueInLowerCase", "/install_instructions/1/install_meta/deinstallable",
            "\"true\"", "/install_instructions/1/install_meta/deinstallable" },
        BadProject { "UnknownGroup", "/install_instructions/0/groups", "\"Typical;Extras;\"",
            "/install_instructions/0/groups" },
        BadProject { "GroupsWithoutSemicolon", "/install_instructions/0/groups", "\"Typical\"",
            "/install_instructions/0/groups" },
        BadProject { "CompressionLevel", "/opt_compression", "12", "/opt_compression" },
        BadProject { "AboutImageNotAPicture", "/about_image", "\"LICENSE\"", "/about_image" },
        BadProject { "SoundMissing", "/audio_file", "\"chime.wav\"", "/audio_file" },
        BadProject { "RawFormatWithoutSound", "/audio_format", "{}", "/audio_format" }),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

// Script lines that read as a block marker ("#BEGIN_..." or "#END_...",
// also after blanks) would let the product's block open or close another
// product's block in the user's scripts: each is a problem that names the
// script and the line.
TEST_F(ProjectConfigTest, ScriptLinesThatAreBlockMarkersAreAProblem)
{
    struct Script {
        const char* prefix;
        const char* name;
    };
    for (const Script& script : { Script { "edit_bootscript", "UserBootscript" },
             Script { "edit_setup_env", "UserSetupEnvironment" },
             Script { "edit_profile", ".profile" } }) {
        json project = Minimal();
        std::string prefix = script.prefix;
        project[prefix] = true;
        project[prefix + "_tag"] = "Tool";
        project[prefix + "_contents"] = "export TOOL=1\n  #END_Other\n";
        ProjectConfig result = BuildProjectConfig(project, fFolder);
        ASSERT_EQ(result.problems.size(), 1u) << prefix;
        EXPECT_EQ(result.problems[0].path, "/" + prefix + "_contents");
        const std::string& text = result.problems[0].text;
        EXPECT_NE(text.find(script.name), std::string::npos) << text;
        EXPECT_NE(text.find("line 2"), std::string::npos) << text;
        EXPECT_NE(text.find("#END_Other"), std::string::npos) << text;

        project[prefix + "_contents"] = "export TOOL=1 # not #END_Other\necho '#BEGIN_x'";
        EXPECT_TRUE(BuildProjectConfig(project, fFolder).IsValid()) << prefix;
    }
}

TEST_F(ProjectConfigTest, TwoItemsOfTheSameNameAreAProblem)
{
    json project = Minimal();
    std::filesystem::create_directory(fFolder + "/other");
    std::ofstream(fFolder + "/other/tool") << "x";
    project["install_instructions"].push_back(project["install_instructions"][0]);
    project["install_instructions"][2]["source"] = "other/tool";
    ProjectConfig result = BuildProjectConfig(project, fFolder);
    ASSERT_FALSE(result.IsValid());
    EXPECT_EQ(result.problems[0].path, "/install_instructions/2/source");
}

TEST_F(ProjectConfigTest, TheAboutImageBecomesAnArchived32BitBitmap)
{
    BPrivate::PixelBuffer picture(3, 2, B_RGBA32);
    picture.Fill(rgb_color { 10, 20, 30, 255 });
    picture.SetPixelAt(2, 1, rgb_color { 0, 0, 0, 0 });
    ASSERT_EQ(picture.WritePNG((fFolder + "/about.png").c_str()), B_OK);
    json project = Minimal();
    project["about_image"] = "about.png";
    ProjectConfig result = BuildProjectConfig(project, fFolder);
    ASSERT_TRUE(result.IsValid()) << result.problems[0].path << ": " << result.problems[0].text;
    BMessage bitmap;
    ASSERT_EQ(result.configuration.FindMessage("about_image", &bitmap), B_OK);
    EXPECT_STREQ(bitmap.GetString("class", ""), "BBitmap");
    BRect frame;
    ASSERT_EQ(bitmap.FindRect("_frame", &frame), B_OK);
    EXPECT_EQ(frame, BRect(0, 0, 2, 1));
    EXPECT_EQ(bitmap.GetInt32("_cspace", 0), 8);
    EXPECT_EQ(bitmap.GetInt32("_bmflags", 0), 1);
    EXPECT_EQ(bitmap.GetInt32("_rowbytes", 0), 12);
    const uint8* pixels = nullptr;
    ssize_t size = 0;
    ASSERT_EQ(
        bitmap.FindData("_data", B_RAW_TYPE, reinterpret_cast<const void**>(&pixels), &size), B_OK);
    ASSERT_EQ(size, 24);
    // Blue, green, red, unused: the platform's 32-bit layout.
    EXPECT_EQ(pixels[0], 30);
    EXPECT_EQ(pixels[1], 20);
    EXPECT_EQ(pixels[2], 10);
    // The transparent pixel shows the panel grey.
    EXPECT_EQ(pixels[12 + 8], 216);
}

TEST_F(ProjectConfigTest, AWavSoundDescribesItself)
{
    // 16-bit mono PCM at 8000 Hz, four samples.
    const uint8 wav[] = { 'R', 'I', 'F', 'F', 44, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
        16, 0, 0, 0, 1, 0, 1, 0, 0x40, 0x1f, 0, 0, 0x80, 0x3e, 0, 0, 2, 0, 16, 0, 'd', 'a', 't',
        'a', 8, 0, 0, 0, 1, 0, 2, 0, 3, 0, 4, 0 };
    std::ofstream(fFolder + "/chime.wav", std::ios::binary)
        .write(reinterpret_cast<const char*>(wav), sizeof(wav));
    json project = Minimal();
    project["audio_file"] = "chime.wav";
    ProjectConfig result = BuildProjectConfig(project, fFolder);
    ASSERT_TRUE(result.IsValid()) << result.problems[0].path << ": " << result.problems[0].text;
    EXPECT_STREQ(result.configuration.GetString("audio_file", ""), "chime.wav");
    BMessage audio;
    ASSERT_EQ(result.configuration.FindMessage("audio_data", &audio), B_OK);
    float rate = 0;
    ASSERT_EQ(audio.FindFloat("frame_rate", &rate), B_OK);
    EXPECT_EQ(rate, 8000.0f);
    EXPECT_EQ(audio.GetInt32("channel_count", 0), 1);
    EXPECT_EQ(audio.GetInt32("format", 0), 2);
    EXPECT_EQ(audio.GetInt32("byte_order", 0), 2);
    EXPECT_EQ(audio.GetInt32("buffer_size", 0), 8192);
    const void* data = nullptr;
    ssize_t size = 0;
    ASSERT_EQ(audio.FindData("data", B_ANY_TYPE, &data, &size), B_OK);
    EXPECT_EQ(size, 8);
}

TEST_F(ProjectConfigTest, ARawSoundTakesItsFormatFromTheProject)
{
    std::ofstream(fFolder + "/ding.raw", std::ios::binary) << std::string(100, '\x80');
    json project = Minimal();
    project["audio_file"] = "ding.raw";
    project["audio_format"] = json::parse(R"({ "frame_rate": 11025, "format": 17 })");
    ProjectConfig result = BuildProjectConfig(project, fFolder);
    ASSERT_TRUE(result.IsValid()) << result.problems[0].path << ": " << result.problems[0].text;
    BMessage audio;
    ASSERT_EQ(result.configuration.FindMessage("audio_data", &audio), B_OK);
    float rate = 0;
    ASSERT_EQ(audio.FindFloat("frame_rate", &rate), B_OK);
    EXPECT_EQ(rate, 11025.0f);
    EXPECT_EQ(audio.GetInt32("format", 0), 0x11);
    EXPECT_EQ(audio.GetInt32("channel_count", 0), 1);

    project["audio_format"] = json::parse(R"({ "format": 3 })");
    ProjectConfig bad = BuildProjectConfig(project, fFolder);
    ASSERT_FALSE(bad.IsValid());
    EXPECT_EQ(bad.problems[0].path, "/audio_format/format");
}

// Files a project names that are not what they claim, each caught before it
// is read: nothing hangs on a pipe, nothing is read whole that is too large,
// and the licence is never cut short or silently empty.
struct BadInput {
    const char* name;
    const char* pointer;
    const char* value;
    const char* words;
};

class BadInputTest : public ProjectConfigTest, public testing::WithParamInterface<BadInput> {
protected:
    void SetUp() override
    {
        ProjectConfigTest::SetUp();
        ASSERT_EQ(mkfifo((fFolder + "/pipe").c_str(), 0600), 0);
        std::ofstream(fFolder + "/zeros", std::ios::binary) << std::string(64, '\0');
        std::ofstream(fFolder + "/cut", std::ios::binary) << std::string("Use it\0 well.\0", 14);
        std::ofstream(fFolder + "/empty").close();
        // Sparse: large to the size check, cheap to make.
        std::filesystem::resize_file(
            (std::ofstream(fFolder + "/huge").close(), fFolder + "/huge"), 40 * 1024 * 1024);
        WriteWav("none.wav", 0, 8000);
        WriteWav("many.wav", 65535, 8000);
        WriteWav("still.wav", 1, 0);
        // A PNG header that claims a picture of 100,000 pixels a side.
        const uint8 png[] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H',
            'D', 'R', 0, 1, 0x86, 0xA0, 0, 1, 0x86, 0xA0, 8, 6, 0, 0, 0, 0, 0, 0, 0 };
        std::ofstream(fFolder + "/vast.png", std::ios::binary)
            .write(reinterpret_cast<const char*>(png), sizeof(png));
    }

    void WriteWav(const char* leaf, uint16 channels, uint32 rate)
    {
        uint8 wav[] = { 'R', 'I', 'F', 'F', 44, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16,
            0, 0, 0, 1, 0, uint8(channels), uint8(channels >> 8), uint8(rate), uint8(rate >> 8),
            uint8(rate >> 16), uint8(rate >> 24), 0x80, 0x3e, 0, 0, 2, 0, 16, 0, 'd', 'a', 't', 'a',
            8, 0, 0, 0, 1, 0, 2, 0, 3, 0, 4, 0 };
        std::ofstream(fFolder + "/" + leaf, std::ios::binary)
            .write(reinterpret_cast<const char*>(wav), sizeof(wav));
    }
};

TEST_P(BadInputTest, IsRefusedWithItsReason)
{
    json project = Minimal();
    project[json::json_pointer(GetParam().pointer)] = GetParam().value;
    ProjectConfig result = BuildProjectConfig(project, fFolder);
    ASSERT_FALSE(result.IsValid());
    EXPECT_EQ(result.problems[0].path, GetParam().pointer);
    EXPECT_NE(result.problems[0].text.find(GetParam().words), std::string::npos)
        << result.problems[0].text;
}

INSTANTIATE_TEST_SUITE_P(Files, BadInputTest,
    testing::Values(BadInput { "SoundIsAFolder", "/audio_file", "docs", "is a folder" },
        BadInput { "SoundIsAPipe", "/audio_file", "pipe", "not a regular file" },
        BadInput { "LicenseIsAPipe", "/license_file", "pipe", "not a regular file" },
        BadInput { "ImageIsAPipe", "/about_image", "pipe", "not a regular file" },
        BadInput { "LicenseIsAFolder", "/license_file", "docs", "is a folder" },
        BadInput { "LicenseTooLarge", "/license_file", "huge", "larger than 1 MB" },
        BadInput { "SoundTooLarge", "/audio_file", "huge", "larger than 16 MB" },
        BadInput { "LicenseAllZero", "/license_file", "zeros", "NUL byte (at byte 0)" },
        BadInput { "LicenseWithNul", "/license_file", "cut", "NUL byte (at byte 6)" },
        BadInput { "LicenseEmpty", "/license_file", "empty", "is empty" },
        BadInput { "WavWithoutChannels", "/audio_file", "none.wav", "0 channels" },
        BadInput { "WavWithTooManyChannels", "/audio_file", "many.wav", "65535 channels" },
        BadInput { "WavWithoutRate", "/audio_file", "still.wav", "at 0 Hz" },
        BadInput { "HugePicture", "/about_image", "vast.png", "larger than 1024 by 1024" }),
    [](const testing::TestParamInfo<BadInput>& test) { return std::string(test.param.name); });

// A link the installer would refuse is refused when the installer is built,
// with the installer's own words.
TEST_F(ProjectConfigTest, APayloadLinkTheInstallerWouldRefuseIsAProblem)
{
    std::filesystem::create_symlink("/", fFolder + "/root");
    std::filesystem::create_symlink("../../elsewhere", fFolder + "/docs/away");
    json project = Minimal();
    project["install_instructions"].push_back(project["install_instructions"][0]);
    project["install_instructions"][2]["source"] = "root";
    ProjectConfig result = BuildProjectConfig(project, fFolder);
    ASSERT_EQ(result.problems.size(), 2u);
    EXPECT_EQ(result.problems[0].path, "/install_instructions/1/source");
    EXPECT_NE(result.problems[0].text.find("\"docs/away\" points to \"../../elsewhere\", outside"),
        std::string::npos)
        << result.problems[0].text;
    EXPECT_EQ(result.problems[1].path, "/install_instructions/2/source");
    EXPECT_NE(result.problems[1].text.find("an absolute path"), std::string::npos)
        << result.problems[1].text;
}

TEST_F(ProjectConfigTest, ASourceOutsideTheProjectFolderIsNoted)
{
    std::string elsewhere = brenvik::test::MakeTempFolder("elsewhere");
    std::ofstream(elsewhere + "/extra") << "x";
    json project = Minimal();
    project["install_instructions"].push_back(project["install_instructions"][0]);
    project["install_instructions"][2]["source"] = elsewhere + "/extra";
    ProjectConfig result = BuildProjectConfig(project, fFolder);
    ASSERT_TRUE(result.IsValid()) << result.problems[0].text;
    ASSERT_EQ(result.notes.size(), 1u);
    EXPECT_EQ(result.notes[0].path, "/install_instructions/2/source");
    EXPECT_NE(result.notes[0].text.find("outside the project's folder"), std::string::npos);
}

TEST(ProjectConfigFileTest, ReportsUnreadableAndInvalidFiles)
{
    std::string folder = brenvik::test::MakeTempFolder("projectfile");
    EXPECT_FALSE(brenvik::LoadProjectConfig(folder + "/missing.json").IsValid());
    std::ofstream(folder + "/broken.json") << "{ not json";
    ProjectConfig broken = brenvik::LoadProjectConfig(folder + "/broken.json");
    ASSERT_FALSE(broken.IsValid());
    EXPECT_NE(broken.problems[0].text.find("not valid JSON"), std::string::npos);
}

} // namespace
