#include <SoundPlayer.h>

#include <Sound.h>
#include <SoundTestSupport.h>
#include <WaitUntil.h>

#include <gtest/gtest.h>

#include <atomic>

using namespace brenvik::test;
using Format = media_raw_audio_format;

namespace {

// A sound that tells when it is deleted.
class TrackedSound : public BSound {
public:
    TrackedSound(
        void* data, size_t size, const media_raw_audio_format& format, std::atomic<bool>* deleted)
        : BSound(data, size, format, true)
        , fDeleted(deleted)
    {
    }

protected:
    ~TrackedSound() override { *fDeleted = true; }

private:
    std::atomic<bool>* fDeleted;
};

const Format kShortMono = { 8000.0f, 1, Format::B_AUDIO_SHORT, B_MEDIA_LITTLE_ENDIAN, 1024 };

// A quiet 16-bit sound of `milliseconds` at 8 kHz.
BSound* MakeSound(int milliseconds, std::atomic<bool>* deleted = nullptr)
{
    size_t bytes = size_t(milliseconds) * 8 * 2;
    void* data = std::calloc(bytes, 1);
    if (deleted != nullptr)
        return new TrackedSound(data, bytes, kShortMono, deleted);
    return new BSound(data, bytes, kShortMono, true);
}

// Runs every test with SDL's silent "dummy" sound card and with no sound
// card at all.
class SoundPlayerTest : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override { UseAudioDriver(GetParam()); }
};

TEST_P(SoundPlayerTest, UsesTheSoundCardOnlyWhenThereIsOne)
{
    BSoundPlayer player(&kShortMono, "AudioFile");
    ASSERT_EQ(player.InitCheck(), B_OK);
    EXPECT_EQ(player.HasOutput(), std::string(GetParam()) == kQuietDriver);
    EXPECT_EQ(player.Format().frame_rate, 8000.0f);
    EXPECT_EQ(player.Start(), B_OK);
}

TEST_P(SoundPlayerTest, ASoundPlaysForItsDurationThenEnds)
{
    BSoundPlayer player(&kShortMono, "AudioFile");
    BSound* sound = MakeSound(60);
    ASSERT_EQ(player.Start(), B_OK);
    bigtime_t started = system_time();
    play_id id = player.StartPlaying(sound);
    ASSERT_GT(id, 0);
    EXPECT_TRUE(WaitUntil([&] { return !player.IsPlaying(id); }));
    bigtime_t elapsed = system_time() - started;
    // A sound card's thread mixes up to one buffer ahead of the clock.
    EXPECT_GE(elapsed, sound->Duration() - player.Latency());
    EXPECT_FALSE(player.HasData());
    sound->ReleaseRef();
}

TEST_P(SoundPlayerTest, WaitForSoundReturnsWhenTheSoundHasEnded)
{
    BSoundPlayer player(&kShortMono);
    BSound* sound = MakeSound(40);
    player.Start();
    play_id id = player.StartPlaying(sound);
    sound->ReleaseRef();
    EXPECT_EQ(player.WaitForSound(id), B_OK);
    EXPECT_FALSE(player.IsPlaying(id));
    EXPECT_EQ(player.WaitForSound(id), B_BAD_VALUE);
}

TEST_P(SoundPlayerTest, KeepsTheSoundAliveWhilePlayingAndReleasesItAfter)
{
    std::atomic<bool> deleted = false;
    BSoundPlayer player(&kShortMono);
    BSound* sound = MakeSound(30, &deleted);
    player.Start();
    play_id id = player.StartPlaying(sound);
    EXPECT_TRUE(sound->ReleaseRef());
    EXPECT_FALSE(deleted);
    EXPECT_TRUE(WaitUntil([&] { return !player.IsPlaying(id); }));
    EXPECT_TRUE(deleted);
}

TEST_P(SoundPlayerTest, StopPlayingEndsOneSoundAtOnce)
{
    BSoundPlayer player(&kShortMono);
    BSound* sound = MakeSound(5000);
    player.Start();
    play_id first = player.StartPlaying(sound);
    play_id second = player.StartPlaying(sound);
    EXPECT_NE(first, second);
    EXPECT_EQ(player.StopPlaying(first), B_OK);
    EXPECT_FALSE(player.IsPlaying(first));
    EXPECT_TRUE(player.IsPlaying(second));
    EXPECT_EQ(player.StopPlaying(first), B_BAD_VALUE);
    EXPECT_EQ(player.WaitForSound(first), B_BAD_VALUE);
    sound->ReleaseRef();
}

