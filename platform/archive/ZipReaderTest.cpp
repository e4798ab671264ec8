// The zip reader on archives that libzip does not write for the tests:
// Zip64 records (sizes and offsets in the Zip64 extra field, the entry
// count in the Zip64 end record), more than 65,535 entries, offsets past
// 4 GiB (in a source that is mostly a hole), and what it refuses when those
// lie; and damaged deflated data, inflated whole or streamed.

#include "ZipReader.h"
#include "ZipByteSource.h"
#include "ZipTestSupport.h"

#include <ByteOrder.h>

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
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

// An archive of many small stored entries, built by hand so that the entry
// count and the place of everything can be anything.
struct ManyEntries {
    uint64 count = 0;
    // Where the archive's bytes begin in the source (the rest is a hole).
    uint64 base = 0;
    // Sizes, offsets and the count in Zip64 form, with the Zip64 end record
    // and locator; without, the plain end record holds the count cut to 16
    // bits as a careless writer would leave it.
    bool zip64 = true;
};

std::string EntryName(uint64 i)
{
    char name[32];
    std::snprintf(name, sizeof(name), "top/f%06llu", static_cast<unsigned long long>(i));
    return name;
}

void PutEndRecord(std::vector<uint8>* bytes, uint64 count, uint64 centralSize, uint64 central)
{
    PutText(bytes, "PK\x05\x06");
    Put(bytes, 0, 4);
    Put(bytes, std::min<uint64>(count, 0xFFFF), 2);
    Put(bytes, std::min<uint64>(count, 0xFFFF), 2);
    Put(bytes, std::min<uint64>(centralSize, 0xFFFFFFFF), 4);
    Put(bytes, std::min<uint64>(central, 0xFFFFFFFF), 4);
    Put(bytes, 0, 2);
}

std::vector<uint8> ManyEntriesArchive(const ManyEntries& options)
{
    std::vector<uint8> bytes;
    std::vector<uint64> offsets;
    for (uint64 i = 0; i < options.count; i++) {
        std::string data = std::to_string(i);
        uint32 crc
            = uint32(crc32(0, reinterpret_cast<const Bytef*>(data.data()), uInt(data.size())));
        offsets.push_back(options.base + bytes.size());
        PutText(&bytes, "PK\x03\x04");
        Put(&bytes, 45, 2);
        Put(&bytes, 0, 4); // flags, stored
        Put(&bytes, 0x210000, 4); // 1980-01-01 00:00
        Put(&bytes, crc, 4);
        Put(&bytes, options.zip64 ? 0xFFFFFFFF : data.size(), 4);
        Put(&bytes, options.zip64 ? 0xFFFFFFFF : data.size(), 4);
        Put(&bytes, EntryName(i).size(), 2);
        Put(&bytes, options.zip64 ? 20 : 0, 2);
        PutText(&bytes, EntryName(i));
        if (options.zip64) {
            Put(&bytes, 1, 2);
            Put(&bytes, 16, 2);
            Put(&bytes, data.size(), 8);
            Put(&bytes, data.size(), 8);
        }
        PutText(&bytes, data);
    }
    uint64 central = options.base + bytes.size();
    for (uint64 i = 0; i < options.count; i++) {
        std::string data = std::to_string(i);
        uint32 crc
            = uint32(crc32(0, reinterpret_cast<const Bytef*>(data.data()), uInt(data.size())));
        PutText(&bytes, "PK\x01\x02");
        Put(&bytes, 3 << 8 | 45, 2);
        Put(&bytes, 45, 2);
        Put(&bytes, 0, 4);
        Put(&bytes, 0x210000, 4);
        Put(&bytes, crc, 4);
        Put(&bytes, options.zip64 ? 0xFFFFFFFF : data.size(), 4);
        Put(&bytes, options.zip64 ? 0xFFFFFFFF : data.size(), 4);
        Put(&bytes, EntryName(i).size(), 2);
        Put(&bytes, options.zip64 ? 28 : 0, 2);
        Put(&bytes, 0, 6); // comment, disk, internal attributes
        Put(&bytes, uint64(0100644) << 16, 4);
        Put(&bytes, options.zip64 ? 0xFFFFFFFF : offsets[i], 4);
        PutText(&bytes, EntryName(i));
        if (options.zip64) {
            Put(&bytes, 1, 2);
            Put(&bytes, 24, 2);
            Put(&bytes, data.size(), 8);
            Put(&bytes, data.size(), 8);
            Put(&bytes, offsets[i], 8);
        }
    }
    uint64 centralSize = options.base + bytes.size() - central;
    if (!options.zip64) {
        PutEndRecord(&bytes, options.count, centralSize, central);
        return bytes;
    }
    uint64 zip64End = options.base + bytes.size();
    PutText(&bytes, "PK\x06\x06");
    Put(&bytes, 44, 8);
    Put(&bytes, 3 << 8 | 45, 2);
    Put(&bytes, 45, 2);
    Put(&bytes, 0, 8);
    Put(&bytes, options.count, 8);
    Put(&bytes, options.count, 8);
    Put(&bytes, centralSize, 8);
    Put(&bytes, central, 8);
    PutText(&bytes, "PK\x06\x07");
    Put(&bytes, 0, 4);
    Put(&bytes, zip64End, 8);
    Put(&bytes, 1, 4);
    PutEndRecord(&bytes, 0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF);
    return bytes;
}

