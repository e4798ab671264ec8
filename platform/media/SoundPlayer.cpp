#include <SoundPlayer.h>

#include <AudioConversion.h>
#include <AudioOutput.h>
#include <BlockingPoint.h>
#include <Sound.h>
#include <VoiceMixer.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr float kDefaultFrameRate = 44100.0f;
constexpr uint32 kDefaultChannels = 2;
constexpr size_t kDefaultBufferFrames = 1024;
// The most samples one sound is converted to (1 GiB of floats, a quarter
// of an hour of 8-channel sound at 48 kHz); a longer sound is cut off.
constexpr size_t kMaxVoiceSamples = size_t(256) * 1024 * 1024;

media_raw_audio_format CompleteFormat(const media_raw_audio_format& format)
{
    media_raw_audio_format complete = format;
    if (complete.frame_rate == 0.0f)
        complete.frame_rate = kDefaultFrameRate;
    if (complete.channel_count == 0)
        complete.channel_count = kDefaultChannels;
    if (complete.format == 0)
        complete.format = media_raw_audio_format::B_AUDIO_FLOAT;
    if (complete.byte_order == 0)
        complete.byte_order = B_MEDIA_HOST_ENDIAN;
    if (complete.buffer_size == 0) {
        complete.buffer_size = kDefaultBufferFrames * complete.channel_count
            * std::max<size_t>(BPrivate::AudioSampleSize(complete.format), 1);
    }
    return complete;
}

} // namespace

BSoundPlayer::BSoundPlayer(const char* name)
{
    Init(media_raw_audio_format::wildcard, name);
}

BSoundPlayer::BSoundPlayer(const media_raw_audio_format* format, const char* name)
{
    Init(format != nullptr ? *format : media_raw_audio_format::wildcard, name);
}

void BSoundPlayer::Init(const media_raw_audio_format& format, const char* name)
{
    fName = name != nullptr ? name : "";
    fFormat = CompleteFormat(format);
    fVoices = std::make_unique<BPrivate::VoiceMixer>(fFormat.channel_count);
    if (!BPrivate::IsPlayableAudioFormat(fFormat)) {
        fStatus = B_BAD_VALUE;
        return;
    }
    fStatus = B_OK;
    fDevice = BPrivate::AudioOutput::Open(fFormat, &BSoundPlayer::Render, this);
}

BSoundPlayer::~BSoundPlayer()
{
    Stop(true, true);
    if (fDevice != 0)
        BPrivate::AudioOutput::Close(fDevice);
}

status_t BSoundPlayer::InitCheck()
{
    return fStatus;
}

media_raw_audio_format BSoundPlayer::Format() const
{
    return fFormat;
}

status_t BSoundPlayer::Start()
{
    if (fStatus != B_OK)
        return fStatus;
    {
        std::lock_guard<std::mutex> lock(fLock);
        if (fRunning)
            return B_OK;
        fRunning = true;
        fRunStart = system_time();
    }
    // The device is resumed without our lock held: the audio thread takes
    // the device's lock first and ours second.
    if (fDevice != 0)
        BPrivate::AudioOutput::Pause(fDevice, false);
    fCondition.notify_all();
    return B_OK;
}

void BSoundPlayer::Stop(bool /*block*/, bool flush)
{
    // Pausing waits for a callback that is running to finish.
    if (fDevice != 0)
        BPrivate::AudioOutput::Pause(fDevice, true);
    std::vector<BSound*> released;
    {
        std::lock_guard<std::mutex> lock(fLock);
        fClockFrames = ClockLocked();
        fRunning = false;
        if (flush)
            fVoices->RemoveAll(&released);
    }
    fCondition.notify_all();
    ReleaseSounds(released);
}

play_id BSoundPlayer::StartPlaying(BSound* sound, bigtime_t atTime)
{
    return StartPlaying(sound, atTime, 1.0f);
}

play_id BSoundPlayer::StartPlaying(BSound* sound, bigtime_t atTime, float withVolume)
{
    if (fStatus != B_OK)
        return B_NO_INIT;
    if (sound == nullptr || sound->InitCheck() != B_OK)
        return B_BAD_VALUE;
    std::vector<float> samples;
    // A sound that cannot be converted plays as silence of its own length.
    BPrivate::ConvertSoundForPlayback(
        sound->Data(), size_t(sound->Size()), sound->Format(), fFormat, kMaxVoiceSamples, &samples);
    int64 length = std::max<int64>(
        int64(samples.size() / fFormat.channel_count), FramesFor(sound->Duration()));
    length = std::min<int64>(length, int64(kMaxVoiceSamples / fFormat.channel_count));
    sound->AcquireRef();
    bigtime_t delay = std::max<bigtime_t>(atTime - system_time(), 0);
    std::lock_guard<std::mutex> lock(fLock);
    play_id id = fNextId++;
    fVoices->Add(id, sound, std::move(samples), length, ClockLocked() + FramesFor(delay),
        std::isfinite(withVolume) ? std::max(withVolume, 0.0f) : 0.0f);
    return id;
}

