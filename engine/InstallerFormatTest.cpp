#include "InstallerFormat.h"

#include "InstallConfig.h"

#include <Message.h>
#include <Resources.h>

#include <TestSandbox.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <string>

namespace {

using namespace InstallerFormat;

// An empty resource file in the sandbox.
std::string NewResourceFile()
{
    std::string path = brenvik::test::MakeTempFolder("format") + "/installer";
    std::ofstream(path).close();
    return path;
}

TEST(InstallerFormatTest, KnowsEachRecordsFieldsWithTheirTypes)
{
    const FieldInfo* field = FindField(Record::kConfiguration, Field::kIncludeDeinstall);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->type, B_BOOL_TYPE);
    field = FindField(Record::kConfiguration, Field::kInstallInstructions);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->nested, Record::kInstructions);
    field = FindField(Record::kSharedLibraries, "req_shared_librry_req");
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->type, B_BOOL_TYPE);
    // A field belongs to its own record only.
    EXPECT_EQ(FindField(Record::kInstallMeta, Field::kAppName), nullptr);
    EXPECT_EQ(FindField(Record::kConfiguration, Field::kDestination), nullptr);
    EXPECT_EQ(FindField(Record::kConfiguration, nullptr), nullptr);
}

TEST(InstallerFormatTest, WriterRefusesWhatTheFormatDoesNotHold)
{
    BMessage item;
    RecordWriter writer(item, Record::kInstallFile);
    EXPECT_EQ(writer.AddString(Field::kFileName, "/a/b"), B_OK);
    EXPECT_EQ(writer.AddString(Field::kFileName, "/a/c"), B_NOT_ALLOWED);
    EXPECT_EQ(writer.AddInt32(Field::kFileType, 1), B_BAD_TYPE);
    EXPECT_EQ(writer.AddBool("install_to_sytem", true), B_NAME_NOT_FOUND);
    // "file_size" is written twice by design.
    EXPECT_EQ(writer.AddInt32(Field::kFileSize, 7), B_OK);
    EXPECT_EQ(writer.AddInt32(Field::kFileSize, 7), B_OK);
    EXPECT_STREQ(item.GetString(Field::kFileName, ""), "/a/b");
    EXPECT_FALSE(item.HasInt32(Field::kFileType));
    EXPECT_EQ(item.GetInt32(Field::kFileSize, 1, 0), 7);
    EXPECT_EQ(writer.SetInt32(Field::kFileSize, 9), B_OK);
    EXPECT_EQ(item.GetInt32(Field::kFileSize, 0), 9);
    EXPECT_FALSE(item.HasInt32(Field::kFileSize, 1));
}

// A size is written as the 32-bit fields saturated at their maximum and
// the exact 64-bit companion: a reader of the 32-bit field alone sees the
// saturated value, ours the exact one, also after the record is flattened.
class RecordedSizeTest : public testing::TestWithParam<uint64> { };

TEST_P(RecordedSizeTest, OldReadersSeeItSaturatedNewReadersExactly)
{
    uint64 size = GetParam();
    int32 saturated = int32(std::min<uint64>(size, 0x7FFFFFFF));
    BMessage written;
    RecordWriter item(written, Record::kInstallFile);
    ASSERT_EQ(AddFileSize(item, size), B_OK);
    BMessage configuration;
    RecordWriter record(configuration, Record::kConfiguration);
    ASSERT_EQ(SetDeinstallerSize(record, 1), B_OK);
    ASSERT_EQ(SetDeinstallerSize(record, size), B_OK);

    BMessage flat;
    std::string bytes(size_t(written.FlattenedSize()), '\0');
    ASSERT_EQ(written.Flatten(bytes.data(), ssize_t(bytes.size())), B_OK);
    ASSERT_EQ(flat.Unflatten(bytes.data(), ssize_t(bytes.size())), B_OK);
    EXPECT_EQ(flat.GetInt32(Field::kFileSize, 0, -1), saturated);
    EXPECT_EQ(flat.GetInt32(Field::kFileSize, 1, -1), saturated);
    EXPECT_EQ(RecordedFileSize(flat), size);
    EXPECT_EQ(configuration.GetInt32(Field::kDeinstallerSize, -1), saturated);
    EXPECT_EQ(RecordedDeinstallerSize(configuration), size);
    EXPECT_FALSE(configuration.HasInt64(Field::kDeinstallerSize64, 1));
}

INSTANTIATE_TEST_SUITE_P(Sizes, RecordedSizeTest,
    testing::Values(0, 13, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 4831838208ULL));

struct ReadCase {
    std::optional<int32> size32;
    std::optional<int64> size64;
    uint64 expected;
};

class ReadSizeTest : public testing::TestWithParam<ReadCase> { };

