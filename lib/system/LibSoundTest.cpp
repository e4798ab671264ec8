#include "LibSound.h"

#include <SoundTestSupport.h>
#include <TestSandbox.h>
#include <TypeConstants.h>
#include <WaitUntil.h>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace brenvik::test;
using Format = media_raw_audio_format;

namespace {

constexpr float kRate = 22050.0f;

// The configuration's kind of opening sound: 16-bit little-endian mono at
// 22.05 kHz, `milliseconds` long.
BMessage SoundMessage(int milliseconds)
{
    std::vector<int16> samples(size_t(milliseconds) * 22050 / 1000, 1200);
    BMessage message;
    message.AddData("data", B_ANY_TYPE, samples.data(), ssize_t(samples.size() * 2), true, 1);
    message.AddFloat("frame_rate", kRate);
    message.AddInt32("channel_count", 1);
    message.AddInt32("format", Format::B_AUDIO_SHORT);
    message.AddInt32("byte_order", B_MEDIA_LITTLE_ENDIAN);
    message.AddInt32("buffer_size", 8192);
    return message;
}

float FrameRate(const BMessage& message)
{
    float rate = 0.0f;
    message.FindFloat("frame_rate", &rate);
    return rate;
}

std::string SoundFile(int milliseconds)
{
    std::vector<int16> samples(size_t(milliseconds) * 22050 / 1000, -800);
    std::string path = MakeTempFolder("libsound") + "/opening.wav";
    WriteBytes(path, MakeWave(1, 1, 22050, 16, ShortSamples(samples)));
    return path;
}

// Every test runs with SDL's silent "dummy" sound card and with no sound
// card at all: the installer must behave the same on both.
class LibSoundTest : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override { UseAudioDriver(GetParam()); }
};

TEST_P(LibSoundTest, SoundFromAMessagePlaysToItsEnd)
{
    LibSound sound(SoundMessage(50), "AudioFile");
    ASSERT_TRUE(sound.IsProceeding());
    EXPECT_FALSE(sound.IsPlaying());
    play_id id = sound.Play();
    EXPECT_GT(id, 0);
    EXPECT_TRUE(WaitUntil([&] { return !sound.IsPlaying(); }));
}

TEST_P(LibSoundTest, SoundFromAFileAndThroughALinkPlays)
{
    std::string path = SoundFile(40);
    std::string link = path + ".link";
    ASSERT_EQ(symlink(path.c_str(), link.c_str()), 0);
    for (const std::string& name : { path, link }) {
        LibSound sound(name.c_str(), "AudioFile");
        ASSERT_TRUE(sound.IsProceeding()) << name;
        EXPECT_GT(sound.Play(), 0);
        EXPECT_TRUE(WaitUntil([&] { return !sound.IsPlaying(); }));
    }
}

TEST_P(LibSoundTest, PlayingTwiceWithoutMultiplePlaybackStartsOnce)
{
    LibSound sound(SoundMessage(3000), "AudioFile");
    play_id first = sound.Play();
    ASSERT_GT(first, 0);
    EXPECT_EQ(sound.Play(), first);
    EXPECT_TRUE(sound.IsPlaying());
}

TEST_P(LibSoundTest, MultiplePlaybackStartsAgainFromTheMessage)
{
    LibSound sound(SoundMessage(3000), "AudioFile");
    sound.AllowMultiple(true);
    play_id first = sound.Play();
    play_id second = sound.Play();
    EXPECT_GT(first, 0);
    EXPECT_GT(second, first);
    EXPECT_TRUE(sound.IsPlaying());
}

TEST_P(LibSoundTest, MultiplePlaybackOfAFileWhoseFileIsGonePlaysWhatItHas)
{
    std::string path = SoundFile(3000);
    LibSound sound(path.c_str(), "AudioFile");
    sound.AllowMultiple(true);
    play_id first = sound.Play();
    ASSERT_EQ(unlink(path.c_str()), 0);
    play_id second = sound.Play();
    EXPECT_GT(second, first);
    BMessage archive;
    EXPECT_EQ(sound.Archive(archive), B_OK);
}

