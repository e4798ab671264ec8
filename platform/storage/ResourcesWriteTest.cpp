// Writing resources: the platform's layout byte for byte, ELF files kept
// intact, and changes that move item data around.

#include "Resources.h"

#include "ResourceContainer.h"
#include "ResourceFormat.h"
#include "ResourceIO.h"
#include "ResourceLocation.h"
#include "ResourceReader.h"
#include "ResourceTestSupport.h"

#include <File.h>
#include <TestSandbox.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <random>
#include <string>
#include <vector>

using namespace BPrivate;
using namespace brenvik::resources::test;

namespace {

const char kCello[] = "I like strings, especially cellos.";
const char kBread[] = "application/bread-roll-counter";
const char kElfMimeType[] = "application/x-vnd.Be-elfexecutable";
const int32 kFortyTwo = 42;

void AddX86Resources(BResources& resources)
{
    ASSERT_EQ(resources.AddResource('CSTR', 74, kCello, sizeof(kCello), "a string resource"), B_OK);
    ASSERT_EQ(resources.AddResource('LONG', 17, &kFortyTwo, 4, "just a resource"), B_OK);
    ASSERT_EQ(resources.AddResource('MIMS', 29, kBread, sizeof(kBread), "another resource"), B_OK);
}

std::vector<uint8> RandomBytes(std::mt19937& random, size_t size)
{
    std::vector<uint8> bytes(size);
    for (size_t i = 0; i < size; i += 4) {
        uint32 word = uint32(random());
        std::memcpy(bytes.data() + i, &word, std::min<size_t>(4, size - i));
    }
    return bytes;
}

// Reads a file back with the container reader alone, which checks every rule
// of the format (index, filler, info table and its checksum).
ResourceContainer ReadBack(const std::string& path, off_t* containerOffset = nullptr)
{
    ResourceFdIO io(open(path.c_str(), O_RDONLY | O_CLOEXEC), false, true);
    ResourceFileLayout layout;
    std::string error;
    ResourceContainer container;
    EXPECT_EQ(LocateResourceContainer(io, &layout, &error), B_OK) << error;
    EXPECT_EQ(
        ReadResourceContainer(io, layout.containerOffset, layout.fileSize, &container, &error),
        B_OK)
        << error;
    if (containerOffset != nullptr)
        *containerOffset = layout.containerOffset;
    return container;
}

TEST(ResourcesWriteTest, NewResourceFileMatchesPlatformFileByteForByte)
{
    std::string path = brenvik::test::MakeTempFolder() + "/new.rsrc";
    WriteFileBytes(path, {});
    {
        BResources resources(path.c_str());
        ASSERT_EQ(resources.InitCheck(), B_OK) << resources.ErrorText();
        AddX86Resources(resources);
        ASSERT_EQ(resources.Sync(), B_OK) << resources.ErrorText();
    }
    EXPECT_EQ(ReadFileBytes(path), ReadFileBytes(VectorPath("x86.rsrc")));
}

TEST(ResourcesWriteTest, RebuiltElfResourcesMatchPlatformFileByteForByte)
{
    std::string path = CopyOfVector("elf-no-res");
    {
        BResources resources(path.c_str());
        ASSERT_EQ(resources.InitCheck(), B_OK) << resources.ErrorText();
        ASSERT_EQ(resources.RemoveResource('MIMS', 2), B_OK);
        AddX86Resources(resources);
        ASSERT_EQ(resources.AddResource('MIMS', 2, kElfMimeType, sizeof(kElfMimeType), "BEOS:TYPE"),
            B_OK);
    }
    EXPECT_EQ(ReadFileBytes(path), ReadFileBytes(VectorPath("elf")));
}

TEST(ResourcesWriteTest, ClobberingMakesEmptyResourceFileOf1984Bytes)
{
    std::string path = brenvik::test::MakeTempFolder() + "/text";
    WriteFileBytes(path, Bytes("not resources at all"));
    BResources resources(path.c_str(), true);
    ASSERT_EQ(resources.InitCheck(), B_OK) << resources.ErrorText();
    EXPECT_EQ(resources.CountResources(), 0);
    std::vector<uint8> bytes = ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), 1984u);
    EXPECT_EQ(std::memcmp(bytes.data(), "RS\0\0", 4), 0);
    EXPECT_EQ(ReadBack(path).CountItems(), 0);
}