// Records written by older tools, or edited by them after ours wrote them.
TEST_P(ReadSizeTest, TakesTheCompanionOnlyWhereItAgrees)
{
    const ReadCase& test = GetParam();
    BMessage item;
    if (test.size32) {
        item.AddInt32(Field::kFileSize, *test.size32);
        item.AddInt32(Field::kFileSize, 5);
    }
    if (test.size64)
        item.AddInt64(Field::kFileSize64, *test.size64);
    EXPECT_EQ(RecordedFileSize(item), test.expected);
    EXPECT_EQ(RecordedSize(item, Field::kFileSize, Field::kFileSize64), test.expected);
}

INSTANTIATE_TEST_SUITE_P(Records, ReadSizeTest,
    testing::Values(ReadCase { 4096, {}, 4096 }, // before the companion
        ReadCase { {}, {}, 0 }, ReadCase { -1, {}, 0 },
        ReadCase { 0x7FFFFFFF, 5000000000LL, 5000000000ULL },
        ReadCase { {}, 5000000000LL, 5000000000ULL },
        // The 32-bit value was rewritten by a tool that keeps the companion.
        ReadCase { 100, 5000000000LL, 100 }, ReadCase { 0x7FFFFFFF, 12, 0x7FFFFFFF },
        ReadCase { 0x7FFFFFFF, -1, 0x7FFFFFFF }));

TEST(InstallerFormatTest, RecordRoundTripsThroughAnInstallersResources)
{
    std::string path = NewResourceFile();
    BMessage record;
    RecordWriter(record, Record::kConfiguration).AddString(Field::kAppName, "Tarsel Notes");
    {
        BResources resources(path.c_str(), true);
        ASSERT_EQ(resources.InitCheck(), B_OK);
        ASSERT_EQ(WriteConfiguration(resources, record), B_OK);
        // Written again, it replaces the first.
        ASSERT_EQ(WriteConfiguration(resources, record), B_OK);
    }
    BResources resources;
    ASSERT_EQ(resources.SetTo(path.c_str(), 0, false), B_OK);
    const char* name = nullptr;
    ASSERT_TRUE(resources.GetResourceInfo(B_STRING_TYPE, 2002, &name, nullptr));
    EXPECT_STREQ(name, "BVC:configuration");
    BMessage read;
    read.AddString("stale", "x");
    ASSERT_EQ(ReadConfiguration(resources, &read), B_OK);
    EXPECT_STREQ(read.GetString(Field::kAppName, ""), "Tarsel Notes");
    EXPECT_FALSE(read.HasString("stale"));
}

// How the programs load their record, and what they say when they cannot.
struct LoadCase {
    const char* name;
    const char* bytes; // nullptr: no record at all
    status_t status;
    const char* diagnostic;
};

class InstallConfigLoadTest : public testing::TestWithParam<LoadCase> { };

TEST_P(InstallConfigLoadTest, ReportsAMissingOrDamagedRecord)
{
    std::string path = NewResourceFile();
    {
        BResources resources(path.c_str(), true);
        if (GetParam().bytes != nullptr) {
            ASSERT_EQ(resources.AddResource(B_STRING_TYPE, 2002, GetParam().bytes,
                          std::char_traits<char>::length(GetParam().bytes)),
                B_OK);
        }
    }
    BResources resources;
    ASSERT_EQ(resources.SetTo(path.c_str(), 0, false), B_OK);
    InstallConfig config;
    config.AddString(Field::kAppName, "left over");
    testing::internal::CaptureStderr();
    EXPECT_EQ(config.Load(resources), GetParam().status);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), GetParam().diagnostic);
    EXPECT_TRUE(config.IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Records, InstallConfigLoadTest,
    testing::Values(
        LoadCase { "Missing", nullptr, B_ENTRY_NOT_FOUND, "Does not have resource 2002\n" },
        LoadCase {
            "NotAMessage", "no message here", B_NOT_A_MESSAGE, "Unable to read resource 2002\n" }),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

struct GroupCase {
    const char* groups; // nullptr: no "groups" field
    const char* group;
    bool member;
};

class GroupMembershipTest : public testing::TestWithParam<GroupCase> { };

TEST_P(GroupMembershipTest, AnItemBelongsToTheGroupsItsTextNames)
{
    BMessage item;
    if (GetParam().groups != nullptr)
        item.AddString(Field::kItemGroups, GetParam().groups);
    EXPECT_EQ(IsInGroup(item, GetParam().group), GetParam().member);
}

INSTANTIATE_TEST_SUITE_P(Texts, GroupMembershipTest,
    testing::Values(GroupCase { "Typical;", "Typical", true },
        GroupCase { "Typical;Sounds;", "Sounds", true },
        GroupCase { "Typical;Sounds;", "Typical", true },
        GroupCase { "typical;", "Typical", false }, GroupCase { "Typical;", "Typ", false },
        GroupCase { "Typical Sounds;", "Typical", false }, GroupCase { "", "Typical", false },
        GroupCase { nullptr, "Typical", false }, GroupCase { "Typical;", nullptr, false }));

} // namespace
