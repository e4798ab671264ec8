#pragma once

// BSound: a piece of raw audio that a BSoundPlayer can play, made from a
// buffer in memory or read from a sound file. Sounds are reference counted:
// the creator holds the first reference, every player that plays the sound
// holds one more, and the last ReleaseRef() deletes it.

#include <MediaDefs.h>

#include <atomic>
#include <memory>
#include <vector>

struct entry_ref;

class BSound {
public:
    // Plays `size` bytes at `data` in `format`. The bytes are not copied:
    // they must stay valid as long as the sound lives; with freeWhenDone the
    // sound frees them with free() when it is deleted.
    BSound(
        void* data, size_t size, const media_raw_audio_format& format, bool freeWhenDone = false);
    // Reads a sound file: RIFF WAVE (PCM of 8, 16, 24 or 32 bits, 32 or
    // 64-bit float, also in the extensible layout), AIFF and AIFF-C (PCM of 8,
    // 16, 24 or 32 bits; little-endian "sowt"; "fl32" and "fl64" floats), or a
    // headerless file named *.raw or *.pcm, taken as 44.1 kHz 16-bit
    // little-endian stereo. The samples are always loaded into memory;
    // loadIntoMemory is accepted for compatibility.
    explicit BSound(const entry_ref* soundFile, bool loadIntoMemory = false);

    BSound(const BSound&) = delete;
    BSound& operator=(const BSound&) = delete;

    status_t InitCheck();

    BSound* AcquireRef();
    // Drops one reference; returns false when that was the last one and the
    // sound has been deleted.
    bool ReleaseRef();
    int32 RefCount() const;

    virtual bigtime_t Duration() const;
    virtual const media_raw_audio_format& Format() const;
    virtual const void* Data() const;
    virtual off_t Size() const;

    // Copies up to bufferSize bytes of sound from byte `offset` on; false
    // when there is nothing at that offset.
    virtual bool GetDataAt(off_t offset, void* intoBuffer, size_t bufferSize, size_t* outUsed);

protected:
    explicit BSound(const media_raw_audio_format& format);
    virtual ~BSound();

private:
    media_raw_audio_format fFormat;
    status_t fStatus = B_NO_INIT;
    std::atomic<int32> fRefCount { 1 };
    // The caller's bytes (fCallerData, freed when fFreeWhenDone) or the
    // bytes read from a file (fFileData).
    void* fCallerData = nullptr;
    bool fFreeWhenDone = false;
    std::vector<uint8> fFileData;
    const uint8* fData = nullptr;
    size_t fSize = 0;
};