TEST(ResourcesWriteTest, ClobberingElfKeepsElfPart)
{
    std::string path = CopyOfVector("elf");
    std::vector<uint8> before = ReadFileBytes(path);
    BResources resources(path.c_str(), true);
    ASSERT_EQ(resources.InitCheck(), B_OK);
    EXPECT_EQ(resources.CountResources(), 0);
    std::vector<uint8> after = ReadFileBytes(path);
    ASSERT_EQ(after.size(), 4096u + 1964 + 16);
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + 4096, after.begin()));
}

TEST(ResourcesWriteTest, AddingToElfKeepsElfPartIntact)
{
    std::string path = CopyOfVector("elf-no-res");
    std::vector<uint8> before = ReadFileBytes(path);
    {
        BResources resources(path.c_str());
        ASSERT_EQ(resources.AddResource('RAWT', 2100, "payload", 7, "tips"), B_OK);
    }
    std::vector<uint8> after = ReadFileBytes(path);
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + 4096, after.begin()));
    off_t containerOffset = 0;
    ResourceContainer container = ReadBack(path, &containerOffset);
    EXPECT_EQ(containerOffset, 4096);
    ASSERT_EQ(container.CountItems(), 2);
    EXPECT_EQ(container.ItemAt(1)->name, "tips");
}

// A 64-bit Linux program: the container goes after the ELF content at an
// alignment of 8, and every byte of the program stays as it was.
TEST(ResourcesWriteTest, AddingToLinuxProgramKeepsItIntact)
{
    std::string path = brenvik::test::MakeTempFolder() + "/program";
    std::vector<uint8> program = ReadFileBytes("/proc/self/exe");
    WriteFileBytes(path, program);
    {
        BResources resources(path.c_str());
        ASSERT_EQ(resources.InitCheck(), B_OK) << resources.ErrorText();
        EXPECT_EQ(resources.CountResources(), 0);
        ASSERT_EQ(resources.AddResource('CSTR', 2002, "config", 7, "BVC:configuration"), B_OK);
    }
    std::vector<uint8> after = ReadFileBytes(path);
    ASSERT_GT(after.size(), program.size());
    EXPECT_TRUE(std::equal(program.begin(), program.end(), after.begin()));
    off_t containerOffset = 0;
    ResourceContainer container = ReadBack(path, &containerOffset);
    EXPECT_EQ(containerOffset, off_t((program.size() + 7) / 8 * 8));
    EXPECT_EQ(container.CountItems(), 1);
}

TEST(ResourcesWriteTest, WrittenContainerReadsBackWithEveryDetail)
{
    std::mt19937 random(1234);
    std::string path = brenvik::test::MakeTempFolder() + "/many.rsrc";
    WriteFileBytes(path, {});
    std::vector<std::vector<uint8>> data;
    const type_code types[] = { 'CSTR', 'RAWT', 'CSTR', 'LONG', 'BBMP' };
    {
        BResources resources(path.c_str());
        for (int32 i = 0; i < 40; i++) {
            data.push_back(RandomBytes(random, random() % 300));
            std::string name = i % 3 == 0 ? "" : "name " + std::to_string(i);
            const void* bytes
                = data.back().empty() ? "" : static_cast<const void*>(data.back().data());
            ASSERT_EQ(
                resources.AddResource(types[i % 5], i, bytes, data.back().size(), name.c_str()),
                B_OK);
        }
    }
    ResourceContainer container = ReadBack(path);
    ASSERT_EQ(container.CountItems(), 40);
    BResources resources(path.c_str());
    for (int32 i = 0; i < 40; i++) {
        const ResourceItem& item = *container.ItemAt(i);
        EXPECT_EQ(item.type, types[i % 5]);
        EXPECT_EQ(item.id, i);
        EXPECT_EQ(item.name, i % 3 == 0 ? "" : "name " + std::to_string(i));
        size_t size;
        const uint8* bytes = static_cast<const uint8*>(resources.LoadResource(item.type, i, &size));
        ASSERT_NE(bytes, nullptr);
        EXPECT_EQ(std::vector<uint8>(bytes, bytes + size), data[size_t(i)]);
    }
}