status_t BSoundPlayer::SetSoundVolume(play_id sound, float newVolume)
{
    std::lock_guard<std::mutex> lock(fLock);
    float volume = std::isfinite(newVolume) ? std::max(newVolume, 0.0f) : 0.0f;
    return fVoices->SetVolume(sound, volume) ? B_OK : B_BAD_VALUE;
}

bool BSoundPlayer::IsPlaying(play_id id)
{
    std::vector<BSound*> released;
    bool playing;
    {
        std::lock_guard<std::mutex> lock(fLock);
        int64 clock = ClockLocked();
        playing = fVoices->IsPlaying(id, clock);
        fVoices->RemoveEnded(clock, &released);
    }
    ReleaseSounds(released);
    return playing;
}

status_t BSoundPlayer::StopPlaying(play_id id)
{
    std::vector<BSound*> released;
    bool found;
    {
        std::lock_guard<std::mutex> lock(fLock);
        found = fVoices->Remove(id, &released);
    }
    fCondition.notify_all();
    ReleaseSounds(released);
    return found ? B_OK : B_BAD_VALUE;
}

status_t BSoundPlayer::WaitForSound(play_id id)
{
    std::unique_lock<std::mutex> lock(fLock);
    if (fVoices->EndFrame(id) < 0)
        return B_BAD_VALUE;
    auto ended = [&]() { return !fVoices->IsPlaying(id, ClockLocked()); };
    while (!ended()) {
        // With a sound card the audio thread wakes us after each buffer;
        // without one the end can be computed. A stopped player waits for
        // Start() or StopPlaying().
        bigtime_t deadline = B_INFINITE_TIMEOUT;
        if (fRunning) {
            int64 remaining = fVoices->EndFrame(id) - ClockLocked();
            deadline = system_time() + TimeFor(std::max<int64>(remaining, 1)) + 1000;
        }
        status_t status = BPrivate::WaitInterruptibly(fCondition, lock, deadline, ended);
        if (status == B_INTERRUPTED)
            return status;
    }
    return B_OK;
}

float BSoundPlayer::Volume()
{
    std::lock_guard<std::mutex> lock(fLock);
    return fVolume;
}

void BSoundPlayer::SetVolume(float volume)
{
    std::lock_guard<std::mutex> lock(fLock);
    fVolume = std::isfinite(volume) ? std::max(volume, 0.0f) : 0.0f;
}

bool BSoundPlayer::HasData()
{
    std::lock_guard<std::mutex> lock(fLock);
    return fVoices->HasData(ClockLocked());
}

bigtime_t BSoundPlayer::Latency()
{
    size_t frames = fDevice != 0 ? BPrivate::AudioOutput::BufferFrames(fDevice) : 0;
    return TimeFor(int64(frames));
}

bool BSoundPlayer::HasOutput() const
{
    return fDevice != 0;
}

void BSoundPlayer::Render(void* cookie, float* buffer, size_t frames)
{
    BSoundPlayer* player = static_cast<BSoundPlayer*>(cookie);
    std::memset(buffer, 0, frames * player->fFormat.channel_count * sizeof(float));
    {
        std::lock_guard<std::mutex> lock(player->fLock);
        player->fVoices->Mix(buffer, frames, player->fClockFrames);
        player->fClockFrames += int64(frames);
        size_t count = frames * player->fFormat.channel_count;
        for (size_t i = 0; i < count; i++)
            buffer[i] = std::clamp(buffer[i] * player->fVolume, -1.0f, 1.0f);
    }
    player->fCondition.notify_all();
}

int64 BSoundPlayer::ClockLocked() const
{
    if (fDevice != 0 || !fRunning)
        return fClockFrames;
    return fClockFrames + FramesFor(system_time() - fRunStart);
}

int64 BSoundPlayer::FramesFor(bigtime_t duration) const
{
    return int64(std::ceil(double(duration) * double(fFormat.frame_rate) / 1000000.0));
}

bigtime_t BSoundPlayer::TimeFor(int64 frames) const
{
    return bigtime_t(std::ceil(double(frames) * 1000000.0 / double(fFormat.frame_rate)));
}

void BSoundPlayer::ReleaseSounds(std::vector<BSound*>& sounds)
{
    for (BSound* sound : sounds)
        sound->ReleaseRef();
    sounds.clear();
}
