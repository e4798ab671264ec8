#pragma once

// Helpers shared by the message tests: test files, deep comparison, and a few
// small independent writers and walkers of the R5 form, so that the tests do
// not check the message code against itself.

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <ByteOrder.h>
#include <Message.h>
#include <TypeConstants.h>

#include "TestSandbox.h"

namespace message_test {

using Bytes = std::vector<uint8>;

// The BEOS:FILE_TYPES resource of unzip.rsc (file offset 2001), written by
// BeOS R5: field "types" = "application/zip" in the compact encoding. The
// four padding bytes at offset 49 hold garbage (00 0F 47 4E), as BeOS left
// them.
inline const Bytes kUnzipFileTypes = { 0x31, 0x42, 0x4f, 0x46, 0x01, 0x00, 0x00, 0x36, 0x36, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x0b, 0x52, 0x54, 0x53, 0x43, 0x18, 0x05, 0x74, 0x79,
    0x70, 0x65, 0x73, 0x10, 0x00, 0x00, 0x00, 0x61, 0x70, 0x70, 0x6c, 0x69, 0x63, 0x61, 0x74, 0x69,
    0x6f, 0x6e, 0x2f, 0x7a, 0x69, 0x70, 0x00, 0x00, 0x0f, 0x47, 0x4e, 0x00 };

// The BEOS:FILE_TYPES resource of reiserfs.rsrc (file offset 2007): the
// smallest R5 message, what 0 and no fields.
inline const Bytes kReiserfsFileTypes = { 0x31, 0x42, 0x4f, 0x46, 0x01, 0x00, 0x00, 0x12, 0x12,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00 };

inline Bytes ReadTestFile(const std::string& leaf)
{
    std::ifstream file(brenvik::test::TestDataPath("haiku-data/" + leaf), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A test file without the 4-byte "IMSG" prefix of vector-icon documents.
inline Bytes ReadIconMessage(const std::string& leaf)
{
    Bytes bytes = ReadTestFile(leaf);
    if (bytes.size() >= 4 && std::memcmp(bytes.data(), "IMSG", 4) == 0)
        bytes.erase(bytes.begin(), bytes.begin() + 4);
    return bytes;
}

inline std::string TypeName(type_code type)
{
    return std::string { char(type >> 24), char(type >> 16), char(type >> 8), char(type) };
}

inline Bytes Flattened(const BMessage& message)
{
    Bytes bytes(size_t(std::max<ssize_t>(message.FlattenedSize(), 0)));
    EXPECT_EQ(B_OK, message.Flatten(reinterpret_cast<char*>(bytes.data()), ssize_t(bytes.size())));
    return bytes;
}

// Items per type over the whole tree of nested messages; a nested message
// counts as one MSGG item.
inline void CountItemsByType(const BMessage& message, std::map<std::string, int32>& counts)
{
    char* name;
    type_code type;
    int32 count;
    for (int32 i = 0; message.GetInfo(B_ANY_TYPE, i, &name, &type, &count) == B_OK; i++) {
        counts[TypeName(type)] += count;
        if (type != B_MESSAGE_TYPE)
            continue;
        for (int32 j = 0; j < count; j++) {
            BMessage nested;
            EXPECT_EQ(B_OK, message.FindMessage(name, j, &nested));
            CountItemsByType(nested, counts);
        }
    }
}

inline std::map<std::string, int32> CountItemsByType(const BMessage& message)
{
    std::map<std::string, int32> counts;
    CountItemsByType(message, counts);
    return counts;
}

// Same code, same fields in the same order, same items; nested messages are
// compared by content, not by their flattened bytes.
inline ::testing::AssertionResult SameContent(const BMessage& a, const BMessage& b)
{
    if (a.what != b.what)
        return ::testing::AssertionFailure() << "what differs";
    if (a.CountNames(B_ANY_TYPE) != b.CountNames(B_ANY_TYPE))
        return ::testing::AssertionFailure() << "field count differs";
    char* nameA;
    char* nameB;
    type_code typeA;
    type_code typeB;
    int32 countA;
    int32 countB;
    for (int32 i = 0; a.GetInfo(B_ANY_TYPE, i, &nameA, &typeA, &countA) == B_OK; i++) {
        b.GetInfo(B_ANY_TYPE, i, &nameB, &typeB, &countB);
        if (std::strcmp(nameA, nameB) != 0 || typeA != typeB || countA != countB)
            return ::testing::AssertionFailure() << "field " << i << " (" << nameA << ") differs";
        for (int32 j = 0; j < countA; j++) {
            if (typeA == B_MESSAGE_TYPE) {
                BMessage nestedA;
                BMessage nestedB;
                a.FindMessage(nameA, j, &nestedA);
                b.FindMessage(nameB, j, &nestedB);
                auto result = SameContent(nestedA, nestedB);
                if (!result)
                    return result << " in " << nameA << "[" << j << "]";
                continue;
            }
            const void* dataA;
            const void* dataB;
            ssize_t sizeA;
            ssize_t sizeB;
            if (a.FindData(nameA, typeA, j, &dataA, &sizeA) != B_OK
                || b.FindData(nameB, typeB, j, &dataB, &sizeB) != B_OK)
                return ::testing::AssertionFailure() << nameA << "[" << j << "] not found";
            if (sizeA != sizeB || std::memcmp(dataA, dataB, size_t(sizeA)) != 0)
                return ::testing::AssertionFailure() << nameA << "[" << j << "] differs";
        }
    }
    return ::testing::AssertionSuccess();
}

// One field record of an R5 message, as WalkR5 finds it: offsets into the
// message bytes.
struct R5FieldRecord {
    uint8 flags;
    uint32 type;
    uint32 count;
    size_t typeAt;
    size_t countAt; // 0 for single-item fields
    size_t lengthAt;
    size_t data;
    uint32 length;
};

// Walks a little-endian R5 message (BeOS's own layout, independently of the
// code under test) and calls `visit` for every field, nested messages
// included.
template <typename Visit> inline void WalkR5(const Bytes& bytes, size_t start, Visit visit)
{
    size_t position = start + 17;
    uint8 headerFlags = bytes[start + 16];
    position += (headerFlags & 0x02) ? 4 : 0;
    position += (headerFlags & 0x04) ? 16 : 0;
    while (bytes[position] & 0x01) {
        R5FieldRecord field {};
        field.flags = bytes[position++];
        bool mini = field.flags & 0x02;
        field.typeAt = position;
        field.type = ReadUnaligned<uint32>(&bytes[position]);
        position += 4;
        field.count = 1;
        if (!(field.flags & 0x08)) {
            field.countAt = position;
            field.count = mini ? bytes[position] : ReadUnaligned<uint32>(&bytes[position]);
            position += mini ? 1 : 4;
        }
        field.lengthAt = position;
        field.length = mini ? bytes[position] : ReadUnaligned<uint32>(&bytes[position]);
        position += mini ? 1 : 4;
        position += 1 + bytes[position];
        field.data = position;
        visit(field);
        if (!(field.flags & 0x04) && field.type == B_MESSAGE_TYPE) {
            size_t item = position;
            for (uint32 i = 0; i < field.count; i++) {
                uint32 itemLength = ReadUnaligned<uint32>(&bytes[item]);
                WalkR5(bytes, item + 4, visit);
                item += (4 + itemLength + 7) / 8 * 8;
            }
        }
        position += field.length;
    }
}

// Which bytes of an R5 message are padding of variable-size items.
inline std::vector<bool> R5PaddingMask(const Bytes& bytes)
{
    std::vector<bool> mask(bytes.size(), false);
    WalkR5(bytes, 0, [&](const R5FieldRecord& field) {
        if (field.flags & 0x04)
            return;
        size_t item = field.data;
        for (uint32 i = 0; i < field.count; i++) {
            uint32 length = ReadUnaligned<uint32>(&bytes[item]);
            size_t end = item + (4 + length + 7) / 8 * 8;
            for (size_t p = item + 4 + length; p < end; p++)
                mask[p] = true;
            item = end;
        }
    });
    return mask;
}

// Converts a little-endian R5 message into the big-endian form a PowerPC
// BeOS machine wrote: every header number, type code, count, length and
// item word swapped, nested messages too.
inline Bytes SwapR5(Bytes bytes)
{
    auto swap32 = [&](size_t at) {
        WriteUnaligned<uint32>(&bytes[at], SwapUInt32(ReadUnaligned<uint32>(&bytes[at])));
    };
    std::vector<size_t> headers = { 0 };
    std::vector<size_t> words;
    WalkR5(bytes, 0, [&](const R5FieldRecord& field) {
        bool mini = field.flags & 0x02;
        words.push_back(field.typeAt);
        if (!mini) {
            words.push_back(field.lengthAt);
            if (field.countAt != 0)
                words.push_back(field.countAt);
        }
        if (field.flags & 0x04) {
            swap_data(field.type, &bytes[field.data], field.length, B_SWAP_ALWAYS);
            return;
        }
        size_t item = field.data;
        for (uint32 i = 0; i < field.count; i++) {
            uint32 itemLength = ReadUnaligned<uint32>(&bytes[item]);
            if (field.type == B_MESSAGE_TYPE)
                headers.push_back(item + 4);
            else
                swap_data(field.type, &bytes[item + 4], itemLength, B_SWAP_ALWAYS);
            words.push_back(item);
            item += (4 + itemLength + 7) / 8 * 8;
        }
    });
    // Numbers are swapped only after the walk, which reads them.
    for (size_t at : words)
        swap32(at);
    for (size_t start : headers) {
        for (size_t at = start; at < start + 16; at += 4)
            swap32(at);
        if (bytes[start + 16] & 0x02)
            swap32(start + 17);
    }
    return bytes;
}

// A minimal R5 message with one field holding the given items as nested
// messages, written without the compact encoding.
inline Bytes WrapInR5(const std::vector<Bytes>& items, const std::string& name = "nested")
{
    Bytes out(17, 0);
    WriteUnaligned<uint32>(&out[0], B_MESSAGE_FORMAT_R5);
    out[16] = 0x01;
    auto put32 = [&](uint32 value) {
        out.resize(out.size() + 4);
        WriteUnaligned<uint32>(&out[out.size() - 4], value);
    };
    uint32 dataLength = 0;
    for (const Bytes& item : items)
        dataLength += uint32((4 + item.size() + 7) / 8 * 8);
    out.push_back(items.size() == 1 ? 0x09 : 0x01);
    put32(B_MESSAGE_TYPE);
    if (items.size() != 1)
        put32(uint32(items.size()));
    put32(dataLength);
    out.push_back(uint8(name.size()));
    out.insert(out.end(), name.begin(), name.end());
    for (const Bytes& item : items) {
        put32(uint32(item.size()));
        out.insert(out.end(), item.begin(), item.end());
        out.insert(out.end(), (8 - (4 + item.size()) % 8) % 8, 0);
    }
    out.push_back(0);
    WriteUnaligned<uint32>(&out[8], uint32(out.size()));
    return out;
}

} // namespace message_test