TEST(ResourcesWriteTest, ReplacedResourceMovesToTheEnd)
{
    std::string path = CopyOfVector("x86.rsrc");
    {
        BResources resources(path.c_str());
        ASSERT_EQ(resources.AddResource('CSTR', 74, "new", 4, "renamed"), B_OK);
    }
    BResources resources(path.c_str());
    ASSERT_EQ(resources.CountResources(), 3);
    type_code type;
    int32 id;
    const char* name;
    size_t size;
    ASSERT_TRUE(resources.GetResourceInfo(2, &type, &id, &name, &size));
    EXPECT_EQ(type, uint32('CSTR'));
    EXPECT_EQ(id, 74);
    EXPECT_STREQ(name, "renamed");
    EXPECT_STREQ(static_cast<const char*>(resources.LoadResource('CSTR', 74, nullptr)), "new");
    EXPECT_EQ(*static_cast<const int32*>(resources.LoadResource('LONG', 17, nullptr)), 42);
}

TEST(ResourcesWriteTest, WriteResourceExtendsInChunks)
{
    std::mt19937 random(7);
    std::vector<uint8> payload = RandomBytes(random, 100000);
    std::string path = CopyOfVector("x86.rsrc");
    {
        BResources resources(path.c_str());
        ASSERT_EQ(resources.AddResource('RAWT', 2100, payload.data(), 8192, "tips"), B_OK);
        for (size_t offset = 8192; offset < payload.size(); offset += 8192) {
            size_t length = std::min<size_t>(8192, payload.size() - offset);
            ASSERT_EQ(resources.WriteResource(
                          'RAWT', 2100, payload.data() + offset, off_t(offset), length),
                B_OK);
        }
    }
    BResources resources(path.c_str());
    size_t size;
    const uint8* bytes = static_cast<const uint8*>(resources.LoadResource('RAWT', 2100, &size));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::vector<uint8>(bytes, bytes + size), payload);
}

TEST(ResourcesWriteTest, WriteResourcePastTheEndFillsGapWithZeros)
{
    std::string path = CopyOfVector("x86.rsrc");
    BResources resources(path.c_str());
    ASSERT_EQ(resources.WriteResource('LONG', 17, "ab", 6, 2), B_OK);
    size_t size;
    const char* bytes = static_cast<const char*>(resources.LoadResource('LONG', 17, &size));
    EXPECT_EQ(std::string(bytes, size), std::string("\x2A\0\0\0\0\0ab", 8));
    EXPECT_EQ(resources.WriteResource('LONG', 18, "ab", 0, 2), B_BAD_VALUE);
    EXPECT_EQ(resources.WriteResource('LONG', 17, "ab", -1, 2), B_BAD_VALUE);
}

// Removing the first resource moves a large one down: it must travel through
// the spool file, not overwrite itself, and never be loaded whole.
TEST(ResourcesWriteTest, RemovingFirstResourceMovesLargeDataSafely)
{
    std::mt19937 random(99);
    std::vector<uint8> large = RandomBytes(random, 9 * 1024 * 1024 + 17);
    std::string path = CopyOfVector("x86.rsrc");
    {
        BResources resources(path.c_str());
        ASSERT_EQ(resources.AddResource('RAWT', 2100, large.data(), large.size(), "big"), B_OK);
    }
    {
        BResources resources(path.c_str());
        ASSERT_EQ(resources.RemoveResource('CSTR', 74), B_OK);
        ASSERT_EQ(resources.RemoveResource('LONG', 17), B_OK);
        ASSERT_EQ(resources.Sync(), B_OK) << resources.ErrorText();
    }
    ResourceContainer container = ReadBack(path);
    ASSERT_EQ(container.CountItems(), 2);
    BResources resources(path.c_str());
    size_t size;
    const uint8* bytes = static_cast<const uint8*>(resources.LoadResource('RAWT', 2100, &size));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::vector<uint8>(bytes, bytes + size), large);
    EXPECT_STREQ(static_cast<const char*>(resources.LoadResource('MIMS', 29, nullptr)), kBread);
}

