// The extra-field readers and writers: exact bytes of the zip tools, round
// trips, and damaged fields.

#include "ZipExtraFields.h"

#include <ByteOrder.h>
#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <random>

using namespace BPrivate;

namespace {

std::vector<uint8> Hex(const std::string& text)
{
    std::string digits;
    for (char c : text) {
        if (c != ' ')
            digits += c;
    }
    std::vector<uint8> bytes;
    for (size_t i = 0; i + 1 < digits.size(); i += 2)
        bytes.push_back(uint8(std::stoul(digits.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::vector<uint8> Text(const std::string& text)
{
    return std::vector<uint8>(text.begin(), text.end());
}

// UT ---------------------------------------------------------------------

class TimestampRoundTripTest : public testing::TestWithParam<ZipTimestamps> { };

TEST_P(TimestampRoundTripTest, LocalFormKeepsEveryTime)
{
    const ZipTimestamps& times = GetParam();
    ZipTimestamps parsed;
    ASSERT_EQ(ParseTimestampField(BuildTimestampField(times, false), &parsed), B_OK);
    EXPECT_EQ(parsed.modified, times.modified);
    EXPECT_EQ(parsed.accessed, times.accessed);
    EXPECT_EQ(parsed.created, times.created);
}

TEST_P(TimestampRoundTripTest, CentralFormKeepsModificationTimeOnly)
{
    const ZipTimestamps& times = GetParam();
    std::vector<uint8> central = BuildTimestampField(times, true);
    EXPECT_EQ(central.size(), times.modified ? 5u : 1u);
    ZipTimestamps parsed;
    ASSERT_EQ(ParseTimestampField(central, &parsed), B_OK);
    EXPECT_EQ(parsed.modified, times.modified);
    EXPECT_FALSE(parsed.accessed.has_value());
    EXPECT_FALSE(parsed.created.has_value());
}

INSTANTIATE_TEST_SUITE_P(Combinations, TimestampRoundTripTest,
    testing::Values(ZipTimestamps { 1000000000u, std::nullopt, std::nullopt },
        ZipTimestamps { 1000000000u, 1000000100u, std::nullopt },
        ZipTimestamps { 0u, 0xFFFFFFFFu, 0x80000000u },
        ZipTimestamps { std::nullopt, 42u, std::nullopt },
        ZipTimestamps { std::nullopt, std::nullopt, std::nullopt }));

TEST(TimestampFieldTest, ReadsTheZipToolsLocalAndCentralForms)
{
    // Flags 3 (modified, accessed) in both; the central copy has mtime only.
    ZipTimestamps local;
    ASSERT_EQ(ParseTimestampField(Hex("03 00CA9A3B 64CA9A3B"), &local), B_OK);
    EXPECT_EQ(local.modified, 1000000000u);
    EXPECT_EQ(local.accessed, 1000000100u);
    ZipTimestamps central;
    ASSERT_EQ(ParseTimestampField(Hex("03 00CA9A3B"), &central), B_OK);
    EXPECT_EQ(central.modified, 1000000000u);
    EXPECT_FALSE(central.accessed.has_value());
    EXPECT_EQ(BuildTimestampField(local, false), Hex("03 00CA9A3B 64CA9A3B"));
    EXPECT_EQ(BuildTimestampField(local, true), Hex("03 00CA9A3B"));
}

TEST(TimestampFieldTest, ShortFieldGivesWhatItHolds)
{
    ZipTimestamps times;
    ASSERT_EQ(ParseTimestampField(Hex("07 00CA9A3B 64CA"), &times), B_OK);
    EXPECT_EQ(times.modified, 1000000000u);
    EXPECT_FALSE(times.accessed.has_value());
    EXPECT_EQ(ParseTimestampField({}, &times), B_BAD_DATA);
}

struct TimeCase {
    uint32 stored;
    int64 dosTime;
    std::optional<int64> expected;
};

class InterpretTimeTest : public testing::TestWithParam<TimeCase> { };

TEST_P(InterpretTimeTest, FollowsTheDosDate)
{
    EXPECT_EQ(InterpretZipTime(GetParam().stored, GetParam().dosTime), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, InterpretTimeTest,
    testing::Values(TimeCase { 1000000000u, 999999998, 1000000000 },
        // After 2038 with a matching DOS date.
        TimeCase { 0x90000000u, 0x90000000LL, int64(0x90000000LL) },
        // Before 1970: the DOS date sits at its 1980 minimum.
        TimeCase { uint32(-86400), 315532800, -86400 },
        // Top bit set but the DOS date says otherwise: not trusted.
        TimeCase { 0x90000000u, 1000000000, std::nullopt }));

TEST(TimestampFieldTest, StorableTimesCoverTheFieldsRange)
{
    EXPECT_EQ(StorableZipTime(0), 0u);
    EXPECT_EQ(StorableZipTime(-1), 0xFFFFFFFFu);
    EXPECT_EQ(StorableZipTime(int64(UINT32_MAX)), UINT32_MAX);
    EXPECT_FALSE(StorableZipTime(int64(UINT32_MAX) + 1).has_value());
    EXPECT_FALSE(StorableZipTime(int64(INT32_MIN) - 1).has_value());
}

// ux and Ux --------------------------------------------------------------

class OwnerRoundTripTest : public testing::TestWithParam<ZipOwner> { };

TEST_P(OwnerRoundTripTest, VariableSizeFieldKeepsIds)
{
    ZipOwner parsed;
    ASSERT_EQ(ParseUnixOwnerField(BuildUnixOwnerField(GetParam()), &parsed), B_OK);
    EXPECT_EQ(parsed.uid, GetParam().uid);
    EXPECT_EQ(parsed.gid, GetParam().gid);
}

TEST_P(OwnerRoundTripTest, SixteenBitFieldKeepsIdsThatFit)
{
    const ZipOwner& owner = GetParam();
    auto local = BuildUnixOwner16Field(owner, false);
    bool fits = owner.uid <= UINT16_MAX && owner.gid <= UINT16_MAX;
    ASSERT_EQ(local.has_value(), fits);
    if (!fits)
        return;
    ZipOwner parsed;
    ASSERT_EQ(ParseUnixOwner16Field(*local, &parsed), B_OK);
    EXPECT_EQ(parsed.uid, owner.uid);
    EXPECT_EQ(parsed.gid, owner.gid);
    EXPECT_EQ(
        ParseUnixOwner16Field(*BuildUnixOwner16Field(owner, true), &parsed), B_ENTRY_NOT_FOUND);
}

INSTANTIATE_TEST_SUITE_P(Ids, OwnerRoundTripTest,
    testing::Values(ZipOwner { 0, 0 }, ZipOwner { 1000, 100 }, ZipOwner { 65535, 65536 },
        ZipOwner { 12345, 23456 }, ZipOwner { 0xFFFFFFFF, 1 }, ZipOwner { 1ull << 40, 7 }));

TEST(OwnerFieldTest, ReadsTheZipToolsFormAndOtherSizes)
{
    ZipOwner owner;
    ASSERT_EQ(ParseUnixOwnerField(Hex("01 04 39300000 04 A05B0000"), &owner), B_OK);
    EXPECT_EQ(owner.uid, 12345u);
    EXPECT_EQ(owner.gid, 23456u);
    EXPECT_EQ(BuildUnixOwnerField(owner), Hex("01 04 39300000 04 A05B0000"));
    ASSERT_EQ(ParseUnixOwnerField(Hex("01 02 3930 08 A05B000000000000"), &owner), B_OK);
    EXPECT_EQ(owner.uid, 12345u);
    EXPECT_EQ(owner.gid, 23456u);
}

TEST(OwnerFieldTest, RejectsDamagedFields)
{
    ZipOwner owner;
    EXPECT_EQ(ParseUnixOwnerField(Hex("02 04 39300000 04 A05B0000"), &owner), B_UNSUPPORTED);
    EXPECT_EQ(ParseUnixOwnerField(Hex("01 04 39300000 04 A05B"), &owner), B_BAD_DATA);
    EXPECT_EQ(ParseUnixOwnerField(Hex("01 09 000000000000000000 01 00"), &owner), B_BAD_DATA);
    EXPECT_EQ(ParseUnixOwnerField(Hex("01 00 01 00"), &owner), B_BAD_DATA);
    EXPECT_EQ(ParseUnixOwnerField(Hex("01 04"), &owner), B_BAD_DATA);
    EXPECT_EQ(ParseUnixOwner16Field(Hex("010203"), &owner), B_BAD_DATA);
}

// Be ---------------------------------------------------------------------

const char kWorkedExample[] = "21000000 01"
                              "42454F533A5459504500 4D494D53 000000000000000B"
                              "746578742F706C61696E00";

std::vector<ZipAttribute> TypeAttribute()
{
    ZipAttribute type { "BEOS:TYPE", B_MIME_STRING_TYPE, Text(std::string("text/plain\0", 11)) };
    return { type };
}

TEST(BeFieldTest, ReadsTheDocumentedExample)
{
    std::vector<ZipAttribute> attributes;
    ASSERT_EQ(ParseBeAttributesField(Hex(kWorkedExample), &attributes), B_OK);
    EXPECT_EQ(attributes, TypeAttribute());
}

TEST(BeFieldTest, WritesSmallAttributesUncompressedExactly)
{
    std::vector<uint8> local, central;
    ASSERT_EQ(BuildBeAttributesField(TypeAttribute(), 6, &local, &central), B_OK);
    EXPECT_EQ(local, Hex(kWorkedExample));
    EXPECT_EQ(central, Hex("21000000 01"));
}

TEST(BeFieldTest, StoresNumbersBigEndianInTheStream)
{
    int32 value = 42;
    ZipAttribute number { "run_priority", B_INT32_TYPE,
        std::vector<uint8>(
            reinterpret_cast<uint8*>(&value), reinterpret_cast<uint8*>(&value) + 4) };
    std::vector<uint8> stream;
    ASSERT_EQ(BuildAttributeStream({ number }, &stream), B_OK);
    EXPECT_EQ(std::vector<uint8>(stream.end() - 4, stream.end()), Hex("0000002A"));
    std::vector<ZipAttribute> parsed;
    ASSERT_EQ(ParseAttributeStream(stream, &parsed), B_OK);
    ASSERT_EQ(parsed.size(), 1u);
    EXPECT_EQ(parsed[0], number);
}

class BeRoundTripTest : public testing::TestWithParam<int> { };

TEST_P(BeRoundTripTest, ManyAttributesSurviveCompression)
{
    std::mt19937 random { uint32(GetParam()) };
    std::vector<ZipAttribute> attributes;
    for (int i = 0; i < GetParam(); i++) {
        ZipAttribute attribute;
        attribute.name = "attribute " + std::to_string(i);
        attribute.type = i % 2 == 0 ? B_STRING_TYPE : B_RAW_TYPE;
        attribute.data.assign(size_t(random() % 200), uint8('a' + i % 26));
        attributes.push_back(attribute);
    }
    std::vector<uint8> local, central;
    ASSERT_EQ(BuildBeAttributesField(attributes, 9, &local, &central), B_OK);
    // Repetitive data: the deflated form (flags 0) was chosen.
    EXPECT_EQ(local[4], 0);
    EXPECT_EQ(ReadUnaligned<uint32>(central.data()), ReadUnaligned<uint32>(local.data()));
    std::vector<ZipAttribute> parsed;
    ASSERT_EQ(ParseBeAttributesField(local, &parsed), B_OK);
    EXPECT_EQ(parsed, attributes);
}

INSTANTIATE_TEST_SUITE_P(Counts, BeRoundTripTest, testing::Values(1, 5, 40, 200));

TEST(BeFieldTest, EmptyValuesAndNumericTypesRoundTrip)
{
    double pi = 3.14159;
    std::vector<ZipAttribute> attributes = {
        { "empty", B_STRING_TYPE, {} },
        { "pi", B_DOUBLE_TYPE,
            std::vector<uint8>(reinterpret_cast<uint8*>(&pi), reinterpret_cast<uint8*>(&pi) + 8) },
    };
    std::vector<uint8> local, central;
    ASSERT_EQ(BuildBeAttributesField(attributes, 6, &local, &central), B_OK);
    std::vector<ZipAttribute> parsed;
    ASSERT_EQ(ParseBeAttributesField(local, &parsed), B_OK);
    EXPECT_EQ(parsed, attributes);
}

struct BeDamage {
    const char* name;
    void (*apply)(std::vector<uint8>&);
};

std::vector<uint8> CompressedField()
{
    std::vector<ZipAttribute> attributes;
    for (int i = 0; i < 20; i++)
        attributes.push_back({ "name" + std::to_string(i), B_STRING_TYPE, Text("value value") });
    std::vector<uint8> local, central;
    BuildBeAttributesField(attributes, 6, &local, &central);
    return local;
}

const BeDamage kBeDamages[] = {
    { "WrongCrc", [](auto& f) { f[7] ^= 1; } },
    { "ReservedFlag", [](auto& f) { f[4] |= 2; } },
    { "SizeTooSmall", [](auto& f) { f[0] -= 1; } },
    { "SizeTooLarge", [](auto& f) { f[0] += 1; } },
    { "HugeSize", [](auto& f) { f[3] = 0x7F; } },
    { "UnknownMethod", [](auto& f) { f[5] = 12; } },
    { "TruncatedDeflate", [](auto& f) { f.resize(f.size() - 3); } },
    { "NoHeader", [](auto& f) { f.resize(5); } },
    { "NoAttributes",
        [](auto& f) {
            f.assign({ 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 });
        } },
};

class BeDamageTest : public testing::TestWithParam<BeDamage> { };

TEST_P(BeDamageTest, FailsTheWholeField)
{
    std::vector<uint8> field = CompressedField();
    ASSERT_EQ(field[4], 0);
    GetParam().apply(field);
    std::vector<ZipAttribute> attributes;
    EXPECT_EQ(ParseBeAttributesField(field, &attributes), B_BAD_DATA);
    EXPECT_TRUE(attributes.empty());
}

INSTANTIATE_TEST_SUITE_P(Damages, BeDamageTest, testing::ValuesIn(kBeDamages),
    [](const testing::TestParamInfo<BeDamage>& param) { return std::string(param.param.name); });

TEST(BeFieldTest, RejectsDamagedStreams)
{
    std::vector<ZipAttribute> attributes;
    // Name without its NUL.
    EXPECT_EQ(ParseAttributeStream(Text("BEOS:TYPE"), &attributes), B_BAD_DATA);
    // Header cut short.
    EXPECT_EQ(ParseAttributeStream(Hex("4100 4D494D53 0000"), &attributes), B_BAD_DATA);
    // Size beyond the stream.
    EXPECT_EQ(
        ParseAttributeStream(Hex("4100 4D494D53 0000000000000005 6162"), &attributes), B_BAD_DATA);
    // Size so large that adding it would wrap.
    EXPECT_EQ(
        ParseAttributeStream(Hex("4100 4D494D53 FFFFFFFFFFFFFFFF 6162"), &attributes), B_BAD_DATA);
    // Empty name.
    EXPECT_EQ(ParseAttributeStream(Hex("00 4D494D53 0000000000000000"), &attributes), B_BAD_DATA);
}

TEST(BeFieldTest, RefusesAttributesTooLargeForOneField)
{
    std::mt19937 random(3);
    ZipAttribute big { "icon", B_RAW_TYPE, std::vector<uint8>(70000) };
    for (uint8& byte : big.data)
        byte = uint8(random());
    std::vector<uint8> local, central;
    EXPECT_EQ(BuildBeAttributesField({ big }, 6, &local, &central), B_BUFFER_OVERFLOW);
}

// Areas ------------------------------------------------------------------

TEST(ExtraAreaTest, SplitsAndJoinsBlocks)
{
    std::vector<uint8> area = Hex("5554 0500 0300CA9A3B 7578 0B00 01043930000004A05B0000");
    std::vector<ZipExtraBlock> blocks;
    ASSERT_EQ(SplitExtraArea(area, &blocks), B_OK);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].id, kTimestampFieldId);
    EXPECT_EQ(blocks[1].id, kUnixOwnerFieldId);
    EXPECT_EQ(blocks[1].data.size(), 11u);
    EXPECT_EQ(JoinExtraBlocks(blocks), area);
}

TEST(ExtraAreaTest, ToleratesZeroPaddingButNotOverruns)
{
    std::vector<ZipExtraBlock> blocks;
    EXPECT_EQ(SplitExtraArea(Hex("5554 0100 03 000000"), &blocks), B_OK);
    EXPECT_EQ(SplitExtraArea(Hex("5554 0100 03 0001"), &blocks), B_BAD_DATA);
    EXPECT_EQ(SplitExtraArea(Hex("5554 0900 03"), &blocks), B_BAD_DATA);
}

// Arbitrary bytes never crash a parser (the sanitizer build checks reads).
TEST(ExtraFieldFuzzTest, RandomBytesAreRejectedOrParsed)
{
    std::mt19937 random(77);
    std::vector<uint8> seed = Hex(kWorkedExample);
    std::vector<uint8> compressed = CompressedField();
    for (int round = 0; round < 10000; round++) {
        std::vector<uint8> bytes = round % 2 == 0 ? seed : compressed;
        int changes = 1 + int(random() % 4);
        for (int i = 0; i < changes && !bytes.empty(); i++) {
            if (random() % 5 == 0)
                bytes.resize(random() % bytes.size());
            else
                bytes[random() % bytes.size()] = uint8(random());
        }
        std::vector<ZipAttribute> attributes;
        ParseBeAttributesField(bytes, &attributes);
        ParseAttributeStream(bytes, &attributes);
        ZipTimestamps times;
        ParseTimestampField(bytes, &times);
        ZipOwner owner;
        ParseUnixOwnerField(bytes, &owner);
        ParseUnixOwner16Field(bytes, &owner);
        std::vector<ZipExtraBlock> blocks;
        SplitExtraArea(bytes, &blocks);
    }
}

} // namespace