TEST_P(LibSoundTest, PlayAfterTheEndStartsAgain)
{
    LibSound sound(SoundMessage(20), "AudioFile");
    play_id first = sound.Play();
    ASSERT_TRUE(WaitUntil([&] { return !sound.IsPlaying(); }));
    play_id second = sound.Play();
    EXPECT_GT(second, first);
    EXPECT_TRUE(WaitUntil([&] { return !sound.IsPlaying(); }));
}

TEST_P(LibSoundTest, NothingLoadedPlaysNothing)
{
    std::string folder = MakeTempFolder("libsound");
    LibSound missing((folder + "/none.wav").c_str(), "AudioFile");
    LibSound noPath(static_cast<const char*>(nullptr), "AudioFile");
    BMessage empty;
    LibSound fromEmpty(empty, "AudioFile");
    BMessage broken = SoundMessage(10);
    broken.ReplaceInt32("format", 0x3);
    LibSound fromBroken(broken, "AudioFile");
    for (LibSound* sound : { &missing, &noPath, &fromEmpty, &fromBroken }) {
        EXPECT_FALSE(sound->IsProceeding());
        EXPECT_EQ(sound->Play(), 0);
        EXPECT_FALSE(sound->IsPlaying());
        BMessage archive;
        EXPECT_EQ(sound->Archive(archive), B_NO_INIT);
        EXPECT_TRUE(archive.IsEmpty());
    }
}

TEST_P(LibSoundTest, ArchiveWritesTheSoundMessage)
{
    BMessage original = SoundMessage(30);
    LibSound sound(original, "AudioFile");
    BMessage archive;
    ASSERT_EQ(sound.Archive(archive), B_OK);
    const void* before;
    const void* after;
    ssize_t beforeSize;
    ssize_t afterSize;
    ASSERT_EQ(original.FindData("data", B_ANY_TYPE, &before, &beforeSize), B_OK);
    ASSERT_EQ(archive.FindData("data", B_ANY_TYPE, &after, &afterSize), B_OK);
    ASSERT_EQ(beforeSize, afterSize);
    EXPECT_EQ(std::memcmp(before, after, size_t(afterSize)), 0);
    type_code type;
    ASSERT_EQ(archive.GetInfo("data", &type), B_OK);
    EXPECT_EQ(type, type_code(B_ANY_TYPE));
    EXPECT_EQ(FrameRate(archive), kRate);
    EXPECT_EQ(archive.GetInt32("channel_count", 0), 1);
    EXPECT_EQ(archive.GetInt32("format", 0), Format::B_AUDIO_SHORT);
    EXPECT_EQ(archive.GetInt32("byte_order", 0), B_MEDIA_LITTLE_ENDIAN);
    EXPECT_EQ(archive.GetInt32("buffer_size", 0), 8192);
    LibSound again(archive, "AudioFile");
    EXPECT_TRUE(again.IsProceeding());
}

TEST_P(LibSoundTest, ArchiveOfAFileSoundDescribesItsSamples)
{
    LibSound sound(SoundFile(10).c_str(), "AudioFile");
    BMessage archive;
    ASSERT_EQ(sound.Archive(archive), B_OK);
    EXPECT_EQ(FrameRate(archive), kRate);
    EXPECT_EQ(archive.GetInt32("format", 0), Format::B_AUDIO_SHORT);
    const void* data;
    ssize_t size;
    ASSERT_EQ(archive.FindData("data", B_ANY_TYPE, &data, &size), B_OK);
    EXPECT_EQ(size, ssize_t(220 * 2));
}

// The player is stopped and flushed, not waited out: a minute-long sound
// would otherwise hold the test up for a minute.
TEST_P(LibSoundTest, DestroyingWhilePlayingStopsThePlayer)
{
    auto sound = std::make_unique<LibSound>(SoundMessage(60000), "AudioFile");
    ASSERT_GT(sound->Play(), 0);
    EXPECT_TRUE(sound->IsPlaying());
    sound.reset();
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutSoundCard, LibSoundTest,
    testing::Values(kQuietDriver, kNoSoundCard),
    [](const testing::TestParamInfo<const char*>& param) {
        return std::string(param.param) == kQuietDriver ? "QuietCard" : "NoCard";
    });

} // namespace
