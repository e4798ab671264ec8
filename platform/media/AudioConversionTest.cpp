#include <AudioConversion.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

using BPrivate::ConvertAudioLayout;
using BPrivate::ConvertSoundForPlayback;
using BPrivate::DecodeAudioSamples;
using Format = media_raw_audio_format;

namespace {

// One sample format with a few samples given as their bit patterns, and
// the floats they stand for.
struct SampleCase {
    const char* name;
    uint32 format;
    std::vector<uint64> bits;
    std::vector<float> expected;
};

uint64 FloatBits(float value)
{
    uint32 bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

uint64 DoubleBits(double value)
{
    uint64 bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

const float kNaN = std::numeric_limits<float>::quiet_NaN();

const SampleCase kSampleCases[] = {
    { "UChar", Format::B_AUDIO_UCHAR, { 0, 128, 255, 64 }, { -1.0f, 0.0f, 127.0f / 128, -0.5f } },
    { "Char", Format::B_AUDIO_CHAR, { 0x80, 0, 0x7f, 0xc0 }, { -1.0f, 0.0f, 127.0f / 128, -0.5f } },
    { "Short", Format::B_AUDIO_SHORT, { 0x8000, 0, 0x4000, 0x7fff, 0xc000 },
        { -1.0f, 0.0f, 0.5f, 32767.0f / 32768, -0.5f } },
    { "Int", Format::B_AUDIO_INT, { 0x80000000u, 0, 0x40000000u, 0xc0000000u, 0x00010000u },
        { -1.0f, 0.0f, 0.5f, -0.5f, 1.0f / 32768 } },
    { "Float", Format::B_AUDIO_FLOAT,
        { FloatBits(-1.0f), FloatBits(0.0f), FloatBits(0.25f), FloatBits(kNaN),
            FloatBits(std::numeric_limits<float>::infinity()) },
        { -1.0f, 0.0f, 0.25f, 0.0f, 0.0f } },
    { "Double", Format::B_AUDIO_DOUBLE, { DoubleBits(-0.75), DoubleBits(0.5), DoubleBits(0.0) },
        { -0.75f, 0.5f, 0.0f } },
};

// The samples laid out in `byteOrder`.
std::vector<uint8> Encode(const SampleCase& sample, uint32 byteOrder)
{
    size_t size = BPrivate::AudioSampleSize(sample.format);
    std::vector<uint8> out;
    for (uint64 value : sample.bits) {
        for (size_t i = 0; i < size; i++) {
            size_t shift = byteOrder == B_MEDIA_BIG_ENDIAN ? size - 1 - i : i;
            out.push_back(uint8(value >> (8 * shift)));
        }
    }
    return out;
}

class DecodeSamples : public testing::TestWithParam<std::tuple<SampleCase, uint32>> { };

TEST_P(DecodeSamples, GivesTheValuesTheSamplesStandFor)
{
    const auto& [sample, byteOrder] = GetParam();
    std::vector<uint8> bytes = Encode(sample, byteOrder);
    std::vector<float> out(sample.bits.size(), 99.0f);
    DecodeAudioSamples(bytes.data(), out.size(), sample.format, byteOrder, out.data());
    for (size_t i = 0; i < out.size(); i++)
        EXPECT_FLOAT_EQ(out[i], sample.expected[i]) << "sample " << i;
}

INSTANTIATE_TEST_SUITE_P(EveryFormatAndByteOrder, DecodeSamples,
    testing::Combine(testing::ValuesIn(kSampleCases),
        testing::Values(uint32(B_MEDIA_BIG_ENDIAN), uint32(B_MEDIA_LITTLE_ENDIAN))),
    [](const testing::TestParamInfo<DecodeSamples::ParamType>& param) {
        return std::string(std::get<0>(param.param).name)
            + (std::get<1>(param.param) == B_MEDIA_BIG_ENDIAN ? "BigEndian" : "LittleEndian");
    });

TEST(DecodeSamples, ByteOrderZeroMeansTheHostsOrder)
{
    int16 value = 0x4000;
    float out = 0;
    DecodeAudioSamples(&value, 1, Format::B_AUDIO_SHORT, 0, &out);
    EXPECT_FLOAT_EQ(out, 0.5f);
}

TEST(DecodeSamples, UnknownFormatGivesSilence)
{
    uint8 bytes[4] = { 1, 2, 3, 4 };
    float out[2] = { 5, 5 };
    DecodeAudioSamples(bytes, 2, 0x3, B_MEDIA_LITTLE_ENDIAN, out);
    EXPECT_EQ(out[0], 0.0f);
    EXPECT_EQ(out[1], 0.0f);
}

TEST(ConvertAudioLayout, SameLayoutCopiesUpToTheLimit)
{
    std::vector<float> in = { 0.1f, 0.2f, 0.3f, 0.4f };
    std::vector<float> out;
    ASSERT_EQ(ConvertAudioLayout(in, 2, 44100, 2, 44100, 3, &out), B_OK);
    EXPECT_EQ(out, std::vector<float>({ 0.1f, 0.2f, 0.3f }));
}

TEST(ConvertAudioLayout, MonoBecomesTheSameOnBothChannels)
{
    std::vector<float> in(256, 0.5f);
    std::vector<float> out;
    ASSERT_EQ(ConvertAudioLayout(in, 1, 22050, 2, 22050, SIZE_MAX, &out), B_OK);
    ASSERT_EQ(out.size(), 512u);
    for (size_t frame = 0; frame < 256; frame++) {
        EXPECT_FLOAT_EQ(out[2 * frame], out[2 * frame + 1]);
        EXPECT_NEAR(out[2 * frame], 0.5f, 0.01f);
    }
}

TEST(ConvertAudioLayout, StereoBecomesTheMeanInMono)
{
    std::vector<float> in;
    for (int i = 0; i < 128; i++)
        in.insert(in.end(), { 0.6f, 0.2f });
    std::vector<float> out;
    ASSERT_EQ(ConvertAudioLayout(in, 2, 8000, 1, 8000, SIZE_MAX, &out), B_OK);
    ASSERT_EQ(out.size(), 128u);
    for (float value : out)
        EXPECT_NEAR(value, 0.4f, 0.01f);
}

class ChangeRate : public testing::TestWithParam<uint32> { };

TEST_P(ChangeRate, DoublingTheRateDoublesTheFramesAndKeepsTheLevel)
{
    uint32 channels = GetParam();
    std::vector<float> in(22050 * channels, -0.25f);
    std::vector<float> out;
    ASSERT_EQ(ConvertAudioLayout(in, channels, 22050, channels, 44100, SIZE_MAX, &out), B_OK);
    size_t frames = out.size() / channels;
    EXPECT_NEAR(double(frames), 44100.0, 64.0);
    // Away from the edges, where the filter sees the signal start and end.
    for (size_t i = 200 * channels; i + 200 * channels < out.size(); i++)
        ASSERT_NEAR(out[i], -0.25f, 0.01f) << "at " << i;
}

INSTANTIATE_TEST_SUITE_P(ChannelCounts, ChangeRate, testing::Values(1u, 2u, 6u, 8u));

TEST(ConvertAudioLayout, RefusesMissingChannelsOrRates)
{
    std::vector<float> in(8, 0.0f);
    std::vector<float> out;
    EXPECT_EQ(ConvertAudioLayout(in, 0, 44100, 2, 44100, SIZE_MAX, &out), B_BAD_VALUE);
    EXPECT_EQ(ConvertAudioLayout(in, 1, 0.2f, 2, 44100, SIZE_MAX, &out), B_BAD_VALUE);
}

TEST(ConvertSoundForPlayback, ShortLittleEndianMonoToFloatStereo)
{
    std::vector<int16> samples(2205, int16(-16384));
    Format source = { 22050.0f, 1, Format::B_AUDIO_SHORT, B_MEDIA_LITTLE_ENDIAN, 8192 };
    Format target = { 44100.0f, 2, Format::B_AUDIO_FLOAT, B_MEDIA_HOST_ENDIAN, 0 };
    std::vector<float> out;
    ASSERT_EQ(
        ConvertSoundForPlayback(samples.data(), samples.size() * 2, source, target, SIZE_MAX, &out),
        B_OK);
    EXPECT_NEAR(double(out.size()), 2 * 4410.0, 128.0);
    EXPECT_NEAR(out[out.size() / 2], -0.5f, 0.01f);
    EXPECT_FLOAT_EQ(out[out.size() / 2], out[out.size() / 2 + 1]);
}

TEST(ConvertSoundForPlayback, IgnoresAPartialFrameAtTheEnd)
{
    uint8 bytes[5] = { 0, 0x40, 0, 0xc0, 0x7f };
    Format source = { 8000.0f, 1, Format::B_AUDIO_SHORT, B_MEDIA_LITTLE_ENDIAN, 0 };
    std::vector<float> out;
    ASSERT_EQ(ConvertSoundForPlayback(bytes, sizeof(bytes), source, source, SIZE_MAX, &out), B_OK);
    EXPECT_EQ(out, std::vector<float>({ 0.5f, -0.5f }));
}

TEST(ConvertSoundForPlayback, RefusesAnUnplayableSource)
{
    uint8 bytes[4] = {};
    Format source = { 8000.0f, 1, 0x7, B_MEDIA_LITTLE_ENDIAN, 0 };
    std::vector<float> out;
    EXPECT_EQ(
        ConvertSoundForPlayback(bytes, sizeof(bytes), source, source, SIZE_MAX, &out), B_BAD_VALUE);
}

} // namespace
