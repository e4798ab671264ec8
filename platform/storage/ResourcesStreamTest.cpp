// Resources whose data a writer streams straight into the file: they land in
// place, the container stays valid around them, and a failed writer leaves
// the file as it was.

#include "Resources.h"

#include "ResourceContainer.h"
#include "ResourceIO.h"
#include "ResourceLocation.h"
#include "ResourceReader.h"
#include "ResourceTestSupport.h"

#include <DataIO.h>
#include <TestSandbox.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <vector>

using namespace BPrivate;
using namespace brenvik::resources::test;

namespace {

// Writes text in pieces, out of order, as an archive writer does when it
// goes back to complete a header.
status_t WritePieces(BPositionIO& data, const std::string& text)
{
    size_t half = text.size() / 2;
    status_t status = data.WriteAtExactly(off_t(half), text.data() + half, text.size() - half);
    if (status == B_OK)
        status = data.WriteAtExactly(0, text.data(), half);
    return status;
}

std::string Resource(BResources& resources, int32 id)
{
    size_t size = 0;
    const void* data = resources.LoadResource('RAWT', id, &size);
    return data != nullptr ? std::string(static_cast<const char*>(data), size) : "(none)";
}

// Every rule of the format, checked by the container reader alone.
int32 CountReadBack(const std::string& path)
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
    return container.CountItems();
}

TEST(ResourcesStreamTest, StreamedDataLandInPlaceAmongOtherResources)
{
    std::string path = CopyOfVector("elf-no-res");
    std::string big(3 * 1024 * 1024 + 17, 'b');
    {
        BResources resources(path.c_str());
        ASSERT_EQ(resources.AddResource('CSTR', 1, "before", 7, "first"), B_OK);
        ASSERT_EQ(resources.AddStreamedResource('RAWT', 2100, "one",
                      [&](BPositionIO& data) { return WritePieces(data, big); }),
            B_OK)
            << resources.ErrorText();
        ASSERT_EQ(resources.AddStreamedResource('RAWT', 2101, "two",
                      [](BPositionIO& data) { return WritePieces(data, "second item"); }),
            B_OK);
        ASSERT_EQ(resources.AddResource('CSTR', 2, "after", 6, "last"), B_OK);
        EXPECT_EQ(Resource(resources, 2100), big);
    }
    EXPECT_EQ(CountReadBack(path), 5);
    BResources resources(path.c_str());
    EXPECT_EQ(Resource(resources, 2100), big);
    EXPECT_EQ(Resource(resources, 2101), "second item");
    const char* name = nullptr;
    ASSERT_TRUE(resources.GetResourceInfo('RAWT', 2101, &name, nullptr));
    EXPECT_STREQ(name, "two");
}

TEST(ResourcesStreamTest, TheStreamsSizeEndsTheData)
{
    std::string path = brenvik::test::MakeTempFolder() + "/resources";
    WriteFileBytes(path, {});
    {
        BResources resources(path.c_str(), true);
        ASSERT_EQ(resources.AddStreamedResource('RAWT', 2100, "cut",
                      [](BPositionIO& data) {
                          status_t status = data.WriteAtExactly(0, "keep and drop", 13);
                          return status == B_OK ? data.SetSize(4) : status;
                      }),
            B_OK);
    }
    BResources resources(path.c_str());
    EXPECT_EQ(Resource(resources, 2100), "keep");
    EXPECT_EQ(CountReadBack(path), 1);
}

TEST(ResourcesStreamTest, AFailedWriterKeepsWhatItWouldHaveReplaced)
{
    std::string path = CopyOfVector("elf-no-res");
    {
        BResources resources(path.c_str());
        ASSERT_EQ(resources.AddResource('RAWT', 2100, "old", 3, "item"), B_OK);
    }
    size_t before = ReadFileBytes(path).size();
    int32 count = CountReadBack(path);
    {
        BResources resources(path.c_str());
        status_t status
            = resources.AddStreamedResource('RAWT', 2100, "item", [](BPositionIO& data) {
                  data.WriteAtExactly(0, std::string(100000, 'x').data(), 100000);
                  return B_IO_ERROR;
              });
        EXPECT_EQ(status, B_IO_ERROR);
        EXPECT_EQ(Resource(resources, 2100), "old");
    }
    // The partial data were cut off again.
    EXPECT_EQ(CountReadBack(path), count);
    EXPECT_EQ(ReadFileBytes(path).size(), before);
    BResources resources(path.c_str());
    EXPECT_EQ(Resource(resources, 2100), "old");
}

// The container's offsets are 32-bit: data that would pass 4 GiB are
// refused, saying so, whichever way the writer tries to go past (a write
// or a size), and the file is left as it was. Nothing large is written:
// the writer asks for a place past the limit at once.
class ResourcesPastTheLimitTest : public testing::TestWithParam<bool> { };

TEST_P(ResourcesPastTheLimitTest, AreRefusedNamingTheLimit)
{
    bool bySize = GetParam();
    std::string path = CopyOfVector("elf-no-res");
    {
        BResources resources(path.c_str());
        ASSERT_EQ(resources.AddResource('CSTR', 1, "kept", 5, "kept"), B_OK);
    }
    size_t before = ReadFileBytes(path).size();
    int32 count = CountReadBack(path);
    {
        BResources resources(path.c_str());
        status_t status
            = resources.AddStreamedResource('RAWT', 2100, "huge", [bySize](BPositionIO& data) {
                  const off_t past = off_t(1) << 32;
                  if (bySize)
                      return data.SetSize(past);
                  return data.WriteAtExactly(past - 2, "xyz", 3);
              });
        EXPECT_EQ(status, B_BUFFER_OVERFLOW);
        EXPECT_NE(std::string(resources.ErrorText()).find("4 GiB"), std::string::npos)
            << resources.ErrorText();
    }
    EXPECT_EQ(ReadFileBytes(path).size(), before);
    EXPECT_EQ(CountReadBack(path), count);
}

INSTANTIATE_TEST_SUITE_P(Ways, ResourcesPastTheLimitTest, testing::Bool());

TEST(ResourcesStreamTest, AReadOnlyFileRefusesAtOnce)
{
    std::string path = CopyOfVector("elf-no-res");
    BResources resources;
    ASSERT_EQ(resources.SetTo(path.c_str(), 0, false), B_OK);
    bool called = false;
    EXPECT_EQ(resources.AddStreamedResource('RAWT', 2100, "x",
                  [&called](BPositionIO&) {
                      called = true;
                      return B_OK;
                  }),
        B_NOT_ALLOWED);
    EXPECT_FALSE(called);
}

} // namespace
