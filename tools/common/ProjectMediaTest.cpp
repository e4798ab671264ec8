#include "ProjectMedia.h"

#include <SoundTestSupport.h>
#include <TestSandbox.h>
#include <TypeConstants.h>

#include <cfloat>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace brenvik::test;
using brenvik::ReadAboutImage;
using brenvik::ReadSound;
using Bytes = std::vector<uint8>;

std::string WriteFile(const std::string& leaf, const Bytes& bytes)
{
    std::string path = MakeTempFolder("media") + "/" + leaf;
    WriteBytes(path, bytes);
    return path;
}

// A WAV file with a chunk between its format and its samples.
Bytes WavWith(const RiffChunk& between, const Bytes& samples)
{
    return MakeRiff({ { "fmt ", FmtBody(1, 1, 44100, 4, 32) }, between, { "data", samples } });
}

Bytes Flat(const BMessage& message)
{
    Bytes flat(size_t(message.FlattenedSize()));
    EXPECT_EQ(message.Flatten(reinterpret_cast<char*>(flat.data()), ssize_t(flat.size())), B_OK);
    return flat;
}

// A WAV file the authoring tool has always accepted, and the sound record it
// has always stored for it.
struct StoredWav {
    const char* name;
    Bytes file;
    Bytes samples;
    float rate;
    int32 channels;
    int32 format;
};

class StoredSoundRecord : public testing::TestWithParam<StoredWav> { };

TEST_P(StoredSoundRecord, IsTheOneStoredBefore)
{
    const StoredWav& wav = GetParam();
    BMessage expected;
    expected.AddData("data", B_ANY_TYPE, wav.samples.data(), ssize_t(wav.samples.size()), false);
    expected.AddFloat("frame_rate", wav.rate);
    expected.AddInt32("channel_count", wav.channels);
    expected.AddInt32("format", wav.format);
    expected.AddInt32("byte_order", 2);
    expected.AddInt32("buffer_size", 8192);

    BMessage audio;
    std::string error;
    ASSERT_TRUE(ReadSound(WriteFile("s.wav", wav.file), nullptr, &audio, &error)) << error;
    EXPECT_EQ(Flat(audio), Flat(expected));
}

const Bytes kShorts = { 1, 0, 2, 0, 3, 0, 4, 0 };

INSTANTIATE_TEST_SUITE_P(Wav, StoredSoundRecord,
    testing::Values(StoredWav { "Mono16", MakeWave(1, 1, 8000, 16, kShorts), kShorts, 8000, 1, 2 },
        StoredWav { "Mono8WithPadByte", MakeWave(1, 1, 22050, 8, { 9, 8, 7, 6, 5 }),
            { 9, 8, 7, 6, 5 }, 22050, 1, 0x11 },
        StoredWav { "Int32AfterAnOddChunk", WavWith({ "LIST", { 'a', 'b', 'c' } }, kShorts),
            kShorts, 44100, 1, 4 },
        StoredWav { "Float", MakeWave(3, 2, 48000, 32, kShorts), kShorts, 48000, 2, 0x24 }),
    [](const testing::TestParamInfo<StoredWav>& param) { return std::string(param.param.name); });

// Sounds that the installer could not play as the author meant, refused
// with the fault named.
struct RefusedSound {
    const char* name;
    Bytes file;
    const char* words;
};

class RefusedSoundTest : public testing::TestWithParam<RefusedSound> { };

