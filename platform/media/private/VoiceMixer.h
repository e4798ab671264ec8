#pragma once

// The sounds a player is playing ("voices") and the mixing of them into the
// player's output. Time is counted in output frames since the player was
// made: a voice covers the frames from its start for as long as its sound
// lasts. The class does no locking; its owner (BSoundPlayer) does.

#include <SupportDefs.h>

#include <vector>

class BSound;

namespace BPrivate {

class VoiceMixer {
public:
    explicit VoiceMixer(uint32 channels);

    // Adds a voice that owns one reference to `sound` (given back through
    // the Remove calls). `samples` are interleaved floats in the output's
    // channel count; `lengthFrames` is how long the voice lasts, which may
    // exceed the samples (the rest is silence).
    void Add(int32 id, BSound* sound, std::vector<float>&& samples, int64 lengthFrames,
        int64 startFrame, float volume);

    // Adds the voices sounding in frames [clock, clock + frames) into
    // `buffer` (interleaved, already holding whatever lies beneath).
    void Mix(float* buffer, size_t frames, int64 clock) const;

    // Whether the voice exists and has not ended by `clock` (a voice that
    // has not started yet counts as playing).
    bool IsPlaying(int32 id, int64 clock) const;
    // Whether any voice has not ended by `clock`.
    bool HasData(int64 clock) const;
    // The frame at which the voice ends, -1 when there is no such voice.
    int64 EndFrame(int32 id) const;

    bool SetVolume(int32 id, float volume);

    // Removes voices, appending the references they held to `released` so
    // that the caller can drop them once its lock is no longer held.
    bool Remove(int32 id, std::vector<BSound*>* released);
    void RemoveEnded(int64 clock, std::vector<BSound*>* released);
    void RemoveAll(std::vector<BSound*>* released);

    size_t CountVoices() const { return fVoices.size(); }

private:
    struct Voice {
        int32 id;
        BSound* sound;
        std::vector<float> samples;
        int64 lengthFrames;
        int64 startFrame;
        float volume;
    };

    uint32 fChannels;
    std::vector<Voice> fVoices;
};

} // namespace BPrivate
