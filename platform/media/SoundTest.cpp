#include <Sound.h>

#include <Entry.h>
#include <SoundFile.h>
#include <SoundTestSupport.h>
#include <TestSandbox.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

using namespace brenvik::test;
using BPrivate::DecodedSound;
using BPrivate::DecodeSoundFile;
using Format = media_raw_audio_format;

namespace {

// Releases the creator's reference when the test ends.
struct SoundRef {
    explicit SoundRef(BSound* sound)
        : fSound(sound)
    {
    }
    ~SoundRef() { fSound->ReleaseRef(); }
    BSound* operator->() const { return fSound; }
    BSound* Get() const { return fSound; }
    BSound* fSound;
};

BSound* SoundFromFile(const std::string& leaf, const std::vector<uint8>& bytes)
{
    std::string path = MakeTempFolder("sound") + "/" + leaf;
    WriteBytes(path, bytes);
    entry_ref ref;
    EXPECT_EQ(get_ref_for_path(path.c_str(), &ref), B_OK);
    return new BSound(&ref, true);
}

TEST(Sound, FromMemoryDescribesItsSamples)
{
    std::vector<int16> samples(22050, 0);
    Format format = { 22050.0f, 1, Format::B_AUDIO_SHORT, B_MEDIA_LITTLE_ENDIAN, 8192 };
    SoundRef sound(new BSound(samples.data(), samples.size() * 2, format));
    ASSERT_EQ(sound->InitCheck(), B_OK);
    EXPECT_EQ(sound->Format(), format);
    EXPECT_EQ(sound->Duration(), 1000000);
    EXPECT_EQ(sound->Size(), off_t(44100));
    EXPECT_EQ(sound->Data(), samples.data());
}

TEST(Sound, FreesTheCallersBufferWhenAsked)
{
    // Under the address sanitizer a leak here would fail the test program.
    void* data = std::malloc(400);
    Format format = { 8000.0f, 2, Format::B_AUDIO_FLOAT, B_MEDIA_HOST_ENDIAN, 0 };
    BSound* sound = new BSound(data, 400, format, true);
    EXPECT_EQ(sound->Duration(), 50 * 1000000 / 8000);
    EXPECT_FALSE(sound->ReleaseRef());
}

TEST(Sound, RejectsUnplayableFormats)
{
    uint8 bytes[16] = {};
    const Format bad[] = {
        { 0.0f, 1, Format::B_AUDIO_SHORT, B_MEDIA_LITTLE_ENDIAN, 0 },
        { 8000.0f, 0, Format::B_AUDIO_SHORT, B_MEDIA_LITTLE_ENDIAN, 0 },
        { 8000.0f, 1, 0x3, B_MEDIA_LITTLE_ENDIAN, 0 },
        { 8000.0f, 1, Format::B_AUDIO_SHORT, 7, 0 },
        { 8000.0f, 9, Format::B_AUDIO_SHORT, B_MEDIA_LITTLE_ENDIAN, 0 },
    };
    for (const Format& format : bad) {
        SoundRef sound(new BSound(bytes, sizeof(bytes), format));
        EXPECT_EQ(sound->InitCheck(), B_BAD_VALUE);
        EXPECT_EQ(sound->Duration(), 0);
    }
    SoundRef noData(new BSound(nullptr, 16, bad[0]));
    EXPECT_EQ(noData->InitCheck(), B_BAD_VALUE);
}

TEST(Sound, CountsReferences)
{
    uint8 bytes[4] = {};
    Format format = { 8000.0f, 1, Format::B_AUDIO_UCHAR, B_MEDIA_LITTLE_ENDIAN, 0 };
    BSound* sound = new BSound(bytes, sizeof(bytes), format);
    EXPECT_EQ(sound->AcquireRef(), sound);
    EXPECT_EQ(sound->RefCount(), 2);
    EXPECT_TRUE(sound->ReleaseRef());
    EXPECT_FALSE(sound->ReleaseRef());
}

TEST(Sound, GetDataAtCopiesWhatIsThere)
{
    uint8 bytes[6] = { 1, 2, 3, 4, 5, 6 };
    Format format = { 8000.0f, 1, Format::B_AUDIO_UCHAR, B_MEDIA_LITTLE_ENDIAN, 0 };
    SoundRef sound(new BSound(bytes, sizeof(bytes), format));
    uint8 out[4] = {};
    size_t used = 99;
    ASSERT_TRUE(sound->GetDataAt(4, out, sizeof(out), &used));
    EXPECT_EQ(used, 2u);
    EXPECT_EQ(out[0], 5);
    EXPECT_EQ(out[1], 6);
    EXPECT_FALSE(sound->GetDataAt(6, out, sizeof(out), &used));
    EXPECT_EQ(used, 0u);
    EXPECT_FALSE(sound->GetDataAt(-1, out, sizeof(out), &used));
}

TEST(Sound, ReadsA16BitWaveFile)
{
    std::vector<uint8> samples = ShortSamples({ 1000, -1000, 2000, -2000 });
    SoundRef sound(SoundFromFile("beep.wav", MakeWave(1, 2, 11025, 16, samples)));
    ASSERT_EQ(sound->InitCheck(), B_OK);
    EXPECT_EQ(sound->Format().frame_rate, 11025.0f);
    EXPECT_EQ(sound->Format().channel_count, 2u);
    EXPECT_EQ(sound->Format().format, uint32(Format::B_AUDIO_SHORT));
    EXPECT_EQ(sound->Format().byte_order, uint32(B_MEDIA_LITTLE_ENDIAN));
    ASSERT_EQ(sound->Size(), off_t(samples.size()));
    EXPECT_EQ(std::memcmp(sound->Data(), samples.data(), samples.size()), 0);
}

TEST(Sound, MissingOrUnreadableFilesFailCleanly)
{
    entry_ref missing;
    std::string folder = MakeTempFolder("sound");
    ASSERT_EQ(get_ref_for_path((folder + "/none.wav").c_str(), &missing), B_OK);
    SoundRef sound(new BSound(&missing));
    EXPECT_NE(sound->InitCheck(), B_OK);
    SoundRef text(SoundFromFile("notes.txt", { 'h', 'e', 'l', 'l', 'o' }));
    EXPECT_EQ(text->InitCheck(), B_BAD_DATA);
    SoundRef none(new BSound(static_cast<const entry_ref*>(nullptr)));
    EXPECT_EQ(none->InitCheck(), B_BAD_VALUE);
}

// What each kind of WAVE sample becomes.
struct WaveCase {
    const char* name;
    uint16 tag;
    uint16 bits;
    std::vector<uint8> data;
    uint32 format;
    std::vector<uint8> stored;
};

class WaveSamples : public testing::TestWithParam<WaveCase> { };

TEST_P(WaveSamples, AreStoredInTheMatchingFormat)
{
    const WaveCase& wave = GetParam();
    DecodedSound sound;
    std::vector<uint8> file = MakeWave(wave.tag, 1, 8000, wave.bits, wave.data);
    ASSERT_EQ(DecodeSoundFile(file.data(), file.size(), "x.wav", &sound), B_OK);
    EXPECT_EQ(sound.format.format, wave.format);
    EXPECT_EQ(sound.format.byte_order, uint32(B_MEDIA_LITTLE_ENDIAN));
    EXPECT_EQ(sound.samples, wave.stored);
}

INSTANTIATE_TEST_SUITE_P(EveryEncoding, WaveSamples,
    testing::Values(
        WaveCase { "UChar", 1, 8, { 0, 128, 255 }, Format::B_AUDIO_UCHAR, { 0, 128, 255 } },
        WaveCase { "Short", 1, 16, { 1, 2, 3, 4 }, Format::B_AUDIO_SHORT, { 1, 2, 3, 4 } },
        WaveCase {
            "Int24", 1, 24, { 1, 2, 3, 4, 5, 6 }, Format::B_AUDIO_INT, { 0, 1, 2, 3, 0, 4, 5, 6 } },
        WaveCase { "Int32", 1, 32, { 1, 2, 3, 4 }, Format::B_AUDIO_INT, { 1, 2, 3, 4 } },
        WaveCase {
            "Float", 3, 32, { 0, 0, 0x80, 0x3f }, Format::B_AUDIO_FLOAT, { 0, 0, 0x80, 0x3f } },
        WaveCase { "Double", 3, 64, { 0, 0, 0, 0, 0, 0, 0xf0, 0x3f }, Format::B_AUDIO_DOUBLE,
            { 0, 0, 0, 0, 0, 0, 0xf0, 0x3f } }),
    [](const testing::TestParamInfo<WaveCase>& param) { return std::string(param.param.name); });

TEST(SoundFile, RefusesCompressedWave)
{
    std::vector<uint8> file = MakeWave(2, 1, 8000, 4, { 1, 2, 3, 4 });
    DecodedSound sound;
    EXPECT_EQ(DecodeSoundFile(file.data(), file.size(), "adpcm.wav", &sound), B_NOT_SUPPORTED);
}

TEST(SoundFile, AWaveCutShortKeepsItsWholeFrames)
{
    std::vector<uint8> file = MakeWave(1, 2, 8000, 16, ShortSamples({ 1, 2, 3, 4, 5, 6 }));
    file.resize(file.size() - 3);
    DecodedSound sound;
    ASSERT_EQ(DecodeSoundFile(file.data(), file.size(), "cut.wav", &sound), B_OK);
    EXPECT_EQ(sound.samples.size(), 8u);
}

std::vector<uint8> MakeAiff(bool compressed, const char* type, uint16 bits,
    const std::vector<uint8>& samples, uint32 frames)
{
    std::vector<uint8> out = { 'F', 'O', 'R', 'M', 0, 0, 0, 0, 'A', 'I', 'F',
        uint8(compressed ? 'C' : 'F'), 'C', 'O', 'M', 'M' };
    PutBig(out, compressed ? 24 : 18, 4);
    PutBig(out, 1, 2);
    PutBig(out, frames, 4);
    PutBig(out, bits, 2);
    // 22050 as an 80-bit extended number.
    out.insert(out.end(), { 0x40, 0x0d, 0xac, 0x44, 0, 0, 0, 0, 0, 0 });
    if (compressed)
        out.insert(
            out.end(), { uint8(type[0]), uint8(type[1]), uint8(type[2]), uint8(type[3]), 0, 0 });
    out.insert(out.end(), { 'S', 'S', 'N', 'D' });
    PutBig(out, uint32(8 + samples.size()), 4);
    PutBig(out, 0, 4);
    PutBig(out, 0, 4);
    out.insert(out.end(), samples.begin(), samples.end());
    return out;
}

TEST(SoundFile, ReadsAiffAndAiffC)
{
    DecodedSound sound;
    std::vector<uint8> plain = MakeAiff(false, nullptr, 16, { 0x12, 0x34, 0x56, 0x78 }, 2);
    ASSERT_EQ(DecodeSoundFile(plain.data(), plain.size(), "a.aiff", &sound), B_OK);
    EXPECT_EQ(sound.format.frame_rate, 22050.0f);
    EXPECT_EQ(sound.format.format, uint32(Format::B_AUDIO_SHORT));
    EXPECT_EQ(sound.format.byte_order, uint32(B_MEDIA_BIG_ENDIAN));
    EXPECT_EQ(sound.samples, std::vector<uint8>({ 0x12, 0x34, 0x56, 0x78 }));

    std::vector<uint8> swapped = MakeAiff(true, "sowt", 16, { 0x12, 0x34, 0x56, 0x78 }, 1);
    ASSERT_EQ(DecodeSoundFile(swapped.data(), swapped.size(), "b.aifc", &sound), B_OK);
    EXPECT_EQ(sound.format.byte_order, uint32(B_MEDIA_LITTLE_ENDIAN));
    // The frame count of the header wins over the bytes that follow.
    EXPECT_EQ(sound.samples.size(), 2u);

    std::vector<uint8> eight = MakeAiff(false, nullptr, 8, { 0x80, 0x7f }, 2);
    ASSERT_EQ(DecodeSoundFile(eight.data(), eight.size(), "c.aif", &sound), B_OK);
    EXPECT_EQ(sound.format.format, uint32(Format::B_AUDIO_CHAR));

    std::vector<uint8> packed = MakeAiff(true, "ima4", 16, { 1, 2 }, 1);
    EXPECT_EQ(DecodeSoundFile(packed.data(), packed.size(), "d.aifc", &sound), B_NOT_SUPPORTED);
}

TEST(SoundFile, HeaderlessFilesAreCdAudioByName)
{
    std::vector<uint8> bytes = { 1, 2, 3, 4, 5, 6, 7, 8, 9 };
    DecodedSound sound;
    ASSERT_EQ(DecodeSoundFile(bytes.data(), bytes.size(), "take.RAW", &sound), B_OK);
    EXPECT_EQ(sound.format.frame_rate, 44100.0f);
    EXPECT_EQ(sound.format.channel_count, 2u);
    EXPECT_EQ(sound.samples.size(), 8u);
    EXPECT_EQ(DecodeSoundFile(bytes.data(), bytes.size(), "take.bin", &sound), B_BAD_DATA);
}

// A refused file: the status the player sees, and the words the reason
// holds.
struct RefusedCase {
    const char* name;
    std::vector<uint8> file;
    status_t status;
    const char* reason;
};

class RefusedSoundFile : public testing::TestWithParam<RefusedCase> { };

TEST_P(RefusedSoundFile, SaysWhy)
{
    DecodedSound sound;
    std::string reason;
    const RefusedCase& refused = GetParam();
    EXPECT_EQ(DecodeSoundFile(refused.file.data(), refused.file.size(), "f.wav", &sound, &reason),
        refused.status);
    EXPECT_NE(reason.find(refused.reason), std::string::npos) << reason;
}

// The reason is only for those who ask: a player reading the same file
// sees the same status as without one.
TEST_P(RefusedSoundFile, ThePlayerSeesTheSameStatus)
{
    SoundRef sound(SoundFromFile("f.wav", GetParam().file));
    EXPECT_EQ(sound->InitCheck(), GetParam().status);
}

const std::vector<uint8> kFourSamples = ShortSamples({ 1, 2, 3, 4 });

INSTANTIATE_TEST_SUITE_P(Damaged, RefusedSoundFile,
    testing::Values(
        RefusedCase { "NoChannels",
            MakeRiff({ { "fmt ", FmtBody(1, 0, 8000, 2, 16) }, { "data", kFourSamples } }),
            B_BAD_DATA,
            "the WAV file's format (0 channels at 8000 Hz) cannot be played: it needs 1 to 8 "
            "channels and a rate of at least 1 Hz" },
        RefusedCase { "TooManyChannels",
            MakeRiff({ { "fmt ", FmtBody(1, 65535, 8000, 2, 16) }, { "data", kFourSamples } }),
            B_BAD_DATA, "(65535 channels at 8000 Hz) cannot be played" },
        RefusedCase { "NineChannels",
            MakeRiff({ { "fmt ", FmtBody(1, 9, 8000, 18, 16) }, { "data", kFourSamples } }),
            B_NOT_SUPPORTED, "(9 channels at 8000 Hz) cannot be played" },
        RefusedCase { "NoRate",
            MakeRiff({ { "fmt ", FmtBody(1, 1, 0, 2, 16) }, { "data", kFourSamples } }),
            B_NOT_SUPPORTED, "(1 channel at 0 Hz) cannot be played" },
        RefusedCase { "RateTooHigh",
            MakeRiff({ { "fmt ", FmtBody(1, 1, 500000, 2, 16) }, { "data", kFourSamples } }),
            B_NOT_SUPPORTED,
            "(1 channel at 500000 Hz) cannot be played: it needs a rate of at most 384000 Hz" },
        RefusedCase { "Compressed",
            MakeRiff({ { "fmt ", FmtBody(2, 1, 8000, 1, 4) }, { "data", kFourSamples } }),
            B_NOT_SUPPORTED, "samples (encoding 2, 4 bits) are not 8, 16, 24 or 32-bit PCM" },
        RefusedCase { "SamplesWiderThanFrames",
            MakeRiff({ { "fmt ", FmtBody(1, 1, 8000, 1, 16) }, { "data", kFourSamples } }),
            B_NOT_SUPPORTED, "samples (16 bits) do not fit its frames of 1 bytes" },
        RefusedCase { "FramesNotSplitIntoChannels",
            MakeRiff({ { "fmt ", FmtBody(1, 2, 8000, 3, 8) }, { "data", kFourSamples } }),
            B_BAD_DATA, "frames (3 bytes) do not split into its 2 channels" },
        RefusedCase { "ShortFormat",
            MakeRiff({ { "fmt ", { 1, 0, 1, 0 } }, { "data", kFourSamples } }), B_BAD_DATA,
            "the WAV file's format description is too short" },
        RefusedCase { "CutInTheFormat", MakeRiff({ { "fmt ", { 1, 0, 1, 0 }, 16 } }), B_BAD_DATA,
            "the WAV file is cut short" },
        RefusedCase { "CutBeforeTheSamples",
            MakeRiff({ { "fmt ", FmtBody(1, 1, 8000, 2, 16) }, { "LIST", { 1, 2 }, 40 } }),
            B_BAD_DATA, "the WAV file is cut short" },
        RefusedCase { "SamplesBeforeFormat",
            MakeRiff({ { "data", kFourSamples }, { "fmt ", FmtBody(1, 1, 8000, 2, 16) } }),
            B_BAD_DATA, "the WAV file has no format before its samples" },
        RefusedCase { "NoSamples", MakeRiff({ { "fmt ", FmtBody(1, 1, 8000, 2, 16) } }), B_BAD_DATA,
            "the WAV file has no samples" },
        RefusedCase { "CompressedAiff", MakeAiff(true, "ima4", 16, { 1, 2 }, 1), B_NOT_SUPPORTED,
            "the AIFF file's samples (type \"ima4\", 16 bits) are not" },
        RefusedCase { "NotASound", { 'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!' },
            B_BAD_DATA, "not a WAV or AIFF sound" }),
    [](const testing::TestParamInfo<RefusedCase>& param) { return std::string(param.param.name); });

// A file that stops inside its samples is still played as far as it goes,
// and says so.
TEST(SoundFile, SaysWhenAFileIsCutShort)
{
    DecodedSound sound;
    std::vector<uint8> whole = MakeWave(1, 1, 8000, 16, kFourSamples);
    ASSERT_EQ(DecodeSoundFile(whole.data(), whole.size(), "w.wav", &sound), B_OK);
    EXPECT_FALSE(sound.cutShort);
    std::vector<uint8> cut(whole.begin(), whole.end() - 2);
    ASSERT_EQ(DecodeSoundFile(cut.data(), cut.size(), "w.wav", &sound), B_OK);
    EXPECT_TRUE(sound.cutShort);
    EXPECT_EQ(sound.samples.size(), 6u);
    // An AIFF whose header promises more frames than follow.
    std::vector<uint8> aiff = MakeAiff(false, nullptr, 16, { 0x12, 0x34 }, 2);
    ASSERT_EQ(DecodeSoundFile(aiff.data(), aiff.size(), "a.aiff", &sound), B_OK);
    EXPECT_TRUE(sound.cutShort);
}

// Thousands of damaged files, cut short or with bytes changed, from a
// fixed seed: each is read or refused, and what is read is consistent.
TEST(SoundFile, DamagedFilesAreReadOrRefusedSafely)
{
    std::vector<std::vector<uint8>> seeds = {
        MakeWave(1, 2, 8000, 16, ShortSamples({ 1, 2, 3, 4, 5, 6, 7, 8 })),
        MakeWave(1, 1, 8000, 24, { 1, 2, 3, 4, 5, 6 }),
        MakeAiff(true, "fl32", 32, { 0, 0, 0, 0, 0x3f, 0x80, 0, 0 }, 2),
        MakeAiff(false, nullptr, 24, { 1, 2, 3, 4, 5, 6 }, 2),
    };
    std::mt19937 random(20240611);
    for (int round = 0; round < 4000; round++) {
        std::vector<uint8> file = seeds[size_t(round) % seeds.size()];
        if (round % 3 == 0) {
            file.resize(random() % file.size());
        } else {
            for (int changes = 1 + int(random() % 4); changes > 0; changes--)
                file[random() % file.size()] = uint8(random());
        }
        DecodedSound sound;
        if (DecodeSoundFile(file.data(), file.size(), "f.wav", &sound) != B_OK)
            continue;
        ASSERT_TRUE(BPrivate::IsPlayableAudioFormat(sound.format));
        size_t frameSize
            = BPrivate::AudioSampleSize(sound.format.format) * sound.format.channel_count;
        ASSERT_EQ(sound.samples.size() % frameSize, 0u);
        ASSERT_LE(sound.samples.size(), file.size() * 2);
    }
}

} // namespace