TEST_P(RefusedSoundTest, NamesTheFault)
{
    BMessage audio;
    std::string error;
    EXPECT_FALSE(ReadSound(WriteFile("s.wav", GetParam().file), nullptr, &audio, &error));
    EXPECT_NE(error.find(GetParam().words), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(Wav, RefusedSoundTest,
    testing::Values(
        RefusedSound { "CutShort",
            MakeRiff({ { "fmt ", FmtBody(1, 1, 8000, 2, 16) }, { "data", kShorts, 100 } }),
            "the WAV file is cut short" },
        RefusedSound { "Empty", MakeWave(1, 1, 8000, 16, {}), "holds no sound" },
        RefusedSound { "Compressed", MakeWave(2, 1, 8000, 4, kShorts), "(encoding 2, 4 bits)" },
        RefusedSound { "TooMuchSound", MakeWave(1, 2, 44100, 16, Bytes(9 * 1024 * 1024)),
            "larger than 8 MB" }),
    [](const testing::TestParamInfo<RefusedSound>& param) {
        return std::string(param.param.name);
    });

TEST(ProjectMedia, AWavNeedsNoRawFormat)
{
    nlohmann::ordered_json raw = nlohmann::ordered_json::object();
    BMessage audio;
    std::string error;
    EXPECT_FALSE(
        ReadSound(WriteFile("s.wav", MakeWave(1, 1, 8000, 16, kShorts)), &raw, &audio, &error));
    EXPECT_EQ(error, "audio_format: only a raw sound needs one (this is a WAV file)");
}

// 24-bit samples become left-adjusted 32-bit ones, and an AIFF file keeps
// its big-endian samples: each is the same record the installer plays.
TEST(ProjectMedia, WiderSamplesAndAiffAreStoredInAPlayableForm)
{
    BMessage audio;
    std::string error;
    ASSERT_TRUE(ReadSound(WriteFile("s.wav", MakeWave(1, 1, 8000, 24, { 1, 2, 3, 4, 5, 6 })),
        nullptr, &audio, &error))
        << error;
    EXPECT_EQ(audio.GetInt32("format", 0), 4);
    const void* data = nullptr;
    ssize_t size = 0;
    ASSERT_EQ(audio.FindData("data", B_ANY_TYPE, &data, &size), B_OK);
    EXPECT_EQ(Bytes(static_cast<const uint8*>(data), static_cast<const uint8*>(data) + size),
        Bytes({ 0, 1, 2, 3, 0, 4, 5, 6 }));

    // 16-bit mono at 22050 Hz (an 80-bit extended number), two frames.
    Bytes aiff = { 'F', 'O', 'R', 'M', 0, 0, 0, 46, 'A', 'I', 'F', 'F', 'C', 'O', 'M', 'M', 0, 0, 0,
        18, 0, 1, 0, 0, 0, 2, 0, 16, 0x40, 0x0d, 0xac, 0x44, 0, 0, 0, 0, 0, 0, 'S', 'S', 'N', 'D',
        0, 0, 0, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0x12, 0x34, 0x56, 0x78 };
    ASSERT_TRUE(ReadSound(WriteFile("s.aiff", aiff), nullptr, &audio, &error)) << error;
    float rate = 0;
    ASSERT_EQ(audio.FindFloat("frame_rate", &rate), B_OK);
    EXPECT_EQ(rate, 22050.0f);
    EXPECT_EQ(audio.GetInt32("format", 0), 2);
    EXPECT_EQ(audio.GetInt32("byte_order", 0), 1);
    ASSERT_EQ(audio.FindData("data", B_ANY_TYPE, &data, &size), B_OK);
    EXPECT_EQ(size, 4);

    nlohmann::ordered_json raw = nlohmann::ordered_json::object();
    EXPECT_FALSE(ReadSound(WriteFile("s.aiff", aiff), &raw, &audio, &error));
    EXPECT_EQ(error, "audio_format: only a raw sound needs one (this is an AIFF file)");
}

// 64-bit floats become 32-bit ones: the record keeps to the sample formats
// the platform has always had. Values beyond a float's range are clamped.
TEST(ProjectMedia, DoubleSamplesAreStoredAsFloats)
{
    Bytes doubles;
    for (double value : { 1.0, -0.5, 1e300, -1e300 }) {
        uint64 bits;
        std::memcpy(&bits, &value, sizeof(bits));
        PutLittle(doubles, uint32(bits), 4);
        PutLittle(doubles, uint32(bits >> 32), 4);
    }
    BMessage audio;
    std::string error;
    ASSERT_TRUE(
        ReadSound(WriteFile("s.wav", MakeWave(3, 2, 8000, 64, doubles)), nullptr, &audio, &error))
        << error;
    EXPECT_EQ(audio.GetInt32("format", 0), 0x24);
    EXPECT_EQ(audio.GetInt32("channel_count", 0), 2);
    const void* data = nullptr;
    ssize_t size = 0;
    ASSERT_EQ(audio.FindData("data", B_ANY_TYPE, &data, &size), B_OK);
    ASSERT_EQ(size, 16);
    float floats[4];
    std::memcpy(floats, data, sizeof(floats));
    EXPECT_EQ(floats[0], 1.0f);
    EXPECT_EQ(floats[1], -0.5f);
    EXPECT_EQ(floats[2], FLT_MAX);
    EXPECT_EQ(floats[3], -FLT_MAX);
}

// A 5 by 3 PNG whose alpha falls from 255 on the right to 0 on the left,
// written by hand, and the pixels the about image has always stored for it:
// blue, green, red and 255, laid over the panel grey.
const Bytes kSamplePng = { 0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d,
    0x49, 0x48, 0x44, 0x52, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x03, 0x08, 0x06, 0x00, 0x00,
    0x00, 0x5b, 0x36, 0xc5, 0xf8, 0x00, 0x00, 0x00, 0x45, 0x49, 0x44, 0x41, 0x54, 0x78, 0xda, 0x63,
    0xe0, 0x12, 0x61, 0x65, 0x30, 0x12, 0x61, 0x75, 0x88, 0x12, 0x61, 0x6d, 0x68, 0x12, 0x61, 0x3d,
    0xb1, 0x4a, 0x84, 0xf5, 0x3f, 0x03, 0x57, 0x14, 0x50, 0x30, 0x4a, 0xd9, 0x21, 0x2a, 0xca, 0xb1,
    0xa1, 0x29, 0x2a, 0xfe, 0xc4, 0xaa, 0xa8, 0x5a, 0xa0, 0xe0, 0x02, 0xa0, 0xe0, 0x02, 0x47, 0x87,
    0xa8, 0x05, 0xb5, 0x0d, 0x4d, 0x0b, 0x76, 0x9e, 0x58, 0xb5, 0xe0, 0xeb, 0x7f, 0x00, 0x06, 0xee,
    0x15, 0xf1, 0xf5, 0x66, 0x55, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42,
    0x60, 0x82 };
const Bytes kSamplePixels = { 216, 216, 216, 255, 163, 166, 174, 255, 110, 117, 152, 255, 50, 62,
    148, 255, 5, 20, 170, 255, 216, 216, 216, 255, 170, 184, 174, 255, 140, 152, 152, 255, 121, 117,
    148, 255, 125, 90, 170, 255, 216, 216, 216, 255, 178, 201, 174, 255, 170, 187, 152, 255, 191,
    172, 148, 255, 245, 160, 170, 255 };

TEST(ProjectMedia, TheArchivedAboutImageIsTheOneStoredBefore)
{
    BMessage expected;
    expected.AddString("class", "BBitmap");
    expected.AddRect("_frame", BRect(0, 0, 4, 2));
    expected.AddInt32("_cspace", 8);
    expected.AddInt32("_bmflags", 1);
    expected.AddInt32("_rowbytes", 20);
    expected.AddData("_data", B_RAW_TYPE, kSamplePixels.data(), ssize_t(kSamplePixels.size()));

    BMessage bitmap;
    std::string error;
    ASSERT_TRUE(ReadAboutImage(WriteFile("about.png", kSamplePng), &bitmap, &error)) << error;
    EXPECT_EQ(Flat(bitmap), Flat(expected));
}

// A bottom-up 24-bit BMP, `width` by `height`, of `pixels` (blue, green, red,
// rows padded to four bytes), with no data when `pixels` is empty.
Bytes MakeBmp(int32 width, int32 height, const Bytes& pixels)
{
    Bytes out = { 'B', 'M' };
    PutLittle(out, uint32(54 + pixels.size()), 4);
    PutLittle(out, 0, 4);
    PutLittle(out, 54, 4);
    PutLittle(out, 40, 4);
    PutLittle(out, uint32(width), 4);
    PutLittle(out, uint32(height), 4);
    PutLittle(out, 1, 2);
    PutLittle(out, 24, 2);
    PutLittle(out, 0, 4);
    PutLittle(out, uint32(pixels.size()), 4);
    for (int i = 0; i < 4; i++)
        PutLittle(out, 0, 4);
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

TEST(ProjectMedia, OtherPictureFormatsAreReadToo)
{
    BMessage bitmap;
    std::string error;
    ASSERT_TRUE(ReadAboutImage(
        WriteFile("about.bmp", MakeBmp(2, 1, { 10, 20, 30, 40, 50, 60, 0, 0 })), &bitmap, &error))
        << error;
    EXPECT_EQ(bitmap.GetInt32("_cspace", 0), 8);
    EXPECT_EQ(bitmap.GetInt32("_rowbytes", 0), 8);
    const void* data = nullptr;
    ssize_t size = 0;
    ASSERT_EQ(bitmap.FindData("_data", B_RAW_TYPE, &data, &size), B_OK);
    EXPECT_EQ(Bytes(static_cast<const uint8*>(data), static_cast<const uint8*>(data) + size),
        Bytes({ 10, 20, 30, 255, 40, 50, 60, 255 }));
}

struct RefusedPicture {
    const char* name;
    const char* leaf;
    Bytes file;
    const char* words;
};

class RefusedPictureTest : public testing::TestWithParam<RefusedPicture> { };

TEST_P(RefusedPictureTest, NamesTheFault)
{
    BMessage bitmap;
    std::string error;
    EXPECT_FALSE(ReadAboutImage(WriteFile(GetParam().leaf, GetParam().file), &bitmap, &error));
    EXPECT_NE(error.find(GetParam().words), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(Pictures, RefusedPictureTest,
    testing::Values(RefusedPicture { "Text", "about.png",
                        { 'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e' },
                        "about.png\" is not a readable picture" },
        RefusedPicture { "CutPng", "about.png", Bytes(kSamplePng.begin(), kSamplePng.begin() + 60),
            "is not a readable picture" },
        RefusedPicture { "LargerThanTheView", "about.bmp", MakeBmp(1025, 1, Bytes(3080)),
            "larger than 1024 by 1024" },
        // Beyond what the kit decodes at all: refused before any pixel is made.
        RefusedPicture {
            "HugeBmp", "about.bmp", MakeBmp(20000, 20000, {}), "larger than 1024 by 1024" }),
    [](const testing::TestParamInfo<RefusedPicture>& param) {
        return std::string(param.param.name);
    });

} // namespace
