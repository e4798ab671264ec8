#include <VoiceMixer.h>

#include <gtest/gtest.h>

using BPrivate::VoiceMixer;

namespace {

// The mixer never touches the sounds; tests pass stand-in pointers.
BSound* const kSoundA = reinterpret_cast<BSound*>(0x10);
BSound* const kSoundB = reinterpret_cast<BSound*>(0x20);

TEST(VoiceMixer, AddsVoicesFromTheirStartWithTheirVolume)
{
    VoiceMixer mixer(2);
    mixer.Add(1, kSoundA, { 0.5f, -0.5f, 0.5f, -0.5f }, 2, 1, 1.0f);
    mixer.Add(2, kSoundB, { 0.2f, 0.2f, 0.2f, 0.2f, 0.2f, 0.2f }, 3, 0, 0.5f);
    std::vector<float> buffer(8, 0.0f);
    mixer.Mix(buffer.data(), 4, 0);
    std::vector<float> expected = { 0.1f, 0.1f, 0.6f, -0.4f, 0.6f, -0.4f, 0.0f, 0.0f };
    for (size_t i = 0; i < buffer.size(); i++)
        EXPECT_FLOAT_EQ(buffer[i], expected[i]) << "sample " << i;
}

TEST(VoiceMixer, MixesTheRightPartOfALongVoiceLater)
{
    VoiceMixer mixer(1);
    mixer.Add(1, kSoundA, { 1, 2, 3, 4, 5, 6 }, 6, 10, 1.0f);
    std::vector<float> buffer(4, 0.0f);
    mixer.Mix(buffer.data(), 4, 12);
    EXPECT_EQ(buffer, std::vector<float>({ 3, 4, 5, 6 }));
    std::fill(buffer.begin(), buffer.end(), 0.0f);
    mixer.Mix(buffer.data(), 4, 14);
    EXPECT_EQ(buffer, std::vector<float>({ 5, 6, 0, 0 }));
}

TEST(VoiceMixer, AVoiceLongerThanItsSamplesPlaysSilenceToItsEnd)
{
    VoiceMixer mixer(1);
    mixer.Add(1, kSoundA, {}, 100, 0, 1.0f);
    std::vector<float> buffer(4, 0.0f);
    mixer.Mix(buffer.data(), 4, 0);
    EXPECT_EQ(buffer, std::vector<float>(4, 0.0f));
    EXPECT_TRUE(mixer.IsPlaying(1, 99));
    EXPECT_FALSE(mixer.IsPlaying(1, 100));
}

TEST(VoiceMixer, TellsWhatPlaysAndGivesBackEndedVoices)
{
    VoiceMixer mixer(1);
    mixer.Add(1, kSoundA, { 1, 1 }, 2, 0, 1.0f);
    mixer.Add(2, kSoundB, { 1, 1 }, 2, 5, 1.0f);
    EXPECT_TRUE(mixer.IsPlaying(2, 0));
    EXPECT_TRUE(mixer.HasData(6));
    EXPECT_FALSE(mixer.HasData(7));
    EXPECT_EQ(mixer.EndFrame(2), 7);
    EXPECT_EQ(mixer.EndFrame(3), -1);
    std::vector<BSound*> released;
    mixer.RemoveEnded(3, &released);
    EXPECT_EQ(released, std::vector<BSound*>({ kSoundA }));
    EXPECT_EQ(mixer.CountVoices(), 1u);
    EXPECT_FALSE(mixer.Remove(1, &released));
    EXPECT_TRUE(mixer.SetVolume(2, 0.0f));
    mixer.RemoveAll(&released);
    EXPECT_EQ(released, std::vector<BSound*>({ kSoundA, kSoundB }));
}

} // namespace
