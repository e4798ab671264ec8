// Flattened messages: real files written by BeOS and Haiku read back with
// exactly their contents, BeOS-written ones come out byte for byte, every
// accepted form (R5 in both byte orders, compact fields, Haiku's form, nested
// in each other) is read, and damaged input is refused cleanly.

#include <Message.h>

#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include <DataIO.h>

#include "MessageTestUtils.h"
#include "R5MessageWriter.h"

using namespace message_test;

namespace {

Bytes Unflattened(const Bytes& bytes, BMessage* message)
{
    EXPECT_EQ(B_OK, message->Unflatten(bytes.data(), bytes.size()));
    return Flattened(*message);
}

// Our writer zeroes the padding of variable-size items where BeOS left
// whatever was in memory. A BeOS file therefore matches our output once its
// padding bytes (found by an independent walk of the file) are zeroed; every
// other byte must be identical.
Bytes WithZeroPadding(Bytes bytes)
{
    std::vector<bool> mask = R5PaddingMask(bytes);
    for (size_t i = 0; i < bytes.size(); i++) {
        if (mask[i])
            bytes[i] = 0;
    }
    return bytes;
}

// A Haiku-form message with one variable-size field, written by hand.
Bytes HaikuMessage(
    uint32 what, const std::string& name, type_code type, const std::vector<Bytes>& items)
{
    Bytes data(name.begin(), name.end());
    data.push_back(0);
    for (const Bytes& item : items) {
        uint32 length = uint32(item.size());
        data.insert(
            data.end(), reinterpret_cast<uint8*>(&length), reinterpret_cast<uint8*>(&length) + 4);
        data.insert(data.end(), item.begin(), item.end());
    }
    Bytes out(68 + 24, 0);
    int32 header[17] = { int32(B_MESSAGE_FORMAT_HAIKU), int32(what), 1, -1, -1, -1, -1, -1, -1,
        int32(data.size()), 1, 5, -1, -1, -1, -1, -1 };
    std::memcpy(out.data(), header, sizeof(header));
    uint16 fieldFlags = 0x0001;
    uint16 nameLength = uint16(name.size() + 1);
    uint32 field[5]
        = { type, uint32(items.size()), uint32(data.size() - nameLength), 0, 0xFFFFFFFF };
    std::memcpy(&out[68], &fieldFlags, 2);
    std::memcpy(&out[70], &nameLength, 2);
    std::memcpy(&out[72], field, sizeof(field));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

Bytes AsBytes(const char* text)
{
    return Bytes(text, text + std::strlen(text) + 1);
}

// #pragma mark - Writing

TEST(MessageFlattenTest, AnEmptyMessageIsTheSmallestBeOSMessage)
{
    BMessage message;
    EXPECT_EQ(18, message.FlattenedSize());
    EXPECT_EQ(kReiserfsFileTypes, Flattened(message));
    BMessage read('junk');
    read.AddInt32("stale", 1);
    EXPECT_EQ(kReiserfsFileTypes, Unflattened(kReiserfsFileTypes, &read));
    EXPECT_EQ(0u, read.what);
    EXPECT_TRUE(read.IsEmpty());
}

TEST(MessageFlattenTest, TheHeaderChecksumMatchesBeOSAndHaikuFiles)
{
    // 'EMPT' with no fields: the value Haiku's own writer produced.
    Bytes empty = Flattened(BMessage('EMPT'));
    EXPECT_EQ(0x66504D46u, ReadUnaligned<uint32>(&empty[4]));
    BMessage types;
    ASSERT_EQ(B_OK, types.AddString("types", "application/zip"));
    Bytes bytes = Flattened(types);
    EXPECT_EQ(0x36000001u, ReadUnaligned<uint32>(&bytes[4]));
    // Leftover bytes count as a plain number.
    const uint8 odd[] = { 0x12, 0x00, 0x00, 0x00, 0x01 };
    EXPECT_EQ(0x12000001u, BPrivate::R5MessageWriter::HeaderChecksum(odd, sizeof(odd)));
}

TEST(MessageFlattenTest, AMessageBuiltInCodeMatchesTheOneBeOSWrote)
{
    BMessage types;
    ASSERT_EQ(B_OK, types.AddString("types", "application/zip"));
    EXPECT_EQ(WithZeroPadding(kUnzipFileTypes), Flattened(types));
}

TEST(MessageFlattenTest, SmallFieldsUseTheCompactEncoding)
{
    // Field flag byte and count of a BYTE field with n items.
    auto flagsFor = [](int items) {
        BMessage message;
        for (int i = 0; i < items; i++)
            message.AddInt8("b", int8(i));
        Bytes bytes = Flattened(message);
        return std::make_pair(bytes[17], bytes[22]);
    };
    EXPECT_EQ(std::make_pair(uint8(0x0F), uint8(1)), flagsFor(1));
    // 255 items of one byte: count and length fit a byte.
    EXPECT_EQ(std::make_pair(uint8(0x07), uint8(255)), flagsFor(255));
    // 256 items: a 4-byte count (its low byte is 0).
    EXPECT_EQ(std::make_pair(uint8(0x05), uint8(0)), flagsFor(256));

    auto stringFlags = [](size_t length) {
        BMessage message;
        message.AddString("s", std::string(length, 'x').c_str());
        return Flattened(message)[17];
    };
    // 4 + 244 bytes pad to 248 (compact); 4 + 245 pad to 256 (not).
    EXPECT_EQ(0x0B, stringFlags(243));
    EXPECT_EQ(0x09, stringFlags(244));
}

TEST(MessageFlattenTest, WritingToASmallBufferFails)
{
    BMessage message;
    message.AddString("name", "value");
    char buffer[16];
    EXPECT_EQ(B_BUFFER_OVERFLOW, message.Flatten(buffer, sizeof(buffer)));
    EXPECT_EQ(B_BAD_VALUE, message.Flatten(static_cast<char*>(nullptr), 100));
}

// #pragma mark - Real files

TEST(MessageFlattenTest, TheUnzipFileTypesRoundTrip)
{
    BMessage message;
    Bytes written = Unflattened(kUnzipFileTypes, &message);
    EXPECT_EQ(0u, message.what);
    EXPECT_EQ(1, message.CountNames(B_ANY_TYPE));
    EXPECT_STREQ("application/zip", message.GetString("types"));
    EXPECT_EQ(WithZeroPadding(kUnzipFileTypes), written);
    EXPECT_NE(kUnzipFileTypes, written) << "the original's padding is not zero";
}

TEST(MessageFlattenTest, TheWonderBrushDocumentReadsAndRoundTrips)
{
    Bytes file = ReadTestFile("Website_Login.wonderbrush");
    ASSERT_EQ(8466u, file.size());
    EXPECT_EQ(0x12210001u, ReadUnaligned<uint32>(&file[4]));
    BMessage message;
    Bytes written = Unflattened(file, &message);

    EXPECT_EQ(0u, message.what);
    type_code type;
    int32 count;
    ASSERT_EQ(B_OK, message.GetInfo("layer", &type, &count));
    EXPECT_EQ(B_MESSAGE_TYPE, type);
    EXPECT_EQ(2, count);
    BRect bounds;
    ASSERT_EQ(B_OK, message.FindRect("bounds", &bounds));
    EXPECT_EQ(BRect(0, 0, 47, 47), bounds);
    EXPECT_EQ(0, message.GetInt32("color space", -1));
    EXPECT_EQ(1, message.GetInt32("current layer", -1));
    float zoom = 0;
    ASSERT_EQ(B_OK, message.FindFloat("zoom level", &zoom));
    EXPECT_EQ(600.0f, zoom);
    BPoint center;
    ASSERT_EQ(B_OK, message.FindPoint("zoom center", &center));
    EXPECT_FLOAT_EQ(23.833334f, center.x);
    EXPECT_FLOAT_EQ(23.833334f, center.y);
    EXPECT_TRUE(message.GetBool("show guides"));

    std::map<std::string, int32> expected = { { "BOOL", 22 }, { "BPNT", 25 }, { "BYTE", 1 },
        { "CSTR", 53 }, { "DBLE", 45 }, { "FLOT", 17 }, { "LONG", 30 }, { "MSGG", 15 },
        { "RAWT", 3 }, { "RECT", 13 }, { "RGBC", 8 } };
    EXPECT_EQ(expected, CountItemsByType(message));

    // Byte for byte, apart from the garbage BeOS left in the padding (see
    // WithZeroPadding), nested messages included.
    EXPECT_EQ(WithZeroPadding(file), written);
}

TEST(MessageFlattenTest, TheVectorIconInR5FormReads)
{
    Bytes file = ReadIconMessage("Alert_Idea");
    ASSERT_EQ(7393u, file.size());
    EXPECT_EQ(0xE11C0001u, ReadUnaligned<uint32>(&file[4]));
    BMessage message;
    ASSERT_EQ(B_OK, message.Unflatten(file.data(), file.size()));
    std::map<std::string, int32> expected = { { "BOOL", 49 }, { "BPNT", 84 }, { "CSTR", 34 },
        { "DBLE", 30 }, { "FLOT", 32 }, { "LONG", 58 }, { "MSGG", 33 } };
    EXPECT_EQ(expected, CountItemsByType(message));

    BMessage paths;
    ASSERT_EQ(B_OK, message.FindMessage("paths", &paths));
    int32 count = 0;
    ASSERT_EQ(B_OK, paths.GetInfo("path", nullptr, &count));
    ASSERT_EQ(7, count);
    BMessage circle;
    ASSERT_EQ(B_OK, paths.FindMessage("path", 0, &circle));
    EXPECT_STREQ("circle", circle.GetString("name"));
    const BPoint points[] = { { 32, 0 }, { 0, 32 }, { 32, 64 }, { 64, 32 } };
    const BPoint in[] = { { 50, 0 }, { 0, 14 }, { 14, 64 }, { 64, 50 } };
    const BPoint out[] = { { 14, 0 }, { 0, 50 }, { 50, 64 }, { 64, 14 } };
    for (int32 i = 0; i < 4; i++) {
        BPoint point;
        ASSERT_EQ(B_OK, circle.FindPoint("point", i, &point));
        EXPECT_EQ(points[i], point);
        ASSERT_EQ(B_OK, circle.FindPoint("point in", i, &point));
        EXPECT_EQ(in[i], point);
        ASSERT_EQ(B_OK, circle.FindPoint("point out", i, &point));
        EXPECT_EQ(out[i], point);
        EXPECT_TRUE(circle.GetBool("connected", i, false));
    }
    EXPECT_TRUE(circle.GetBool("path closed"));
    std::set<std::string> names;
    for (int32 i = 1; i < 7; i++) {
        BMessage path;
        ASSERT_EQ(B_OK, paths.FindMessage("path", i, &path));
        names.insert(path.GetString("name", ""));
    }
    EXPECT_EQ((std::set<std::string> { "wind outline", "bulb buttom", "bulb top", "wire bottom",
                  "wire", "bulb outline" }),
        names);

    // Haiku wrote this file without compact fields; ours is smaller but
    // holds the same.
    BMessage again;
    Bytes written = Unflattened(Flattened(message), &again);
    EXPECT_LT(written.size(), file.size());
    EXPECT_TRUE(SameContent(message, again));
}

TEST(MessageFlattenTest, TheShortcutSettingsInHaikuFormRead)
{
    Bytes file = ReadTestFile("shortcuts_settings");
    ASSERT_EQ(4555u, file.size());
    BMessage message;
    ASSERT_EQ(B_OK, message.Unflatten(file.data(), file.size()));
    std::map<std::string, int32> expected = { { "CSTR", 33 }, { "LONG", 42 }, { "MSGG", 21 } };
    EXPECT_EQ(expected, CountItemsByType(message));

    struct Spec {
        const char* command;
        int32 key;
        const char* argument;
    } specs[] = { { "/bin/setvolume -t", 786658, "-t" }, { "/bin/setvolume -i", 786665, "-i" },
        { "/bin/setvolume -d", 786666, "-d" } };
    for (int32 i = 0; i < 3; i++) {
        BMessage spec;
        ASSERT_EQ(B_OK, message.FindMessage("spec", i, &spec));
        EXPECT_STREQ("ShortcutsSpec", spec.GetString("class", 0, ""));
        EXPECT_STREQ("ShortcutsSpec", spec.GetString("class", 1, ""));
        EXPECT_STREQ(specs[i].command, spec.GetString("command"));
        EXPECT_EQ(specs[i].key, spec.GetInt32("key", 0));
        for (int32 j = 0; j < 4; j++)
            EXPECT_EQ(0, spec.GetInt32("mcidx", j, -1));
        BMessage tester;
        ASSERT_EQ(B_OK, spec.FindMessage("modtester", &tester));
        EXPECT_STREQ("MinMatchFieldTester", tester.GetString("class"));
        EXPECT_EQ(4, tester.GetInt32("mMin", 0));
        for (int32 j = 0; j < 4; j++) {
            BMessage slave;
            ASSERT_EQ(B_OK, tester.FindMessage("mSlave", j, &slave));
            EXPECT_STREQ("HasBitsFieldTester", slave.GetString("class"));
            EXPECT_TRUE(slave.HasInt32("rqBits"));
            EXPECT_TRUE(slave.HasInt32("fbBits"));
        }
        BMessage actuator;
        ASSERT_EQ(B_OK, spec.FindMessage("act", &actuator));
        EXPECT_STREQ("LaunchCommandActuator", actuator.GetString("class"));
        EXPECT_STREQ("/bin/setvolume", actuator.GetString("largv", 0, ""));
        EXPECT_STREQ(specs[i].argument, actuator.GetString("largv", 1, ""));
    }

    // Written back in R5 form, nested messages included.
    BMessage again;
    Bytes written = Unflattened(Flattened(message), &again);
    EXPECT_EQ(0, std::memcmp(written.data(), "1BOF", 4));
    const void* nested;
    ssize_t size;
    ASSERT_EQ(B_OK, again.FindData("spec", B_MESSAGE_TYPE, 2, &nested, &size));
    EXPECT_EQ(0, std::memcmp(nested, "1BOF", 4));
    EXPECT_TRUE(SameContent(message, again));
}

TEST(MessageFlattenTest, TheCursorInHaikuFormReads)
{
    Bytes file = ReadIconMessage("Copy");
    BMessage message;
    ASSERT_EQ(B_OK, message.Unflatten(file.data(), file.size()));
    std::map<std::string, int32> expected = { { "BOOL", 60 }, { "BPNT", 147 }, { "CSTR", 18 },
        { "DBLE", 15 }, { "FLOT", 14 }, { "LONG", 27 }, { "MSGG", 19 } };
    EXPECT_EQ(expected, CountItemsByType(message));
    for (const char* field : { "paths", "styles", "shapes" }) {
        int32 count = 0;
        message.GetInfo(field, nullptr, &count);
        EXPECT_EQ(1, count) << field;
    }
    // Every "name" string anywhere in the tree.
    std::set<std::string> names;
    std::function<void(const BMessage&)> collect = [&](const BMessage& current) {
        char* name;
        type_code type;
        int32 count;
        for (int32 i = 0; current.GetInfo(B_ANY_TYPE, i, &name, &type, &count) == B_OK; i++) {
            for (int32 j = 0; j < count; j++) {
                BMessage nested;
                if (type == B_MESSAGE_TYPE && current.FindMessage(name, j, &nested) == B_OK)
                    collect(nested);
                else if (type == B_STRING_TYPE && std::strcmp(name, "name") == 0)
                    names.insert(current.GetString(name, j, ""));
            }
        }
    };
    collect(message);
    for (const char* name : { "hand", "hand outline", "link", "shadow", "outline" })
        EXPECT_EQ(1u, names.count(name)) << name;
}

// #pragma mark - Forms and byte orders

TEST(MessageFlattenTest, BigEndianMessagesReadTheSameAsLittleEndianOnes)
{
    Bytes little = ReadTestFile("Website_Login.wonderbrush");
    Bytes big = SwapR5(little);
    ASSERT_EQ(0, std::memcmp(big.data(), "FOB1", 4));
    BMessage fromLittle;
    BMessage fromBig;
    ASSERT_EQ(B_OK, fromLittle.Unflatten(little.data(), little.size()));
    ASSERT_EQ(B_OK, fromBig.Unflatten(big.data(), big.size()));
    EXPECT_TRUE(SameContent(fromLittle, fromBig));
    EXPECT_EQ(Flattened(fromLittle), Flattened(fromBig));

    BRect bounds;
    ASSERT_EQ(B_OK, fromBig.FindRect("bounds", &bounds));
    EXPECT_EQ(BRect(0, 0, 47, 47), bounds);
}

TEST(MessageFlattenTest, EveryNumericTypeIsSwappedByItsWordSize)
{
    BMessage message('swap');
    message.AddInt16("short", -2);
    message.AddInt32("long", 0x01020304);
    message.AddInt64("llong", 0x0102030405060708LL);
    message.AddDouble("double", 3.5);
    message.AddFloat("float", -1.25f);
    message.AddPoint("point", BPoint(1, 2));
    message.AddRect("rect", BRect(1, 2, 3, 4));
    message.AddString("string", "not swapped");
    message.AddData("raw", B_RAW_TYPE, "\x01\x02\x03", 3);
    message.AddBool("bool", true);
    BMessage nested('nest');
    nested.AddInt32("inner", 77);
    message.AddMessage("nested", &nested);
    Bytes big = SwapR5(Flattened(message));
    BMessage read;
    ASSERT_EQ(B_OK, read.Unflatten(big.data(), big.size()));
    EXPECT_EQ(uint32('swap'), read.what);
    EXPECT_TRUE(SameContent(message, read));
}

TEST(MessageFlattenTest, HaikuMessagesNestInsideR5AndTheOtherWayRound)
{
    Bytes haiku = ReadTestFile("shortcuts_settings");
    BMessage direct;
    ASSERT_EQ(B_OK, direct.Unflatten(haiku.data(), haiku.size()));

    Bytes r5Outer = WrapInR5({ haiku, kUnzipFileTypes });
    BMessage outer;
    ASSERT_EQ(B_OK, outer.Unflatten(r5Outer.data(), r5Outer.size()));
    BMessage nested;
    ASSERT_EQ(B_OK, outer.FindMessage("nested", 0, &nested));
    EXPECT_TRUE(SameContent(direct, nested));
    // Flattening converts the nested Haiku message to R5.
    BMessage again;
    Unflattened(Flattened(outer), &again);
    const void* data;
    ssize_t size;
    ASSERT_EQ(B_OK, again.FindData("nested", B_MESSAGE_TYPE, 0, &data, &size));
    EXPECT_EQ(0, std::memcmp(data, "1BOF", 4));
    EXPECT_TRUE(SameContent(outer, again));

    Bytes haikuOuter = HaikuMessage(
        'hout', "inner", B_MESSAGE_TYPE, { kUnzipFileTypes, SwapR5(kUnzipFileTypes) });
    BMessage fromHaiku;
    ASSERT_EQ(B_OK, fromHaiku.Unflatten(haikuOuter.data(), haikuOuter.size()));
    EXPECT_EQ(uint32('hout'), fromHaiku.what);
    for (int32 i = 0; i < 2; i++) {
        BMessage inner;
        ASSERT_EQ(B_OK, fromHaiku.FindMessage("inner", i, &inner));
        EXPECT_STREQ("application/zip", inner.GetString("types"));
    }
}

TEST(MessageFlattenTest, OtherFormsAreNotMessages)
{
    Bytes dano = kReiserfsFileTypes;
    std::memcpy(dano.data(), "2BOF", 4);
    Bytes bigHaiku = HaikuMessage(0, "a", B_STRING_TYPE, { AsBytes("x") });
    std::memcpy(bigHaiku.data(), "1FMH", 4);
    Bytes text = AsBytes("hello, this is text");
    for (const Bytes* bytes : { &dano, &bigHaiku, &text }) {
        BMessage message('keep');
        message.AddInt32("stale", 1);
        EXPECT_EQ(B_NOT_A_MESSAGE, message.Unflatten(bytes->data(), bytes->size()));
        EXPECT_EQ(0u, message.what);
        EXPECT_TRUE(message.IsEmpty());
    }
}

TEST(MessageFlattenTest, RoutingInformationInTheHeaderIsSkipped)
{
    // Insert a target token (flag 0x02) and reply information (0x04).
    Bytes bytes = kUnzipFileTypes;
    bytes[16] = 0x07;
    bytes.insert(bytes.begin() + 17, 20, 0xAB);
    WriteUnaligned<uint32>(&bytes[8], uint32(bytes.size()));
    BMessage message;
    ASSERT_EQ(B_OK, message.Unflatten(bytes.data(), bytes.size()));
    EXPECT_STREQ("application/zip", message.GetString("types"));
    EXPECT_EQ(WithZeroPadding(kUnzipFileTypes), Flattened(message));
}

TEST(MessageFlattenTest, RepeatedNamesInAFileJoinOneField)
{
    BMessage first;
    first.AddInt32("x", 1);
    Bytes a = Flattened(first);
    // Two copies of the field record, one after the other.
    Bytes bytes(a.begin(), a.end() - 1);
    bytes.insert(bytes.end(), a.begin() + 17, a.end());
    WriteUnaligned<uint32>(&bytes[8], uint32(bytes.size()));
    BMessage message;
    ASSERT_EQ(B_OK, message.Unflatten(bytes.data(), bytes.size()));
    int32 count = 0;
    message.GetInfo("x", nullptr, &count);
    EXPECT_EQ(2, count);

    // The same name with another type cannot be joined.
    bytes[17 + 1 + (a.size() - 18)] = 'Z';
    EXPECT_EQ(B_BAD_DATA, message.Unflatten(bytes.data(), bytes.size()));
}

TEST(MessageFlattenTest, DeeplyNestedInputIsRefused)
{
    auto nest = [](int levels) {
        Bytes bytes = kReiserfsFileTypes;
        for (int i = 0; i < levels; i++)
            bytes = WrapInR5({ bytes });
        return bytes;
    };
    BMessage message;
    Bytes allowed = nest(64);
    ASSERT_EQ(B_OK, message.Unflatten(allowed.data(), allowed.size()));
    EXPECT_GT(message.FlattenedSize(), 0);
    EXPECT_NE(std::string::npos, message.ToString().find("BMessage"));
    Bytes tooDeep = nest(65);
    EXPECT_EQ(B_BAD_DATA, message.Unflatten(tooDeep.data(), tooDeep.size()));
}

TEST(MessageFlattenTest, TruncatedMessagesAreRefused)
{
    Bytes file = ReadTestFile("Website_Login.wonderbrush");
    Bytes haiku = ReadTestFile("shortcuts_settings");
    for (const Bytes* bytes :
        std::initializer_list<const Bytes*> { &kUnzipFileTypes, &file, &haiku }) {
        for (size_t size = 0; size < bytes->size(); size += (size < 300 ? 1 : 97)) {
            // Exactly `size` bytes, so that a read past them is caught.
            std::unique_ptr<uint8[]> copy(new uint8[size + 1]);
            std::memcpy(copy.get(), bytes->data(), size);
            BMessage message('keep');
            EXPECT_NE(B_OK, message.Unflatten(copy.get(), size)) << size;
            EXPECT_TRUE(message.IsEmpty());
            EXPECT_EQ(0u, message.what);
        }
    }
}

// #pragma mark - Unflatten without a length, and streams

TEST(MessageFlattenTest, UnflattenWithoutALengthBelievesTheHeader)
{
    for (Bytes bytes : { kUnzipFileTypes, ReadTestFile("shortcuts_settings") }) {
        size_t size = bytes.size();
        bytes.resize(size + 64, 0xEE);
        BMessage message;
        ASSERT_EQ(B_OK, message.Unflatten(reinterpret_cast<const char*>(bytes.data())));
        EXPECT_FALSE(message.IsEmpty());
    }
    BMessage message;
    EXPECT_EQ(B_NOT_A_MESSAGE, message.Unflatten("not a message"));
    EXPECT_EQ(B_BAD_VALUE, message.Unflatten(static_cast<const char*>(nullptr)));
}

TEST(MessageFlattenTest, MessagesTravelThroughStreams)
{
    BMessage first('one!');
    first.AddString("text", "first");
    BMessage second('two!');
    second.AddInt64("number", -5);
    BMallocIO stream;
    ssize_t size = 0;
    ASSERT_EQ(B_OK, first.Flatten(&stream, &size));
    EXPECT_EQ(first.FlattenedSize(), size);
    ASSERT_EQ(B_OK, second.Flatten(&stream));
    // A Haiku message after them.
    Bytes haiku = ReadTestFile("shortcuts_settings");
    ASSERT_EQ(ssize_t(haiku.size()), stream.Write(haiku.data(), haiku.size()));

    stream.Seek(0, SEEK_SET);
    BMessage read;
    ASSERT_EQ(B_OK, read.Unflatten(&stream));
    EXPECT_TRUE(SameContent(first, read));
    EXPECT_EQ(size, stream.Position());
    ASSERT_EQ(B_OK, read.Unflatten(&stream));
    EXPECT_TRUE(SameContent(second, read));
    ASSERT_EQ(B_OK, read.Unflatten(&stream));
    EXPECT_EQ(1, read.CountNames(B_ANY_TYPE));
    EXPECT_TRUE(read.HasMessage("spec", 2));
    EXPECT_EQ(B_BAD_DATA, read.Unflatten(&stream));
    EXPECT_TRUE(read.IsEmpty());
}

TEST(MessageFlattenTest, AStreamThatEndsEarlyIsRefused)
{
    // The header claims two gigabytes; the stream holds a few bytes.
    Bytes bytes = kUnzipFileTypes;
    WriteUnaligned<uint32>(&bytes[8], 0x7FFFFFF0);
    BMemoryIO stream(bytes.data(), bytes.size());
    BMessage message;
    EXPECT_EQ(B_BAD_DATA, message.Unflatten(&stream));
    BMemoryIO text("plain text", 10);
    EXPECT_EQ(B_NOT_A_MESSAGE, message.Unflatten(&text));
    EXPECT_EQ(B_BAD_VALUE, message.Unflatten(static_cast<BDataIO*>(nullptr)));
}

} // namespace
