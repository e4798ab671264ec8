// The zip reader on archives that libzip does not write for the tests:
// Zip64 records (sizes and offsets in the Zip64 extra field, the entry
// count in the Zip64 end record), and what it refuses when those lie.

#include "ZipReader.h"
#include "ZipByteSource.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

using namespace BPrivate;

namespace {

void Put(std::vector<uint8>* bytes, uint64 value, int count)
{
    for (int i = 0; i < count; i++)
        bytes->push_back(uint8(value >> (8 * i)));
}

void PutText(std::vector<uint8>* bytes, const std::string& text)
{
    bytes->insert(bytes->end(), text.begin(), text.end());
}

struct Zip64Options {
    // Leaves the Zip64 field out of the central record that announces it.
    bool centralFieldMissing = false;
    // The size the Zip64 field states.
    uint64 statedSize = 0;
};

// One stored entry, "big.txt", every size and offset of it in Zip64 form.
std::vector<uint8> Zip64Archive(const std::string& data, Zip64Options options)
{
    if (options.statedSize == 0)
        options.statedSize = data.size();
    uint32 crc = uint32(crc32(0, reinterpret_cast<const Bytef*>(data.data()), uInt(data.size())));
    const std::string name = "big.txt";
    std::vector<uint8> bytes;
    PutText(&bytes, "PK\x03\x04");
    Put(&bytes, 45, 2); // version needed
    Put(&bytes, 0, 2); // flags
    Put(&bytes, 0, 2); // stored
    Put(&bytes, 0, 2); // time
    Put(&bytes, 0x21, 2); // 1980-01-01
    Put(&bytes, crc, 4);
    Put(&bytes, 0xFFFFFFFF, 4);
    Put(&bytes, 0xFFFFFFFF, 4);
    Put(&bytes, name.size(), 2);
    Put(&bytes, 20, 2);
    PutText(&bytes, name);
    Put(&bytes, 1, 2);
    Put(&bytes, 16, 2);
    Put(&bytes, options.statedSize, 8);
    Put(&bytes, data.size(), 8);
    PutText(&bytes, data);

    uint64 central = bytes.size();
    PutText(&bytes, "PK\x01\x02");
    Put(&bytes, 3 << 8 | 45, 2); // made on Unix
    Put(&bytes, 45, 2);
    Put(&bytes, 0, 2);
    Put(&bytes, 0, 2);
    Put(&bytes, 0, 2);
    Put(&bytes, 0x21, 2);
    Put(&bytes, crc, 4);
    Put(&bytes, 0xFFFFFFFF, 4);
    Put(&bytes, 0xFFFFFFFF, 4);
    Put(&bytes, name.size(), 2);
    Put(&bytes, options.centralFieldMissing ? 0 : 28, 2);
    Put(&bytes, 0, 2); // comment
    Put(&bytes, 0, 2); // disk
    Put(&bytes, 0, 2); // internal attributes
    Put(&bytes, uint64(0100644) << 16, 4);
    Put(&bytes, 0xFFFFFFFF, 4);
    PutText(&bytes, name);
    if (!options.centralFieldMissing) {
        Put(&bytes, 1, 2);
        Put(&bytes, 24, 2);
        Put(&bytes, options.statedSize, 8);
        Put(&bytes, data.size(), 8);
        Put(&bytes, 0, 8); // the local header's offset
    }
    uint64 centralSize = bytes.size() - central;

    uint64 zip64End = bytes.size();
    PutText(&bytes, "PK\x06\x06");
    Put(&bytes, 44, 8);
    Put(&bytes, 3 << 8 | 45, 2);
    Put(&bytes, 45, 2);
    Put(&bytes, 0, 4);
    Put(&bytes, 0, 4);
    Put(&bytes, 1, 8);
    Put(&bytes, 1, 8);
    Put(&bytes, centralSize, 8);
    Put(&bytes, central, 8);
    PutText(&bytes, "PK\x06\x07");
    Put(&bytes, 0, 4);
    Put(&bytes, zip64End, 8);
    Put(&bytes, 1, 4);
    PutText(&bytes, "PK\x05\x06");
    Put(&bytes, 0, 2);
    Put(&bytes, 0, 2);
    Put(&bytes, 0xFFFF, 2);
    Put(&bytes, 0xFFFF, 2);
    Put(&bytes, 0xFFFFFFFF, 4);
    Put(&bytes, 0xFFFFFFFF, 4);
    Put(&bytes, 0, 2);
    return bytes;
}

std::string ReadAll(ZipReader& reader, const ZipEntryInfo& entry, status_t* status)
{
    std::string data;
    *status = reader.ReadEntry(entry, [&data](const uint8* bytes, size_t size) {
        data.append(reinterpret_cast<const char*>(bytes), size);
        return B_OK;
    });
    return data;
}

TEST(ZipReaderTest, ReadsSizesAndOffsetsFromTheZip64Records)
{
    const std::string data = "a payload file of a Zip64 archive\n";
    std::vector<uint8> archive = Zip64Archive(data, {});
    ZipReader reader;
    ASSERT_EQ(reader.Open(MakeMemorySource(archive)), B_OK) << reader.ErrorText();
    ASSERT_EQ(reader.CountEntries(), 1u);
    ZipEntryInfo entry;
    ASSERT_EQ(reader.GetEntry(0, &entry), B_OK) << reader.ErrorText();
    EXPECT_EQ(entry.name, "big.txt");
    EXPECT_EQ(entry.size, data.size());
    EXPECT_EQ(entry.kind, ZipEntryKind::kFile);
    ASSERT_TRUE(entry.mode.has_value());
    EXPECT_EQ(*entry.mode, 0100644u);
    status_t status = B_ERROR;
    EXPECT_EQ(ReadAll(reader, entry, &status), data);
    EXPECT_EQ(status, B_OK) << reader.ErrorText();
}

TEST(ZipReaderTest, RefusesARecordWhoseZip64FieldIsMissing)
{
    std::vector<uint8> archive = Zip64Archive("data", { .centralFieldMissing = true });
    ZipReader reader;
    EXPECT_EQ(reader.Open(MakeMemorySource(archive)), B_BAD_DATA);
    EXPECT_NE(reader.ErrorText().find("not a readable zip archive"), std::string::npos)
        << reader.ErrorText();
}

// A Zip64 size that claims more than the data hold ends the read with an
// error, after no more than the data.
TEST(ZipReaderTest, ASizeLargerThanTheDataIsAnError)
{
    const std::string data = "short";
    std::vector<uint8> archive = Zip64Archive(data, { .statedSize = 1ULL << 40 });
    ZipReader reader;
    ASSERT_EQ(reader.Open(MakeMemorySource(archive)), B_OK) << reader.ErrorText();
    ZipEntryInfo entry;
    ASSERT_EQ(reader.GetEntry(0, &entry), B_OK);
    EXPECT_EQ(entry.size, 1ULL << 40);
    status_t status = B_OK;
    EXPECT_EQ(ReadAll(reader, entry, &status), data);
    EXPECT_EQ(status, B_BAD_DATA);
    EXPECT_NE(reader.ErrorText().find("less data"), std::string::npos) << reader.ErrorText();
}

} // namespace