TEST(ResourcesWriteTest, ManyResourcesGrowTheIndexSection)
{
    std::string path = CopyOfVector("x86.rsrc");
    {
        BResources resources(path.c_str());
        for (int32 i = 0; i < 200; i++) {
            std::string text = "string " + std::to_string(i);
            ASSERT_EQ(resources.AddResource('CSTR', 1000 + i, text.c_str(), text.size() + 1), B_OK);
        }
    }
    ResourceContainer container = ReadBack(path);
    ASSERT_EQ(container.CountItems(), 203);
    EXPECT_EQ(container.ItemAt(0)->offset, off_t(DataSectionOffset(203)));
    BResources resources(path.c_str());
    EXPECT_STREQ(
        static_cast<const char*>(resources.LoadResource('CSTR', 1199, nullptr)), "string 199");
    EXPECT_STREQ(static_cast<const char*>(resources.LoadResource('CSTR', 74, nullptr)), kCello);
}

TEST(ResourcesWriteTest, SameTypeInSeparateRunsKeepsOrder)
{
    std::string path = brenvik::test::MakeTempFolder() + "/runs.rsrc";
    WriteFileBytes(path, {});
    {
        BResources resources(path.c_str());
        ASSERT_EQ(resources.AddResource('CSTR', 1, "a", 2), B_OK);
        ASSERT_EQ(resources.AddResource('LONG', 2, &kFortyTwo, 4), B_OK);
        ASSERT_EQ(resources.AddResource('CSTR', 3, "", 0, "empty"), B_OK);
    }
    ResourceContainer container = ReadBack(path);
    ASSERT_EQ(container.CountItems(), 3);
    EXPECT_EQ(container.ItemAt(2)->type, uint32('CSTR'));
    EXPECT_EQ(container.ItemAt(2)->size, 0u);
    BResources resources(path.c_str());
    size_t size = 1;
    EXPECT_NE(resources.LoadResource('CSTR', 3, &size), nullptr);
    EXPECT_EQ(size, 0u);
}

TEST(ResourcesWriteTest, UnchangedFileIsNotRewritten)
{
    std::string path = CopyOfVector("unzip.rsc");
    {
        BResources resources(path.c_str());
        ASSERT_NE(resources.LoadResource('APPV', 1, nullptr), nullptr);
        ASSERT_EQ(resources.Sync(), B_OK);
    }
    EXPECT_EQ(ReadFileBytes(path), ReadFileBytes(VectorPath("unzip.rsc")));
}

TEST(ResourcesWriteTest, MergeFromAddsAndReplaces)
{
    std::string path = CopyOfVector("elf-no-res");
    {
        BResources resources(path.c_str());
        ASSERT_EQ(resources.AddResource('CSTR', 74, "old", 4), B_OK);
        ASSERT_EQ(resources.MergeFrom(VectorPath("x86.rsrc").c_str()), B_OK);
    }
    BResources resources(path.c_str());
    EXPECT_EQ(resources.CountResources(), 4);
    EXPECT_STREQ(static_cast<const char*>(resources.LoadResource('CSTR', 74, nullptr)), kCello);
    EXPECT_TRUE(resources.HasResource('MIMS', "BEOS:TYPE"));
}

TEST(ResourcesWriteTest, WriteToCopiesEverythingAndRebinds)
{
    std::string folder = brenvik::test::MakeTempFolder();
    std::string target = folder + "/copy.rsrc";
    BResources resources;
    ASSERT_EQ(resources.SetTo(VectorPath("Inspector.rsrc").c_str(), 0, false), B_OK);
    ASSERT_EQ(resources.WriteTo(target.c_str()), B_OK) << resources.ErrorText();
    EXPECT_TRUE(resources.IsWritable());
    ASSERT_EQ(resources.AddResource('CSTR', 5, "x", 2), B_OK);
    ASSERT_EQ(resources.Sync(), B_OK);
    BResources copy(target.c_str());
    ASSERT_EQ(copy.CountResources(), 5);
    size_t size;
    const void* icon = copy.LoadResource('ICON', 101, &size);
    BResources original;
    ASSERT_EQ(original.SetTo(VectorPath("Inspector.rsrc").c_str(), 0, false), B_OK);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(std::memcmp(icon, original.LoadResource('ICON', 101, nullptr), 1024), 0);
}

