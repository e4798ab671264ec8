// The container reader on exact platform files, on forged ones, and on
// thousands of damaged copies.

#include "ResourceReader.h"
#include "ResourceContainer.h"
#include "ResourceFormat.h"
#include "ResourceIO.h"
#include "ResourceLocation.h"
#include "ResourceTestSupport.h"
#include "ResourceWriter.h"

#include <ByteOrder.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace BPrivate;
using namespace brenvik::resources::test;

namespace {

// Container offset of x86.rsrc inside the file.
constexpr size_t kX86Base = 4;

status_t ReadBytes(
    const std::vector<uint8>& bytes, ResourceContainer* container, std::string* error = nullptr)
{
    std::string ignored;
    if (error == nullptr)
        error = &ignored;
    ResourceMemoryIO io(bytes, false);
    ResourceFileLayout layout;
    status_t status = LocateResourceContainer(io, &layout, error);
    if (status != B_OK)
        return status;
    return ReadResourceContainer(io, layout.containerOffset, layout.fileSize, container, error);
}

uint32 WordAt(const std::vector<uint8>& bytes, size_t offset)
{
    return ReadUnaligned<uint32>(bytes.data() + offset);
}

void SetWord(std::vector<uint8>& bytes, size_t offset, uint32 value)
{
    WriteUnaligned<uint32>(bytes.data() + offset, value);
}

// Rewrites the checksum of x86.rsrc's info table after a forged change.
void FixChecksum(std::vector<uint8>& bytes)
{
    uint32 offset = WordAt(bytes, kX86Base + 0x44 + 120);
    uint32 size = WordAt(bytes, kX86Base + 0x44 + 124);
    const uint8* table = bytes.data() + kX86Base + offset;
    SetWord(bytes, kX86Base + offset + size - 8, InfoTableChecksum(table, size - 8));
}

struct TableFacts {
    const char* file;
    size_t base;
    uint32 infoTableOffset;
    uint32 checksum;
    std::vector<off_t> dataOffsets;
};

class InfoTableTest : public testing::TestWithParam<TableFacts> { };

TEST_P(InfoTableTest, MatchesPublishedLocationsAndChecksum)
{
    const TableFacts& facts = GetParam();
    std::vector<uint8> bytes = ReadFileBytes(VectorPath(facts.file));
    size_t header = facts.base + kIndexSectionOffset;
    EXPECT_EQ(WordAt(bytes, header + kIndexHeaderInfoTableOffset), facts.infoTableOffset);
    uint32 size = WordAt(bytes, header + kIndexHeaderInfoTableSize);
    const uint8* table = bytes.data() + facts.base + facts.infoTableOffset;
    EXPECT_EQ(InfoTableChecksum(table, size - 8), facts.checksum);
    EXPECT_EQ(WordAt(bytes, facts.base + facts.infoTableOffset + size - 8), facts.checksum);

    ResourceContainer container;
    ASSERT_EQ(ReadBytes(bytes, &container), B_OK);
    ASSERT_EQ(size_t(container.CountItems()), facts.dataOffsets.size());
    for (size_t i = 0; i < facts.dataOffsets.size(); i++)
        EXPECT_EQ(container.ItemAt(int32(i))->offset, facts.dataOffsets[i]) << i;
}

INSTANTIATE_TEST_SUITE_P(HaikuData, InfoTableTest,
    testing::Values(TableFacts { "x86.rsrc", 4, 0x7F2, 0x37AB0B59, { 0x7AC, 0x7CF, 0x7D3 } },
        TableFacts { "elf", 4096, 0x815, 0xD163AF1A, { 0x7AC, 0x7CF, 0x7D3, 0x7F2 } }),
    [](const testing::TestParamInfo<TableFacts>& param) {
        return std::string(param.param.file).substr(0, 3);
    });

TEST(InfoTableChecksumTest, FoldsShortLastGroupAsRightAlignedNumber)
{
    const uint8 bytes[] = { 0x01, 0x02, 0x03, 0x04, 0xAA, 0xBB, 0xCC };
    EXPECT_EQ(InfoTableChecksum(bytes, 4), 0x01020304u);
    EXPECT_EQ(InfoTableChecksum(bytes, 5), 0x01020304u + 0xAA);
    EXPECT_EQ(InfoTableChecksum(bytes, 7), 0x01020304u + 0xAABBCC);
    const uint8 ones[] = { 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF };
    EXPECT_EQ(InfoTableChecksum(ones, 8), 0xFFFFFFFEu);
}

// One forged change to x86.rsrc and the status the reader must give.
struct Forgery {
    const char* name;
    void (*apply)(std::vector<uint8>&);
    status_t expected;
};

void InfoTableBytes(std::vector<uint8>& bytes, size_t* offset, size_t* size)
{
    *offset = kX86Base + WordAt(bytes, kX86Base + 0x44 + 120);
    *size = WordAt(bytes, kX86Base + 0x44 + 124);
}

const Forgery kForgeries[] = {
    { "TooManyResources", [](auto& b) { SetWord(b, kX86Base + 4, 10001); }, B_BAD_DATA },
    { "WrongIndexOffset", [](auto& b) { SetWord(b, kX86Base + 8, 0x48); }, B_BAD_DATA },
    { "WrongAdminSize", [](auto& b) { SetWord(b, kX86Base + 12, 0x648); }, B_BAD_DATA },
    { "WrongCountForAdminSize", [](auto& b) { SetWord(b, kX86Base + 4, 200); }, B_BAD_DATA },
    { "WrongIndexSize", [](auto& b) { SetWord(b, kX86Base + 0x48, 0x601); }, B_BAD_DATA },
    { "WrongUnknownOffset", [](auto& b) { SetWord(b, kX86Base + 0x50, 0x640); }, B_BAD_DATA },
    { "WrongUnknownSize", [](auto& b) { SetWord(b, kX86Base + 0x54, 0x100); }, B_BAD_DATA },
    { "InfoTableOutsideFile", [](auto& b) { SetWord(b, kX86Base + 0x44 + 120, 0x7F3); },
        B_BAD_DATA },
    { "InfoTableSizeWraps", [](auto& b) { SetWord(b, kX86Base + 0x44 + 124, 0xFFFFFFF0); },
        B_BAD_DATA },
    { "EntryOutsideFile", [](auto& b) { SetWord(b, kX86Base + 0xC8 + 4, 0x1000); }, B_BAD_DATA },
    { "EntrySizeWraps", [](auto& b) { SetWord(b, kX86Base + 0xC8 + 4, 0xFFFFFF00); }, B_BAD_DATA },
    { "BadChecksum", [](auto& b) { b[b.size() - 8] ^= 1; }, B_BAD_DATA },
    { "BigEndianContainer", [](auto& b) { SetWord(b, kX86Base, 0x00104F44); }, B_UNSUPPORTED },
    { "BadMagic", [](auto& b) { SetWord(b, kX86Base, 0x444F1001); }, B_BAD_DATA },
    { "DuplicateInfoIndex",
        [](auto& b) {
            size_t offset, size;
            InfoTableBytes(b, &offset, &size);
            // The LONG info names index 2; make it name index 1 as well.
            SetWord(b, offset + 40 + 4 + 4, 1);
            FixChecksum(b);
        },
        B_BAD_DATA },
    { "InfoNameRunsPastTable",
        [](auto& b) {
            size_t offset, size;
            InfoTableBytes(b, &offset, &size);
            b[offset + 4 + 8] = 0xF0;
            FixChecksum(b);
        },
        B_BAD_DATA },
    { "UnterminatedLastBlock",
        [](auto& b) {
            size_t offset, size;
            InfoTableBytes(b, &offset, &size);
            // Turn the final separator into more info bytes.
            SetWord(b, offset + size - 16, 0);
            FixChecksum(b);
        },
        B_BAD_DATA },
    { "TruncatedInsideContainer", [](auto& b) { b.resize(0x700); }, B_BAD_DATA },
    { "TruncatedHeader", [](auto& b) { b.resize(40); }, B_BAD_DATA },
};

class ForgeryTest : public testing::TestWithParam<Forgery> { };

TEST_P(ForgeryTest, IsRejectedWithStatus)
{
    std::vector<uint8> bytes = ReadFileBytes(VectorPath("x86.rsrc"));
    GetParam().apply(bytes);
    ResourceContainer container;
    std::string error;
    EXPECT_EQ(ReadBytes(bytes, &container, &error), GetParam().expected);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(container.CountItems(), 0);
}

INSTANTIATE_TEST_SUITE_P(X86, ForgeryTest, testing::ValuesIn(kForgeries),
    [](const testing::TestParamInfo<Forgery>& param) { return std::string(param.param.name); });

TEST(ResourceReaderTest, TableWithoutEndIsAccepted)
{
    std::vector<uint8> bytes = ReadFileBytes(VectorPath("x86.rsrc"));
    size_t offset, size;
    InfoTableBytes(bytes, &offset, &size);
    bytes.resize(bytes.size() - 8);
    SetWord(bytes, kX86Base + 0x44 + 124, uint32(size - 8));
    ResourceContainer container;
    ASSERT_EQ(ReadBytes(bytes, &container), B_OK);
    EXPECT_EQ(container.CountItems(), 3);
}

TEST(ResourceReaderTest, InfoWithUnknownIndexIsIgnoredAndItsEntryDropped)
{
    std::vector<uint8> bytes = ReadFileBytes(VectorPath("x86.rsrc"));
    size_t offset, size;
    InfoTableBytes(bytes, &offset, &size);
    SetWord(bytes, offset + 40 + 4 + 4, 7);
    FixChecksum(bytes);
    ResourceContainer container;
    ASSERT_EQ(ReadBytes(bytes, &container), B_OK);
    ASSERT_EQ(container.CountItems(), 2);
    EXPECT_EQ(container.ItemAt(0)->type, uint32('CSTR'));
    EXPECT_EQ(container.ItemAt(1)->type, uint32('MIMS'));
}

TEST(ResourceReaderTest, EntryBeyondCountThatLooksValidIsTaken)
{
    std::vector<uint8> bytes = ReadFileBytes(VectorPath("x86.rsrc"));
    SetWord(bytes, kX86Base + 4, 2);
    ResourceContainer container;
    ASSERT_EQ(ReadBytes(bytes, &container), B_OK);
    EXPECT_EQ(container.CountItems(), 3);
}

TEST(ResourceReaderTest, FileOfOtherKindsIsRecognised)
{
    ResourceContainer container;
    std::string error;
    EXPECT_EQ(ReadBytes(ReadFileBytes(VectorPath("ppc.rsrc")), &container, &error), B_UNSUPPORTED);
    EXPECT_EQ(ReadBytes(Bytes("Joy!peff and more bytes"), &container), B_UNSUPPORTED);
    EXPECT_EQ(ReadBytes(Bytes("plain text file"), &container), B_BAD_TYPE);
    EXPECT_EQ(ReadBytes(Bytes("R"), &container), B_BAD_TYPE);
    std::vector<uint8> elf = ReadFileBytes(VectorPath("elf"));
    elf[5] = 2;
    EXPECT_EQ(ReadBytes(elf, &container), B_UNSUPPORTED);
}

TEST(ResourceReaderTest, ElfClaimingContentBeyondTheFileIsRejected)
{
    std::vector<uint8> elf = ReadFileBytes(VectorPath("elf-no-res"));
    // e_shoff of the 32-bit header.
    SetWord(elf, 32, 0x7FFFFFF0);
    ResourceContainer container;
    EXPECT_EQ(ReadBytes(elf, &container), B_BAD_DATA);
}

TEST(ResourceReaderTest, EveryTruncationIsRejectedOrReadSafely)
{
    for (const char* file : { "x86.rsrc", "elf", "reiserfs.rsrc" }) {
        std::vector<uint8> whole = ReadFileBytes(VectorPath(file));
        for (size_t size = 0; size < whole.size(); size++) {
            std::vector<uint8> bytes(whole.begin(), whole.begin() + long(size));
            ResourceContainer container;
            status_t status = ReadBytes(bytes, &container);
            // Only a cut before the container (an ELF without resources yet)
            // or inside the 2-byte magic can read as "no resources".
            if (status == B_OK) {
                EXPECT_EQ(container.CountItems(), 0) << file << " cut at " << size;
            }
        }
    }
}

// Reads a damaged copy completely; what the reader accepts must also survive
// being written again and read back.
void ReadDamagedCopy(const std::vector<uint8>& bytes)
{
    ResourceMemoryIO io(bytes, false);
    ResourceFileLayout layout;
    std::string error;
    ResourceContainer container;
    if (LocateResourceContainer(io, &layout, &error) != B_OK
        || ReadResourceContainer(io, layout.containerOffset, layout.fileSize, &container, &error)
            != B_OK)
        return;
    for (int32 i = 0; i < container.CountItems(); i++) {
        const ResourceItem& item = *container.ItemAt(i);
        std::vector<uint8> data(item.size);
        ASSERT_EQ(
            ReadResourceData(io, layout.containerOffset, item, 0, data.data(), item.size), B_OK);
    }
    ResourceMemoryIO out;
    ASSERT_EQ(WriteResourceContainer(out, 0, container, &error, &io, layout.containerOffset), B_OK);
    ResourceContainer again;
    ASSERT_EQ(ReadResourceContainer(out, 0, off_t(out.Bytes().size()), &again, &error), B_OK)
        << error;
    EXPECT_EQ(again.CountItems(), container.CountItems());
}

TEST(ResourceReaderTest, TenThousandDamagedCopiesAreRejectedOrReadSafely)
{
    std::mt19937 random(20240611);
    const std::vector<std::vector<uint8>> originals = {
        ReadFileBytes(VectorPath("x86.rsrc")),
        ReadFileBytes(VectorPath("elf")),
        ReadFileBytes(VectorPath("unzip.rsc")),
    };
    for (int round = 0; round < 10000; round++) {
        std::vector<uint8> bytes = originals[size_t(round) % originals.size()];
        int changes = 1 + int(random() % 8);
        for (int i = 0; i < changes; i++) {
            size_t at = random() % bytes.size();
            switch (random() % 4) {
            case 0:
                bytes[at] = uint8(random());
                break;
            case 1:
                bytes[at] ^= uint8(1u << (random() % 8));
                break;
            case 2:
                if (at + 4 <= bytes.size())
                    SetWord(bytes, at, uint32(random()));
                break;
            default:
                bytes.resize(std::max<size_t>(at, 1));
                break;
            }
        }
        ReadDamagedCopy(bytes);
        if (HasFatalFailure())
            FAIL() << "round " << round;
    }
}

} // namespace
