#include <DataIO.h>

#include <algorithm>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

// A stream that hands out its data a few bytes at a time, as pipes and
// sockets do.
class TrickleIO : public BDataIO {
public:
    explicit TrickleIO(std::string data)
        : fData(std::move(data))
    {
    }

    ssize_t Read(void* buffer, size_t size) override
    {
        size_t count = std::min({ size, size_t(3), fData.size() - fPosition });
        std::memcpy(buffer, fData.data() + fPosition, count);
        fPosition += count;
        return ssize_t(count);
    }

private:
    std::string fData;
    size_t fPosition = 0;
};

TEST(DataIOTest, ReadExactlyCollectsShortReadsAndReportsAnEarlyEnd)
{
    TrickleIO stream("0123456789");
    char buffer[8] = {};
    size_t got = 0;
    ASSERT_EQ(B_OK, stream.ReadExactly(buffer, 7, &got));
    EXPECT_EQ(7u, got);
    EXPECT_EQ(0, std::memcmp(buffer, "0123456", 7));
    EXPECT_EQ(B_PARTIAL_READ, stream.ReadExactly(buffer, 5, &got));
    EXPECT_EQ(3u, got);
}

TEST(DataIOTest, AStreamThatCannotWriteSaysSo)
{
    TrickleIO stream("abc");
    EXPECT_EQ(B_NOT_SUPPORTED, stream.Write("x", 1));
    EXPECT_EQ(B_NOT_SUPPORTED, stream.WriteExactly("x", 1));
}

TEST(MemoryIOTest, ReadsAndSeeksWithinTheBuffer)
{
    const char data[] = "hello world";
    BMemoryIO stream(data, 11);
    char buffer[16] = {};
    EXPECT_EQ(5, stream.Read(buffer, 5));
    EXPECT_EQ(5, stream.Position());
    EXPECT_EQ(6, stream.Seek(1, SEEK_CUR));
    EXPECT_EQ(5, stream.Read(buffer, 16));
    EXPECT_EQ(0, std::memcmp(buffer, "world", 5));
    EXPECT_EQ(0, stream.Read(buffer, 16));
    EXPECT_EQ(3, stream.ReadAt(8, buffer, 10));
    EXPECT_EQ(9, stream.Seek(-2, SEEK_END));
    EXPECT_EQ(B_BAD_VALUE, stream.Seek(-1, SEEK_SET));
    EXPECT_EQ(9, stream.Position());
    off_t size = 0;
    ASSERT_EQ(B_OK, stream.GetSize(&size));
    EXPECT_EQ(11, size);
}

TEST(MemoryIOTest, ReadOnlyBuffersRefuseWrites)
{
    const char data[] = "fixed";
    BMemoryIO stream(data, 5);
    EXPECT_EQ(B_NOT_ALLOWED, stream.WriteAt(0, "x", 1));
    EXPECT_EQ(B_NOT_ALLOWED, stream.SetSize(2));
    EXPECT_STREQ("fixed", data);
}

TEST(MemoryIOTest, WritesNeverGoPastTheBuffer)
{
    char data[8] = "abcdefg";
    BMemoryIO stream(data, 4);
    ASSERT_EQ(B_OK, stream.SetSize(2));
    EXPECT_EQ(3, stream.WriteAt(1, "XYZW", 4));
    EXPECT_EQ(0, stream.WriteAt(4, "Q", 1));
    EXPECT_EQ(0, std::memcmp(data, "aXYZefg", 8));
    off_t size = 0;
    ASSERT_EQ(B_OK, stream.GetSize(&size));
    EXPECT_EQ(4, size);
    EXPECT_EQ(B_BAD_VALUE, stream.SetSize(5));
}

TEST(MallocIOTest, GrowsAndFillsGapsWithZeros)
{
    BMallocIO stream;
    stream.SetBlockSize(4);
    EXPECT_EQ(nullptr, stream.Buffer());
    EXPECT_EQ(3, stream.Write("abc", 3));
    EXPECT_EQ(2, stream.WriteAt(6, "xy", 2));
    ASSERT_EQ(8u, stream.BufferLength());
    EXPECT_EQ(0, std::memcmp(stream.Buffer(), "abc\0\0\0xy", 8));

    ASSERT_EQ(B_OK, stream.SetSize(2));
    ASSERT_EQ(B_OK, stream.SetSize(5));
    EXPECT_EQ(0, std::memcmp(stream.Buffer(), "ab\0\0\0", 5));
    char buffer[8];
    EXPECT_EQ(5, stream.ReadAt(0, buffer, 8));
    EXPECT_EQ(B_BAD_VALUE, stream.SetSize(-1));
}

TEST(MallocIOTest, SequentialWritesFollowThePosition)
{
    BMallocIO stream;
    for (int i = 0; i < 1000; i++)
        ASSERT_EQ(4, stream.Write("1234", 4));
    EXPECT_EQ(4000u, stream.BufferLength());
    EXPECT_EQ(4000, stream.Position());
    EXPECT_EQ(0, stream.Seek(0, SEEK_SET));
    std::string all(4000, '\0');
    ASSERT_EQ(B_OK, stream.ReadExactly(all.data(), all.size()));
    EXPECT_EQ("1234", all.substr(3996));
}

} // namespace
