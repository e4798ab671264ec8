#pragma once

// BSoundPlayer: plays BSounds in the background, mixed together, through
// the sound card. Each sound is converted once to the player's frame rate
// and channel count when it is started, then played from memory by the
// audio thread.
//
// Without a sound card (no audio driver starts, or no device opens) the
// player works just the same, silently: sounds "play" for as long as they
// last, measured by system_time(), while the player runs. No call fails for
// lack of a sound card.

#include <MediaDefs.h>
#include <OS.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class BSound;

namespace BPrivate {
class VoiceMixer;
}

typedef int32 play_id;

class BSoundPlayer {
public:
    // A player for 44.1 kHz stereo floats.
    explicit BSoundPlayer(const char* name = nullptr);
    // A player in `format`; fields left 0 take the values above (and a
    // buffer of 1024 frames). The sample format and byte order only set the
    // buffer's length in frames: sounds are mixed as floats whatever their
    // own format.
    explicit BSoundPlayer(const media_raw_audio_format* format, const char* name = nullptr);
    virtual ~BSoundPlayer();

    BSoundPlayer(const BSoundPlayer&) = delete;
    BSoundPlayer& operator=(const BSoundPlayer&) = delete;

    // B_BAD_VALUE for a format that cannot be played; never an error for
    // lack of a sound card.
    status_t InitCheck();
    media_raw_audio_format Format() const;

    // Starts the output; sounds play only while the player runs.
    status_t Start();
    // Stops the output. Sounds that are playing pause where they are, or
    // with `flush` are dropped. When Stop() returns, the audio thread is
    // not inside the player (`block` is always honoured).
    void Stop(bool block = true, bool flush = true);

    // Plays the sound from `atTime` (a system_time() value; 0 or a time
    // passed means at once) and returns its play id (positive), or an error
    // (negative): B_BAD_VALUE for a missing or broken sound, B_NO_INIT for a
    // broken player. The player holds a reference to the sound while it
    // plays.
    play_id StartPlaying(BSound* sound, bigtime_t atTime = 0);
    play_id StartPlaying(BSound* sound, bigtime_t atTime, float withVolume);
    status_t SetSoundVolume(play_id sound, float newVolume);
    // Whether the sound is waiting to start or still playing.
    bool IsPlaying(play_id id);
    status_t StopPlaying(play_id id);
    // Waits until the sound has ended (B_OK), also when it has been stopped
    // meanwhile; B_BAD_VALUE for an unknown id.
    status_t WaitForSound(play_id id);

    // The player's volume, a factor on every sound (1.0 as made).
    float Volume();
    void SetVolume(float volume);

    // Whether any sound is waiting to start or still playing.
    bool HasData();

    // How far ahead of the loudspeaker the player mixes.
    bigtime_t Latency();

    // Our own: whether a sound card is playing, rather than the silent
    // stand-in.
    bool HasOutput() const;

private:
    void Init(const media_raw_audio_format& format, const char* name);
    static void Render(void* cookie, float* buffer, size_t frames);
    // The player's position in output frames. Called with fLock held.
    int64 ClockLocked() const;
    int64 FramesFor(bigtime_t duration) const;
    bigtime_t TimeFor(int64 frames) const;
    static void ReleaseSounds(std::vector<BSound*>& sounds);

    std::string fName;
    media_raw_audio_format fFormat;
    status_t fStatus = B_NO_INIT;
    uint32 fDevice = 0;

    mutable std::mutex fLock;
    std::condition_variable_any fCondition;
    std::unique_ptr<BPrivate::VoiceMixer> fVoices;
    bool fRunning = false;
    float fVolume = 1.0f;
    int64 fClockFrames = 0;
    // Without a sound card the clock runs by system_time() from here.
    bigtime_t fRunStart = 0;
    play_id fNextId = 1;
};
