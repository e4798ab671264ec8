// Damaged and hostile flattened messages: thousands of randomly mutated or
// truncated copies of real message files must each be either refused or
// read, never crash, read out of bounds or allocate without limit. Run it
// under AddressSanitizer to make the "never" checkable (the asan label).

#include <Message.h>

#include <cstring>
#include <memory>
#include <random>

#include <gtest/gtest.h>

#include "MessageTestUtils.h"

using namespace message_test;

namespace {

constexpr int kMutations = 10000;

std::vector<Bytes> Samples()
{
    Bytes wonderBrush = ReadTestFile("Website_Login.wonderbrush");
    return { kUnzipFileTypes, kReiserfsFileTypes, wonderBrush, SwapR5(wonderBrush),
        ReadIconMessage("Alert_Idea"), ReadIconMessage("Copy"), ReadTestFile("shortcuts_settings"),
        WrapInR5({ ReadTestFile("shortcuts_settings"), kUnzipFileTypes }) };
}

// Numbers that tend to reach the edges of length checks.
constexpr uint32 kEdgeValues[]
    = { 0, 1, 3, 4, 7, 8, 0xFF, 0x100, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFF8 };

Bytes Mutate(const Bytes& original, std::mt19937& random)
{
    Bytes bytes = original;
    auto position
        = [&]() { return std::uniform_int_distribution<size_t>(0, bytes.size() - 1)(random); };
    int edits = std::uniform_int_distribution<int>(1, 4)(random);
    for (int e = 0; e < edits && !bytes.empty(); e++) {
        switch (std::uniform_int_distribution<int>(0, 5)(random)) {
        case 0: // flip some bits
            bytes[position()] ^= uint8(1u << (random() % 8));
            break;
        case 1: // a random byte
            bytes[position()] = uint8(random());
            break;
        case 2: { // an edge value where a length might be
            size_t at = position();
            if (at + 4 <= bytes.size())
                WriteUnaligned<uint32>(&bytes[at], kEdgeValues[random() % std::size(kEdgeValues)]);
            break;
        }
        case 3: // cut the end off
            bytes.resize(position());
            break;
        case 4: { // drop a few bytes from the middle
            size_t at = position();
            size_t count = std::min<size_t>(bytes.size() - at, 1 + random() % 16);
            bytes.erase(bytes.begin() + ssize_t(at), bytes.begin() + ssize_t(at + count));
            break;
        }
        default: { // repeat a piece
            size_t at = position();
            size_t count = std::min<size_t>(bytes.size() - at, 1 + random() % 32);
            Bytes piece(bytes.begin() + ssize_t(at), bytes.begin() + ssize_t(at + count));
            bytes.insert(bytes.begin() + ssize_t(position()), piece.begin(), piece.end());
            break;
        }
        }
    }
    return bytes;
}

TEST(MessageRobustnessTest, MutatedMessagesAreReadOrRefusedCleanly)
{
#if defined(__SANITIZE_THREAD__)
    // Single-threaded parsing: this belongs to the AddressSanitizer run, where
    // it runs in full; under ThreadSanitizer it would only cost minutes.
    GTEST_SKIP() << "runs under AddressSanitizer, not ThreadSanitizer";
#endif
    std::vector<Bytes> samples = Samples();
    std::mt19937 random(20240611);
    int read = 0;
    for (int i = 0; i < kMutations; i++) {
        Bytes bytes = Mutate(samples[size_t(i) % samples.size()], random);
        // An allocation of exactly the input's size, so that reading one
        // byte too far is caught.
        std::unique_ptr<uint8[]> input(new uint8[std::max<size_t>(bytes.size(), 1)]);
        std::memcpy(input.get(), bytes.data(), bytes.size());

        BMessage message('prev');
        message.AddInt32("previous", 1);
        status_t status = message.Unflatten(input.get(), bytes.size());
        if (status != B_OK) {
            ASSERT_LT(status, B_OK);
            ASSERT_TRUE(message.IsEmpty()) << i;
            ASSERT_EQ(0u, message.what) << i;
            continue;
        }
        read++;
        // Whatever was accepted can be printed, written and read back.
        message.ToString();
        Bytes flattened = Flattened(message);
        BMessage again;
        ASSERT_EQ(B_OK, again.Unflatten(flattened.data(), flattened.size())) << i;
        // Our own output is canonical: writing it again gives the same bytes.
        ASSERT_EQ(flattened, Flattened(again)) << i;
    }
    // Mutations that miss the structure (item bytes, padding) still read.
    EXPECT_GT(read, kMutations / 20);
    EXPECT_LT(read, kMutations);
}

TEST(MessageRobustnessTest, HugeClaimedCountsAndLengthsAreRefused)
{
    // One field record whose count and length claim far more than is there.
    for (uint32 claim : { 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 0x10000000u }) {
        Bytes bytes = { 0x31, 0x42, 0x4f, 0x46, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0x01, 'G',
            'N', 'O', 'L' };
        bytes.resize(bytes.size() + 8);
        WriteUnaligned<uint32>(&bytes[22], claim);
        WriteUnaligned<uint32>(&bytes[26], claim);
        bytes.push_back(1);
        bytes.push_back('n');
        bytes.insert(bytes.end(), { 1, 2, 3, 4, 0 });
        WriteUnaligned<uint32>(&bytes[8], uint32(bytes.size()));
        BMessage message;
        EXPECT_EQ(B_BAD_DATA, message.Unflatten(bytes.data(), bytes.size())) << claim;
    }
}

} // namespace
