#include <Sound.h>

#include <AudioConversion.h>
#include <Entry.h>
#include <Path.h>
#include <SoundFile.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

BSound::BSound(void* data, size_t size, const media_raw_audio_format& format, bool freeWhenDone)
    : fFormat(format)
    , fCallerData(data)
    , fFreeWhenDone(freeWhenDone)
    , fData(static_cast<const uint8*>(data))
    , fSize(data != nullptr ? size : 0)
{
    bool haveData = data != nullptr || size == 0;
    fStatus = haveData && BPrivate::IsPlayableAudioFormat(format) ? B_OK : B_BAD_VALUE;
}

BSound::BSound(const entry_ref* soundFile, bool /*loadIntoMemory*/)
    : fFormat(media_raw_audio_format::wildcard)
{
    if (soundFile == nullptr) {
        fStatus = B_BAD_VALUE;
        return;
    }
    BPath path(soundFile);
    if (path.InitCheck() != B_OK) {
        fStatus = path.InitCheck();
        return;
    }
    BPrivate::DecodedSound sound;
    fStatus = BPrivate::ReadSoundFile(path.Path(), &sound);
    if (fStatus != B_OK)
        return;
    fFormat = sound.format;
    fFileData = std::move(sound.samples);
    fData = fFileData.data();
    fSize = fFileData.size();
}

BSound::BSound(const media_raw_audio_format& format)
    : fFormat(format)
{
}

BSound::~BSound()
{
    if (fFreeWhenDone)
        std::free(fCallerData);
}

status_t BSound::InitCheck()
{
    return fStatus;
}

BSound* BSound::AcquireRef()
{
    fRefCount.fetch_add(1, std::memory_order_relaxed);
    return this;
}

bool BSound::ReleaseRef()
{
    if (fRefCount.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        delete this;
        return false;
    }
    return true;
}

int32 BSound::RefCount() const
{
    return fRefCount.load(std::memory_order_relaxed);
}

bigtime_t BSound::Duration() const
{
    if (fStatus != B_OK)
        return 0;
    size_t frames = BPrivate::AudioFrameCount(fFormat, fSize);
    return bigtime_t(double(frames) * 1000000.0 / double(fFormat.frame_rate));
}

const media_raw_audio_format& BSound::Format() const
{
    return fFormat;
}

const void* BSound::Data() const
{
    return fData;
}

off_t BSound::Size() const
{
    return off_t(fSize);
}

bool BSound::GetDataAt(off_t offset, void* intoBuffer, size_t bufferSize, size_t* outUsed)
{
    if (outUsed != nullptr)
        *outUsed = 0;
    if (fStatus != B_OK || offset < 0 || size_t(offset) >= fSize || intoBuffer == nullptr)
        return false;
    size_t count = std::min(bufferSize, fSize - size_t(offset));
    std::memcpy(intoBuffer, fData + offset, count);
    if (outUsed != nullptr)
        *outUsed = count;
    return true;
}
