// BResources on the real BeOS and Haiku files of testdata/haiku-data and on
// files it writes itself.

#include "Resources.h"

#include "ResourceFormat.h"
#include "ResourceTestSupport.h"

#include <TypeConstants.h>

#include <TestSandbox.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

using namespace brenvik::resources::test;

namespace {

struct ExpectedResource {
    type_code type;
    int32 id;
    const char* name;
    size_t size;
    // The whole data, or empty to check only the size.
    std::string data;
};

struct VectorFile {
    const char* file;
    std::vector<ExpectedResource> resources;
};

std::string Str(const char* text)
{
    return std::string(text, std::strlen(text) + 1);
}

const char kElfType[] = "application/x-vnd.Be-elfexecutable";

const std::vector<VectorFile> kVectorFiles = {
    { "x86.rsrc",
        {
            { 'CSTR', 74, "a string resource", 35, Str("I like strings, especially cellos.") },
            { 'LONG', 17, "just a resource", 4, std::string("\x2A\0\0\0", 4) },
            { 'MIMS', 29, "another resource", 31, Str("application/bread-roll-counter") },
        } },
    { "elf",
        {
            { 'CSTR', 74, "a string resource", 35, Str("I like strings, especially cellos.") },
            { 'LONG', 17, "just a resource", 4, std::string("\x2A\0\0\0", 4) },
            { 'MIMS', 29, "another resource", 31, Str("application/bread-roll-counter") },
            { 'MIMS', 2, "BEOS:TYPE", 35, Str(kElfType) },
        } },
    { "elf-no-res", { { 'MIMS', 2, "BEOS:TYPE", 35, Str(kElfType) } } },
    { "BMessengerTestApp1.rsrc",
        {
            { 'MIMS', 2, "BEOS:TYPE", 35, Str(kElfType) },
            { 'MIMS', 1, "BEOS:APP_SIG", 43, Str("application/x-vnd.obos-bmessenger-testapp1") },
            { 'APPV', 1, "BEOS:APP_VERSION", 680, std::string(680, '\0') },
            { 'APPF', 1, "BEOS:APP_FLAGS", 4, std::string("\1\0\0\0", 4) },
        } },
    { "Inspector.rsrc",
        {
            { 'APPF', 1, "BEOS:APP_FLAGS", 4, std::string("\1\0\0\0", 4) },
            { 'ICON', 101, "BEOS:L:STD_ICON", 1024, "" },
            { 'MICN', 101, "BEOS:M:STD_ICON", 256, "" },
            { 'MIMS', 1, "BEOS:APP_SIG", 33, Str("application/x-vnd.OBOS-Inspector") },
        } },
    { "reiserfs.rsrc",
        {
            { 'MIMS', 1, "BEOS:APP_SIG", 39, Str("application/x-vnd.yellowbites.reiserfs") },
            { 'MSGG', 1, "BEOS:FILE_TYPES", 18, "" },
            { 'APPV', 1, "BEOS:APP_VERSION", 680, "" },
        } },
    { "unzip.rsc",
        {
            { 'MIMS', 1, "BEOS:APP_SIG", 33, Str("application/x-vnd.Info-ZIP.UnZip") },
            { 'MSGG', 1, "BEOS:FILE_TYPES", 54, "" },
            { 'APPV', 1, "BEOS:APP_VERSION", 680, "" },
            { 'APPF', 1, "BEOS:APP_FLAGS", 4, std::string("\5\0\0\0", 4) },
        } },
};

class VectorFileTest : public testing::TestWithParam<VectorFile> { };

TEST_P(VectorFileTest, ListsEveryResourceInContainerOrder)
{
    const VectorFile& vector = GetParam();
    BResources resources;
    ASSERT_EQ(resources.SetTo(VectorPath(vector.file).c_str(), 0, false), B_OK);
    ASSERT_EQ(resources.InitCheck(), B_OK) << resources.ErrorText();
    ASSERT_EQ(resources.CountResources(), int32(vector.resources.size()));
    for (size_t i = 0; i < vector.resources.size(); i++) {
        const ExpectedResource& expected = vector.resources[i];
        type_code type;
        int32 id;
        const char* name;
        size_t size;
        ASSERT_TRUE(resources.GetResourceInfo(int32(i), &type, &id, &name, &size));
        EXPECT_EQ(type, expected.type) << i;
        EXPECT_EQ(id, expected.id) << i;
        EXPECT_STREQ(name, expected.name) << i;
        EXPECT_EQ(size, expected.size) << i;
    }
}

TEST_P(VectorFileTest, ReadsEveryResourceByIdAndByName)
{
    const VectorFile& vector = GetParam();
    BResources resources;
    ASSERT_EQ(resources.SetTo(VectorPath(vector.file).c_str(), 0, false), B_OK);
    ASSERT_EQ(resources.InitCheck(), B_OK) << resources.ErrorText();
    for (const ExpectedResource& expected : vector.resources) {
        size_t size = 0;
        const void* data = resources.LoadResource(expected.type, expected.id, &size);
        ASSERT_NE(data, nullptr) << expected.name;
        EXPECT_EQ(size, expected.size);
        if (!expected.data.empty()) {
            EXPECT_EQ(std::string(static_cast<const char*>(data), size), expected.data);
        }
        EXPECT_EQ(resources.LoadResource(expected.type, expected.name, &size), data);
        EXPECT_TRUE(resources.HasResource(expected.type, expected.name));
    }
}

INSTANTIATE_TEST_SUITE_P(HaikuData, VectorFileTest, testing::ValuesIn(kVectorFiles),
    [](const testing::TestParamInfo<VectorFile>& param) {
        std::string name = param.param.file;
        for (char& c : name) {
            if (!isalnum(uchar(c)))
                c = '_';
        }
        return name;
    });

TEST(ResourcesTest, RefusesBigEndianResourceFileWithClearStatus)
{
    BResources resources;
    EXPECT_EQ(resources.SetTo(VectorPath("ppc.rsrc").c_str(), 0, false), B_UNSUPPORTED);
    EXPECT_EQ(resources.InitCheck(), B_UNSUPPORTED);
    EXPECT_NE(std::string(resources.ErrorText()).find("x86"), std::string::npos);
    EXPECT_EQ(resources.CountResources(), 0);
    EXPECT_FALSE(resources.HasResource('CSTR', 74));
}

TEST(ResourcesTest, LooksUpByTypeAndIndexAndById)
{
    BResources resources;
    ASSERT_EQ(resources.SetTo(VectorPath("elf").c_str(), 0, false), B_OK);
    ASSERT_EQ(resources.InitCheck(), B_OK);
    int32 id;
    const char* name;
    size_t size;
    ASSERT_TRUE(resources.GetResourceInfo('MIMS', 1, &id, &name, &size));
    EXPECT_EQ(id, 2);
    EXPECT_STREQ(name, "BEOS:TYPE");
    EXPECT_FALSE(resources.GetResourceInfo('MIMS', 2, &id, &name, &size));
    ASSERT_TRUE(resources.GetResourceInfo('LONG', 17, &name, &size));
    EXPECT_STREQ(name, "just a resource");
    ASSERT_TRUE(resources.GetResourceInfo('CSTR', "a string resource", &id, &size));
    EXPECT_EQ(id, 74);
    EXPECT_EQ(size, 35u);
    // Names are case-sensitive.
    EXPECT_FALSE(resources.HasResource('CSTR', "A string resource"));
    EXPECT_FALSE(resources.HasResource('CSTR', 75));
}

TEST(ResourcesTest, FindsPointerOfLoadedResource)
{
    BResources resources;
    ASSERT_EQ(resources.SetTo(VectorPath("x86.rsrc").c_str(), 0, false), B_OK);
    const void* data = resources.LoadResource('LONG', 17, nullptr);
    type_code type;
    int32 id;
    size_t size;
    const char* name;
    ASSERT_TRUE(resources.GetResourceInfo(data, &type, &id, &size, &name));
    EXPECT_EQ(type, uint32('LONG'));
    EXPECT_EQ(id, 17);
    EXPECT_STREQ(name, "just a resource");
}

TEST(ResourcesTest, FindResourceReturnsMallocedCopy)
{
    BResources resources;
    ASSERT_EQ(resources.SetTo(VectorPath("x86.rsrc").c_str(), 0, false), B_OK);
    size_t size = 0;
    char* text = static_cast<char*>(resources.FindResource('CSTR', "a string resource", &size));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(size, 35u);
    EXPECT_STREQ(text, "I like strings, especially cellos.");
    std::free(text);
    EXPECT_EQ(resources.FindResource('CSTR', 99, &size), nullptr);
}

TEST(ResourcesTest, ReadsPartOfResourceAndShortensPastTheEnd)
{
    BResources resources;
    ASSERT_EQ(resources.SetTo(VectorPath("x86.rsrc").c_str(), 0, false), B_OK);
    char buffer[16] = {};
    ASSERT_EQ(resources.ReadResource('CSTR', 74, buffer, 2, 4), B_OK);
    EXPECT_EQ(std::string(buffer, 4), "like");
    std::memset(buffer, 'x', sizeof(buffer));
    ASSERT_EQ(resources.ReadResource('CSTR', 74, buffer, 30, 10), B_OK);
    EXPECT_EQ(std::string(buffer, 6), std::string("los.\0x", 6));
    EXPECT_EQ(resources.ReadResource('CSTR', 1, buffer, 0, 1), B_BAD_VALUE);
}

TEST(ResourcesTest, UnboundObjectFindsNothing)
{
    BResources resources;
    EXPECT_EQ(resources.InitCheck(), B_NO_INIT);
    EXPECT_FALSE(resources.HasResource('CSTR', 1));
    EXPECT_EQ(resources.LoadResource('CSTR', 1, nullptr), nullptr);
    EXPECT_EQ(resources.AddResource('CSTR', 1, "x", 1), B_NO_INIT);
    EXPECT_EQ(resources.Sync(), B_NO_INIT);
}

TEST(ResourcesTest, MissingFileReportsEntryNotFound)
{
    BResources resources("/nonexistent/file.rsrc");
    EXPECT_EQ(resources.InitCheck(), B_ENTRY_NOT_FOUND);
    EXPECT_NE(std::string(resources.ErrorText()), "");
}

TEST(ResourcesTest, FileOfAnotherKindIsNotAResourceFile)
{
    std::string path = brenvik::test::MakeTempFolder() + "/text";
    WriteFileBytes(path, Bytes("hello, world\n"));
    BResources resources(path.c_str());
    EXPECT_EQ(resources.InitCheck(), B_BAD_TYPE);
    EXPECT_EQ(ReadFileBytes(path), Bytes("hello, world\n"));
}

TEST(ResourcesTest, FolderIsNotAResourceFile)
{
    BResources resources(brenvik::test::MakeTempFolder().c_str());
    EXPECT_EQ(resources.InitCheck(), B_IS_A_DIRECTORY);
    ASSERT_EQ(resources.SetTo(brenvik::test::MakeTempFolder().c_str(), 0, false), B_BAD_TYPE);
}

TEST(ResourcesTest, DamagedResourceFileMagicHoldsNoResources)
{
    std::string path = brenvik::test::MakeTempFolder() + "/damaged";
    std::vector<uint8> bytes = ReadFileBytes(VectorPath("x86.rsrc"));
    bytes[2] = 'X';
    WriteFileBytes(path, bytes);
    BResources resources(path.c_str());
    ASSERT_EQ(resources.InitCheck(), B_OK);
    EXPECT_EQ(resources.CountResources(), 0);
}

TEST(ResourcesTest, RunningExecutableIsReadableAndRefusesChangesQuietly)
{
    BResources resources;
    ASSERT_EQ(resources.SetTo("/proc/self/exe", 2, false), B_OK) << resources.ErrorText();
    EXPECT_EQ(resources.CountResources(), 0);
    int fd = open("/proc/self/exe", O_RDWR);
    if (fd >= 0) {
        close(fd);
        GTEST_SKIP() << "this kernel lets a running program be opened for writing";
    }
    EXPECT_FALSE(resources.IsWritable());
    EXPECT_EQ(resources.AddResource('CSTR', 1, "x", 2), B_NOT_ALLOWED);
}

TEST(ResourcesTest, ReadOnlyBindingRefusesChanges)
{
    BResources resources;
    ASSERT_EQ(resources.SetTo(VectorPath("x86.rsrc").c_str(), 0, false), B_OK);
    EXPECT_FALSE(resources.IsWritable());
    EXPECT_EQ(resources.AddResource('CSTR', 1, "x", 2), B_NOT_ALLOWED);
    EXPECT_EQ(resources.RemoveResource('CSTR', 74), B_NOT_ALLOWED);
    EXPECT_EQ(resources.WriteResource('CSTR', 74, "x", 0, 1), B_NOT_ALLOWED);
    EXPECT_EQ(resources.SetTo(VectorPath("x86.rsrc").c_str(), 0, true), B_NOT_ALLOWED);
}

} // namespace
