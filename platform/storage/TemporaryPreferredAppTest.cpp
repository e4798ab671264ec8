#include <TemporaryPreferredApp.h>

#include <gtest/gtest.h>

#include <MimeType.h>

#include "MimeDatabase.h"
#include "StorageTestUtils.h"

#include <sys/stat.h>

namespace {

using BPrivate::MimeDatabase;
using BPrivate::TemporaryPreferredApp;

bool EntryThere(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

std::string PreferredApp(const char* type)
{
    char signature[B_MIME_TYPE_LENGTH];
    if (BMimeType(type).GetPreferredApp(signature) != B_OK)
        return "";
    return signature;
}

TEST(TemporaryPreferredAppTest, ATypeUnknownBeforeLeavesNoRecordAndNoFolder)
{
    // A supertype of its own, so that its folder is made for it alone.
    const char* type = "x-temporary-test/document";
    std::string folder = MimeDatabase::WritableFolder() + "/x-temporary-test.d";
    ASSERT_FALSE(EntryThere(folder));
    {
        TemporaryPreferredApp registration(type, "application/x-vnd.Tarsel.Velk");
        EXPECT_EQ(PreferredApp(type), "application/x-vnd.Tarsel.Velk");
        EXPECT_TRUE(EntryThere(folder));
    }
    EXPECT_EQ(PreferredApp(type), "");
    EXPECT_FALSE(EntryThere(folder));
    EXPECT_FALSE(BMimeType(type).IsInstalled());
}

TEST(TemporaryPreferredAppTest, ATypeTheUserHadKeepsItsOwnChoice)
{
    const char* type = "x-temporary-kept/document";
    BMimeType existing(type);
    ASSERT_EQ(existing.SetPreferredApp("application/x-vnd.Users-Editor"), B_OK);
    ASSERT_EQ(existing.SetShortDescription("The user's documents"), B_OK);
    {
        TemporaryPreferredApp registration(type, "application/x-vnd.Tarsel.Velk");
        EXPECT_EQ(PreferredApp(type), "application/x-vnd.Tarsel.Velk");
    }
    EXPECT_EQ(PreferredApp(type), "application/x-vnd.Users-Editor");
    char text[B_MIME_TYPE_LENGTH];
    ASSERT_EQ(BMimeType(type).GetShortDescription(text), B_OK);
    EXPECT_STREQ(text, "The user's documents");
}

} // namespace