// The archive's bytes at base, a hole of zeros before them.
class HoleThenBytes final : public ZipByteSource {
public:
    HoleThenBytes(uint64 base, std::vector<uint8> bytes)
        : fBase(base)
        , fBytes(std::move(bytes))
    {
    }

    off_t Size() const override { return off_t(fBase + fBytes.size()); }

    ssize_t ReadAt(off_t position, void* buffer, size_t size) override
    {
        if (position < 0 || position > Size())
            return B_BAD_VALUE;
        size = size_t(std::min<uint64>(size, uint64(Size() - position)));
        for (size_t done = 0; done < size; done++) {
            uint64 at = uint64(position) + done;
            static_cast<uint8*>(buffer)[done] = at < fBase ? 0 : fBytes[at - fBase];
        }
        return ssize_t(size);
    }

private:
    uint64 fBase;
    std::vector<uint8> fBytes;
};

void ExpectEntry(ZipReader& reader, uint64 index)
{
    ZipEntryInfo entry;
    ASSERT_EQ(reader.GetEntry(index, &entry), B_OK) << reader.ErrorText();
    EXPECT_EQ(entry.name, EntryName(index));
    status_t status = B_ERROR;
    EXPECT_EQ(ReadAll(reader, entry, &status), std::to_string(index));
    EXPECT_EQ(status, B_OK) << reader.ErrorText();
}

struct CountCase {
    const char* name;
    ManyEntries archive;
    // 0: refused.
    uint64 expected;
};

class EntryCountTest : public testing::TestWithParam<CountCase> { };

TEST_P(EntryCountTest, IsReadFromTheRecordThatHoldsIt)
{
    const CountCase& test = GetParam();
    std::vector<uint8> bytes = ManyEntriesArchive(test.archive);
    ZipReader reader;
    status_t status = reader.Open(std::make_unique<HoleThenBytes>(test.archive.base, bytes));
    if (test.expected == 0) {
        EXPECT_EQ(status, B_BAD_DATA);
        EXPECT_NE(reader.ErrorText().find("zip64"), std::string::npos) << reader.ErrorText();
        return;
    }
    ASSERT_EQ(status, B_OK) << reader.ErrorText();
    ASSERT_EQ(reader.CountEntries(), test.expected);
    for (uint64 index : { uint64(0), uint64(65535), test.expected - 1 }) {
        if (index < test.expected)
            ExpectEntry(reader, index);
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, EntryCountTest,
    testing::Values(CountCase { "Zip64Records70000", { .count = 70000 }, 70000 },
        // Every offset and the directory itself lie past 4 GiB.
        CountCase { "Zip64PastFourGiB", { .count = 3, .base = 5ULL << 30 }, 3 },
        CountCase { "Exactly65535WithoutZip64", { .count = 65535, .zip64 = false }, 65535 },
        CountCase { "Exactly65535Zip64", { .count = 65535 }, 65535 },
        // The count cut to 65,535 would drop entries without a word.
        CountCase { "CutCountWithoutZip64", { .count = 65536, .zip64 = false }, 0 }),
    [](const testing::TestParamInfo<CountCase>& param) { return std::string(param.param.name); });

} // namespace