TEST_P(SoundPlayerTest, StopWithFlushDropsEverySound)
{
    std::atomic<bool> deleted = false;
    BSoundPlayer player(&kShortMono);
    BSound* sound = MakeSound(5000, &deleted);
    player.Start();
    play_id id = player.StartPlaying(sound);
    sound->ReleaseRef();
    EXPECT_TRUE(player.HasData());
    player.Stop(true, true);
    EXPECT_FALSE(player.HasData());
    EXPECT_FALSE(player.IsPlaying(id));
    EXPECT_TRUE(deleted);
}

TEST_P(SoundPlayerTest, AStoppedPlayerHoldsItsSounds)
{
    BSoundPlayer player(&kShortMono);
    BSound* sound = MakeSound(20);
    play_id id = player.StartPlaying(sound);
    sound->ReleaseRef();
    // Not started: the sound waits. (Its 20 ms pass while the check runs
    // often enough on a busy machine to show a clock that ran.)
    bigtime_t until = system_time() + 40000;
    while (system_time() < until)
        ASSERT_TRUE(player.IsPlaying(id));
    player.Start();
    EXPECT_TRUE(WaitUntil([&] { return !player.IsPlaying(id); }));
}

TEST_P(SoundPlayerTest, PlaysSoundsOfAnotherFormat)
{
    Format stereo = { 44100.0f, 2, Format::B_AUDIO_FLOAT, B_MEDIA_HOST_ENDIAN, 0 };
    BSoundPlayer player(&stereo);
    BSound* sound = MakeSound(50);
    player.Start();
    play_id id = player.StartPlaying(sound);
    ASSERT_GT(id, 0);
    EXPECT_TRUE(player.IsPlaying(id) || player.HasOutput());
    EXPECT_TRUE(WaitUntil([&] { return !player.IsPlaying(id); }));
    sound->ReleaseRef();
}

TEST_P(SoundPlayerTest, RefusesMissingAndBrokenSounds)
{
    BSoundPlayer player(&kShortMono);
    EXPECT_EQ(player.StartPlaying(nullptr), B_BAD_VALUE);
    Format bad = kShortMono;
    bad.format = 0x3;
    uint8 bytes[4] = {};
    BSound* broken = new BSound(bytes, sizeof(bytes), bad);
    EXPECT_EQ(player.StartPlaying(broken), B_BAD_VALUE);
    broken->ReleaseRef();
}

TEST_P(SoundPlayerTest, AnUnplayableFormatFailsInitCheck)
{
    Format bad = kShortMono;
    bad.channel_count = 40;
    BSoundPlayer player(&bad);
    EXPECT_EQ(player.InitCheck(), B_BAD_VALUE);
    EXPECT_EQ(player.Start(), B_BAD_VALUE);
    BSound* sound = MakeSound(10);
    EXPECT_EQ(player.StartPlaying(sound), B_NO_INIT);
    sound->ReleaseRef();
}

TEST_P(SoundPlayerTest, OpenFieldsTakeDefaults)
{
    BSoundPlayer player("defaults");
    ASSERT_EQ(player.InitCheck(), B_OK);
    EXPECT_EQ(player.Format().frame_rate, 44100.0f);
    EXPECT_EQ(player.Format().channel_count, 2u);
    EXPECT_EQ(player.Format().format, uint32(Format::B_AUDIO_FLOAT));
}

TEST_P(SoundPlayerTest, VolumeIsAFactorThatCannotGoNegative)
{
    BSoundPlayer player(&kShortMono);
    EXPECT_EQ(player.Volume(), 1.0f);
    player.SetVolume(0.25f);
    EXPECT_EQ(player.Volume(), 0.25f);
    player.SetVolume(-3.0f);
    EXPECT_EQ(player.Volume(), 0.0f);
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutSoundCard, SoundPlayerTest,
    testing::Values(kQuietDriver, kNoSoundCard),
    [](const testing::TestParamInfo<const char*>& param) {
        return std::string(param.param) == kQuietDriver ? "QuietCard" : "NoCard";
    });

} // namespace