TEST(ResourcesFileTest, KeepsItsOwnCopyOfTheFile)
{
    std::string path = CopyOfVector("x86.rsrc");
    BResources resources;
    {
        BFile file(path.c_str(), B_READ_WRITE);
        ASSERT_EQ(file.InitCheck(), B_OK);
        ASSERT_EQ(resources.SetTo(&file), B_OK) << resources.ErrorText();
    }
    EXPECT_TRUE(resources.IsWritable());
    ASSERT_EQ(resources.AddResource('CSTR', 2002, "config", 7, "BVC:configuration"), B_OK);
    ASSERT_EQ(resources.Sync(), B_OK);
    BFile file(path.c_str(), B_READ_ONLY);
    BResources again(&file);
    EXPECT_EQ(again.CountResources(), 4);
    EXPECT_FALSE(again.IsWritable());
    EXPECT_EQ(again.AddResource('CSTR', 1, "x", 2), B_NOT_ALLOWED);
}

TEST(ResourcesFileTest, UnopenedFileIsRefused)
{
    BFile file;
    BResources resources;
    EXPECT_EQ(resources.SetTo(&file), B_NO_INIT);
    EXPECT_STREQ(resources.ErrorText(), "the file is not open");
    EXPECT_EQ(resources.SetTo(static_cast<const BFile*>(nullptr)), B_BAD_VALUE);
}

// A running program cannot be opened for writing; the BFile already fails,
// and binding to it says why.
TEST(ResourcesFileTest, RunningProgramOpenedForWritingIsExplained)
{
    BFile file("/proc/self/exe", B_READ_WRITE);
    if (file.InitCheck() == B_OK)
        GTEST_SKIP() << "this kernel lets a running program be opened for writing";
    BResources resources;
    EXPECT_EQ(resources.SetTo(&file), B_BUSY);
    EXPECT_NE(std::string(resources.ErrorText()).find("text file busy"), std::string::npos);
}

TEST(ResourcesFileTest, ClobberingThroughBFileEmptiesTheResources)
{
    std::string path = CopyOfVector("x86.rsrc");
    BFile file(path.c_str(), B_READ_WRITE);
    BResources resources(&file, true);
    ASSERT_EQ(resources.InitCheck(), B_OK);
    EXPECT_EQ(resources.CountResources(), 0);
    EXPECT_EQ(ReadFileBytes(path).size(), 1984u);
}

TEST(ResourcesFileTest, MergesFromAndWritesToFiles)
{
    std::string path = CopyOfVector("elf-no-res");
    std::string target = brenvik::test::MakeTempFolder() + "/target.rsrc";
    BResources resources(path.c_str());
    BFile source(VectorPath("x86.rsrc").c_str(), B_READ_ONLY);
    ASSERT_EQ(resources.MergeFrom(&source), B_OK);
    BFile output(target.c_str(), B_READ_WRITE | B_CREATE_FILE);
    ASSERT_EQ(resources.WriteTo(&output), B_OK) << resources.ErrorText();
    BResources copy(target.c_str());
    EXPECT_EQ(copy.CountResources(), 4);
    EXPECT_STREQ(static_cast<const char*>(copy.LoadResource('CSTR', 74, nullptr)), kCello);
}

TEST(ResourcesFileTest, WriteOnlyTargetIsNotDestroyed)
{
    std::string elf = CopyOfVector("elf");
    std::vector<uint8> before = ReadFileBytes(elf);
    BResources resources;
    ASSERT_EQ(resources.SetTo(VectorPath("x86.rsrc").c_str(), 0, false), B_OK);
    BFile output(elf.c_str(), B_WRITE_ONLY);
    EXPECT_NE(resources.WriteTo(&output), B_OK);
    EXPECT_EQ(ReadFileBytes(elf), before);
}

} // namespace