namespace {

using brenvik::archive::test::ZipBuilder;

// A deflated entry small enough for one chunk of output is inflated whole;
// a larger one streams in chunks. Both ways refuse the same damage, and the
// whole way hands nothing on before the entry is known to be right.
struct InflateDamage {
    const char* name;
    // Flips a byte of the deflated data.
    bool flipData;
    // Changes the CRC-32 the central directory holds.
    bool wrongCrc;
    // Added to the size the entry states.
    int64 sizeDelta;
    const char* error;
};

class InflateDamageTest : public testing::TestWithParam<std::tuple<InflateDamage, size_t>> { };

TEST_P(InflateDamageTest, IsRefusedWhetherInflatedWholeOrStreamed)
{
    const auto& [damage, chunkSize] = GetParam();
    std::string data;
    for (int i = 0; data.size() < 20000; i++)
        data += "line " + std::to_string(i * 7919 % 1000) + " of the entry\n";
    ZipBuilder builder;
    builder.AddFile("top", data);
    std::vector<uint8> archive = builder.Finish();
    if (damage.flipData)
        archive[30 + 3 + ReadUnaligned<uint16>(archive.data() + 28) + 40] ^= 0x55;
    if (damage.wrongCrc) {
        const uint8 central[4] = { 'P', 'K', 1, 2 };
        auto at = std::search(archive.begin(), archive.end(), central, central + 4);
        ASSERT_NE(at, archive.end());
        at[16] ^= 0x01;
    }
    ZipReader reader;
    ASSERT_EQ(reader.Open(MakeMemorySource(archive)), B_OK) << reader.ErrorText();
    ZipEntryInfo entry;
    ASSERT_EQ(reader.GetEntry(0, &entry), B_OK);
    entry.size = uint64(int64(entry.size) + damage.sizeDelta);
    std::string read;
    status_t status = reader.ReadEntry(
        entry,
        [&read](const uint8* bytes, size_t size) {
            read.append(reinterpret_cast<const char*>(bytes), size);
            return B_OK;
        },
        chunkSize);
    if (damage.error == nullptr) {
        EXPECT_EQ(status, B_OK) << reader.ErrorText();
        EXPECT_EQ(read, data);
        return;
    }
    EXPECT_EQ(status, B_BAD_DATA);
    EXPECT_NE(reader.ErrorText().find(damage.error), std::string::npos) << reader.ErrorText();
    if (chunkSize >= data.size()) {
        EXPECT_TRUE(read.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Damage, InflateDamageTest,
    testing::Combine(testing::Values(InflateDamage { "Intact", false, false, 0, nullptr },
                         InflateDamage { "FlippedData", true, false, 0, "" },
                         InflateDamage { "WrongCrc", false, true, 0, "CRC error" },
                         InflateDamage { "StatedSmaller", false, false, -1, "more data" },
                         InflateDamage { "StatedLarger", false, false, 1, "less data" }),
        testing::Values(size_t(256 * 1024), size_t(1024))),
    [](const testing::TestParamInfo<std::tuple<InflateDamage, size_t>>& param) {
        return std::string(std::get<0>(param.param).name)
            + (std::get<1>(param.param) > 20000 ? "Whole" : "Streamed");
    });

} // namespace
