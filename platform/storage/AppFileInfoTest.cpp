#include <AppFileInfo.h>

#include <gtest/gtest.h>

#include <cstring>

#include <File.h>
#include <Message.h>
#include <Resources.h>
#include <TypeConstants.h>

#include "StorageTestUtils.h"

namespace {

using brenvik::test::MakeTempFolder;
using brenvik::test::TestDataPath;

version_info Version(uint32 major, uint32 middle, uint32 minor, uint32 variety, uint32 internal,
    const char* shortInfo, const char* longInfo)
{
    version_info info = {};
    info.major = major;
    info.middle = middle;
    info.minor = minor;
    info.variety = variety;
    info.internal = internal;
    std::strncpy(info.short_info, shortInfo, sizeof(info.short_info) - 1);
    std::strncpy(info.long_info, longInfo, sizeof(info.long_info) - 1);
    return info;
}

// A fresh copy of an ELF file with appended resources.
std::string CopyOfElf()
{
    std::string path = MakeTempFolder("appinfo") + "/program";
    storage_test::WriteFile(path, storage_test::ReadFile(TestDataPath("haiku-data/elf")));
    return path;
}

TEST(AppFileInfoTest, ReadsTheVersionOfARealBeOSFile)
{
    BFile file(TestDataPath("haiku-data/unzip.rsc").c_str(), B_READ_ONLY);
    ASSERT_EQ(file.InitCheck(), B_OK);
    BAppFileInfo info(&file);
    ASSERT_EQ(info.InitCheck(), B_OK);
    version_info version;
    ASSERT_EQ(info.GetVersionInfo(&version, B_APP_VERSION_KIND), B_OK);
    EXPECT_EQ(version.major, 5u);
    EXPECT_EQ(version.middle, 4u);
    EXPECT_EQ(version.minor, 1u);
    EXPECT_EQ(version.variety, 5u);
    EXPECT_EQ(version.internal, 0u);
    EXPECT_STREQ(version.short_info, "Info-ZIP's UnZip");
    // The system record of R5 files holds garbage; its strings still end.
    ASSERT_EQ(info.GetVersionInfo(&version, B_SYSTEM_VERSION_KIND), B_OK);
    EXPECT_LT(strlen(version.short_info), sizeof(version.short_info));
    EXPECT_LT(strlen(version.long_info), sizeof(version.long_info));
    char signature[B_MIME_TYPE_LENGTH];
    EXPECT_EQ(info.GetSignature(signature), B_OK);
}

TEST(AppFileInfoTest, VersionIsWrittenToBothLocations)
{
    SKIP_WITHOUT_XATTRS();
    std::string path = CopyOfElf();
    {
        BFile file(path.c_str(), B_READ_WRITE);
        BAppFileInfo info(&file);
        version_info version
            = Version(1, 3, 1, B_FINAL_VERSION, 0, "Installer", "V1.3.1 Install BeOS applications");
        ASSERT_EQ(info.SetVersionInfo(&version, B_APP_VERSION_KIND), B_OK);
    }
    BFile file(path.c_str(), B_READ_ONLY);
    attr_info attr;
    ASSERT_EQ(file.GetAttrInfo("BEOS:APP_VERSION", &attr), B_OK);
    EXPECT_EQ(attr.type, uint32('APPV'));
    EXPECT_EQ(attr.size, 680);
    BResources resources(&file);
    size_t size = 0;
    const void* data = resources.LoadResource('APPV', "BEOS:APP_VERSION", &size);
    ASSERT_NE(data, nullptr);
    ASSERT_EQ(size, 680u);
    const uint8* bytes = static_cast<const uint8*>(data);
    EXPECT_EQ(bytes[0], 1); // major, little-endian
    EXPECT_EQ(bytes[12], 5); // variety
    EXPECT_STREQ(reinterpret_cast<const char*>(bytes + 20), "Installer");
    EXPECT_STREQ(reinterpret_cast<const char*>(bytes + 84), "V1.3.1 Install BeOS applications");
    for (size_t i = 20 + 10; i < 84; i++)
        EXPECT_EQ(bytes[i], 0) << i;

    BAppFileInfo info(&file);
    version_info read;
    ASSERT_EQ(info.GetVersionInfo(&read, B_APP_VERSION_KIND), B_OK);
    EXPECT_EQ(read.minor, 1u);
    EXPECT_STREQ(read.long_info, "V1.3.1 Install BeOS applications");
}

TEST(AppFileInfoTest, ResourceIsReadWhenTheAttributeIsMissing)
{
    std::string path = CopyOfElf();
    BFile file(path.c_str(), B_READ_WRITE);
    BAppFileInfo info(&file);
    info.SetInfoLocation(B_USE_RESOURCES);
    version_info version = Version(2, 0, 0, B_BETA_VERSION, 3, "Two", "");
    ASSERT_EQ(info.SetVersionInfo(&version, B_SYSTEM_VERSION_KIND), B_OK);
    info.SetInfoLocation(B_USE_BOTH_LOCATIONS);
    version_info read;
    ASSERT_EQ(info.GetVersionInfo(&read, B_SYSTEM_VERSION_KIND), B_OK);
    EXPECT_EQ(read.major, 2u);
    EXPECT_EQ(read.internal, 3u);
    ASSERT_EQ(info.GetVersionInfo(&read, B_APP_VERSION_KIND), B_OK);
    EXPECT_EQ(read.major, 0u); // zero-filled when the record was first written
}

TEST(AppFileInfoTest, VersionRecordSizesAreChecked)
{
    SKIP_WITHOUT_XATTRS();
    std::string path = MakeTempFolder("appinfo") + "/plain.txt";
    storage_test::WriteFile(path, "just text, no resources");
    BFile file(path.c_str(), B_READ_WRITE);
    BAppFileInfo info(&file);
    version_info version;
    EXPECT_EQ(info.GetVersionInfo(&version, B_APP_VERSION_KIND), B_ENTRY_NOT_FOUND);

    uint8 single[340] = {};
    single[0] = 7;
    ASSERT_EQ(file.WriteAttr("BEOS:APP_VERSION", 'APPV', 0, single, sizeof(single)), 340);
    ASSERT_EQ(info.GetVersionInfo(&version, B_APP_VERSION_KIND), B_OK);
    EXPECT_EQ(version.major, 7u);
    ASSERT_EQ(info.GetVersionInfo(&version, B_SYSTEM_VERSION_KIND), B_OK);
    EXPECT_EQ(version.major, 0u);

    ASSERT_EQ(file.WriteAttr("BEOS:APP_VERSION", 'APPV', 0, single, 100), 100);
    EXPECT_EQ(info.GetVersionInfo(&version, B_APP_VERSION_KIND), B_ERROR);
    std::vector<uint8> big(700);
    ASSERT_EQ(file.WriteAttr("BEOS:APP_VERSION", 'APPV', 0, big.data(), big.size()), 700);
    EXPECT_EQ(info.GetVersionInfo(&version, B_APP_VERSION_KIND), B_BAD_VALUE);
    // An attribute of another type is not the version.
    ASSERT_EQ(file.WriteAttr("BEOS:APP_VERSION", B_RAW_TYPE, 0, single, 340), 340);
    EXPECT_EQ(info.GetVersionInfo(&version, B_APP_VERSION_KIND), B_ENTRY_NOT_FOUND);
}

TEST(AppFileInfoTest, SignatureFlagsAndSupportedTypes)
{
    SKIP_WITHOUT_XATTRS();
    std::string path = CopyOfElf();
    BFile file(path.c_str(), B_READ_WRITE);
    BAppFileInfo info(&file);
    ASSERT_EQ(info.SetSignature("application/x-vnd.Tarsel.Velk"), B_OK);
    char signature[B_MIME_TYPE_LENGTH];
    ASSERT_EQ(info.GetSignature(signature), B_OK);
    EXPECT_STREQ(signature, "application/x-vnd.Tarsel.Velk");
    EXPECT_EQ(info.SetSignature("not valid"), B_BAD_VALUE);

    ASSERT_EQ(info.SetAppFlags(0x5), B_OK);
    uint32 flags = 0;
    ASSERT_EQ(info.GetAppFlags(&flags), B_OK);
    EXPECT_EQ(flags, 0x5u);

    BMessage types;
    types.AddString("types", "text/x-velk");
    ASSERT_EQ(info.SetSupportedTypes(&types), B_OK);
    BMessage read;
    ASSERT_EQ(info.GetSupportedTypes(&read), B_OK);
    const char* type;
    ASSERT_EQ(read.FindString("types", &type), B_OK);
    EXPECT_STREQ(type, "text/x-velk");
    EXPECT_TRUE(info.IsSupportedType("TEXT/X-VELK"));
    EXPECT_FALSE(info.IsSupportedType("text/plain"));

    ASSERT_EQ(info.SetType(B_APP_MIME_TYPE), B_OK);
    char fileType[B_MIME_TYPE_LENGTH];
    ASSERT_EQ(info.GetType(fileType), B_OK);
    EXPECT_STREQ(fileType, B_APP_MIME_TYPE);
    BResources resources(&file);
    EXPECT_TRUE(resources.HasResource(B_MIME_STRING_TYPE, 2));
}

TEST(AppFileInfoTest, ReadOnlyFileKeepsItsResources)
{
    std::string path = CopyOfElf();
    std::string before = storage_test::ReadFile(path);
    BFile file(path.c_str(), B_READ_ONLY);
    BAppFileInfo info(&file);
    info.SetInfoLocation(B_USE_RESOURCES);
    uint32 flags = 1;
    EXPECT_NE(info.SetAppFlags(flags), B_OK);
    EXPECT_EQ(storage_test::ReadFile(path), before);
}

} // namespace
