#include <MimeType.h>

#include <gtest/gtest.h>

#include <Entry.h>
#include <Message.h>

#include "MimeDatabase.h"
#include "StorageTestUtils.h"

namespace {

using BPrivate::MimeDatabase;
using BPrivate::MimeRecord;

struct ValidityCase {
    const char* type;
    bool valid;
};

class MimeValidity : public testing::TestWithParam<ValidityCase> { };

TEST_P(MimeValidity, FollowsTheBeOSRules)
{
    EXPECT_EQ(BMimeType::IsValid(GetParam().type), GetParam().valid) << GetParam().type;
}

INSTANTIATE_TEST_SUITE_P(Table, MimeValidity,
    testing::Values(ValidityCase { "text/plain", true }, ValidityCase { "text", true },
        ValidityCase { "application/x-vnd.Tarsel.Velk", true }, ValidityCase { "", false },
        ValidityCase { "/plain", false }, ValidityCase { "text/", false },
        ValidityCase { "a/b/c", false }, ValidityCase { "text/pl ain", false },
        ValidityCase { "text/pl\xc3\xa9in", false }, ValidityCase { "text/a;b", false },
        ValidityCase { "text/a\\b", false }, ValidityCase { "text/a\x7f", false },
        ValidityCase { "../x", true }));

TEST(MimeTypeTest, LongestValidTypeIs239Bytes)
{
    std::string type = "a/" + std::string(237, 'b');
    EXPECT_TRUE(BMimeType::IsValid(type.c_str()));
    type += "b";
    EXPECT_FALSE(BMimeType::IsValid(type.c_str()));
}

TEST(MimeTypeTest, ComparesWithoutCaseAndKnowsSupertypes)
{
    BMimeType type("Text/X-Velk");
    EXPECT_TRUE(type == "text/x-velk");
    EXPECT_TRUE(type == BMimeType("TEXT/x-VELK"));
    BMimeType super;
    ASSERT_EQ(type.GetSupertype(&super), B_OK);
    EXPECT_STREQ(super.Type(), "Text");
    EXPECT_TRUE(super.IsSupertypeOnly());
    EXPECT_TRUE(super.Contains(&type));
    EXPECT_FALSE(type.Contains(&super));
    EXPECT_EQ(BMimeType("bad type").InitCheck(), B_BAD_VALUE);
}

TEST(MimeTypeTest, PreferredAppIsStoredPerType)
{
    BMimeType type("text/x-velk");
    char signature[B_MIME_TYPE_LENGTH];
    EXPECT_EQ(BMimeType("text/x-never-set").GetPreferredApp(signature), B_ENTRY_NOT_FOUND);
    ASSERT_EQ(type.SetPreferredApp("application/x-vnd.Tarsel.Velk"), B_OK);
    EXPECT_TRUE(type.IsInstalled());
    ASSERT_EQ(BMimeType("TEXT/X-VELK").GetPreferredApp(signature), B_OK);
    EXPECT_STREQ(signature, "application/x-vnd.Tarsel.Velk");
    EXPECT_EQ(type.SetPreferredApp("not valid"), B_BAD_VALUE);
    ASSERT_EQ(type.SetPreferredApp(nullptr), B_OK);
    EXPECT_EQ(type.GetPreferredApp(signature), B_ENTRY_NOT_FOUND);
}

TEST(MimeTypeTest, DescriptionsKeepNewlinesAndBackslashes)
{
    BMimeType type("application/x-described");
    ASSERT_EQ(type.SetShortDescription("Velk document"), B_OK);
    ASSERT_EQ(type.SetLongDescription("Line one\nline two \\n not a newline"), B_OK);
    char text[B_MIME_TYPE_LENGTH];
    ASSERT_EQ(type.GetShortDescription(text), B_OK);
    EXPECT_STREQ(text, "Velk document");
    ASSERT_EQ(type.GetLongDescription(text), B_OK);
    EXPECT_STREQ(text, "Line one\nline two \\n not a newline");
    std::string tooLong(300, 'x');
    EXPECT_EQ(type.SetShortDescription(tooLong.c_str()), B_BAD_VALUE);
}

TEST(MimeTypeTest, SupportedTypesAndAppHintOfASignature)
{
    BMimeType app("application/x-vnd.Test-App");
    BMessage types;
    types.AddString("types", "text/x-velk");
    types.AddString("types", "text/plain");
    ASSERT_EQ(app.SetSupportedTypes(&types), B_OK);
    BMessage read;
    ASSERT_EQ(app.GetSupportedTypes(&read), B_OK);
    const char* type;
    ASSERT_EQ(read.FindString("types", 1, &type), B_OK);
    EXPECT_STREQ(type, "text/plain");

    std::string path = brenvik::test::MakeTempFolder("app") + "/App";
    storage_test::WriteFile(path, "");
    entry_ref ref;
    ASSERT_EQ(get_ref_for_path(path.c_str(), &ref), B_OK);
    ASSERT_EQ(app.SetAppHint(&ref), B_OK);
    entry_ref hint;
    ASSERT_EQ(app.GetAppHint(&hint), B_OK);
    EXPECT_EQ(hint, ref);
}

TEST(MimeTypeTest, InstallAndDelete)
{
    BMimeType type("application/x-installed");
    EXPECT_FALSE(type.IsInstalled());
    ASSERT_EQ(type.Install(), B_OK);
    EXPECT_TRUE(type.IsInstalled());
    EXPECT_EQ(type.Install(), B_FILE_EXISTS);
    ASSERT_EQ(type.Delete(), B_OK);
    EXPECT_FALSE(type.IsInstalled());
}

TEST(MimeDatabaseTest, StoreStaysInsideItsFolder)
{
    std::string folder = "/store";
    EXPECT_EQ(MimeDatabase::FileFor(folder, "Text/Plain"), "/store/text.d/plain.mime");
    EXPECT_EQ(MimeDatabase::FileFor(folder, "text"), "/store/text.mime");
    EXPECT_EQ(MimeDatabase::FileFor(folder, "../x"), "/store/...d/x.mime");
    EXPECT_EQ(MimeDatabase::FileFor(folder, "a/.."), "/store/a.d/...mime");
}

TEST(MimeDatabaseTest, RecordsSurviveEncoding)
{
    MimeRecord record = { { "type", { "a/b" } }, { "many", { "1", "two\nlines", "back\\slash" } } };
    EXPECT_EQ(MimeDatabase::Decode(MimeDatabase::Encode(record)), record);
}

TEST(MimeDatabaseTest, UserScopeReadsTheSystemStoreToo)
{
    setenv("BRENVIK_SCOPE", "system", 1);
    ASSERT_EQ(BMimeType("application/x-system-wide").SetShortDescription("everybody's"), B_OK);
    setenv("BRENVIK_SCOPE", "user", 1);
    char text[B_MIME_TYPE_LENGTH];
    ASSERT_EQ(BMimeType("application/x-system-wide").GetShortDescription(text), B_OK);
    EXPECT_STREQ(text, "everybody's");
    ASSERT_EQ(BMimeType("application/x-system-wide").SetShortDescription("mine"), B_OK);
    ASSERT_EQ(BMimeType("application/x-system-wide").GetShortDescription(text), B_OK);
    EXPECT_STREQ(text, "mine");
    unsetenv("BRENVIK_SCOPE");
}

} // namespace
