#include "LibSound.h"

#include <Sound.h>
#include <TypeConstants.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// A sound made from a sound message, over its own copy of the samples
// (freed with the sound). The caller checks InitCheck().
BSound* SoundFromMessage(const BMessage& message, media_raw_audio_format* format)
{
    const void* data = nullptr;
    ssize_t size = 0;
    if (message.FindData(LibSound::kDataField, B_ANY_TYPE, &data, &size) != B_OK || size < 0)
        return nullptr;
    float frameRate = 0.0f;
    int32 channels = 0;
    int32 sampleFormat = 0;
    int32 byteOrder = 0;
    int32 bufferSize = 0;
    // A missing field stays 0; the sound then refuses a format it cannot
    // play (a missing buffer size does no harm).
    message.FindFloat(LibSound::kFrameRateField, &frameRate);
    message.FindInt32(LibSound::kChannelCountField, &channels);
    message.FindInt32(LibSound::kFormatField, &sampleFormat);
    message.FindInt32(LibSound::kByteOrderField, &byteOrder);
    message.FindInt32(LibSound::kBufferSizeField, &bufferSize);
    *format = { frameRate, uint32(channels), uint32(sampleFormat), uint32(byteOrder),
        size_t(std::max(bufferSize, int32(0))) };
    void* copy = std::malloc(std::max<size_t>(size_t(size), 1));
    if (copy == nullptr)
        return nullptr;
    if (size > 0)
        std::memcpy(copy, data, size_t(size));
    return new BSound(copy, size_t(size), *format, true);
}

// Lets go of a sound that did not initialise; true when it did.
bool KeepIfValid(BSound*& sound)
{
    if (sound != nullptr && sound->InitCheck() == B_OK)
        return true;
    if (sound != nullptr)
        sound->ReleaseRef();
    sound = nullptr;
    return false;
}

} // namespace

LibSound::LibSound(const char* path, const char* name)
{
    if (path == nullptr)
        return;
    fPath.SetTo(path);
    BEntry entry(path, true);
    if (entry.Exists() && LoadSound(path))
        MakePlayer(name);
}

LibSound::LibSound(const BMessage& message, const char* name)
{
    if (LoadSound(message))
        MakePlayer(name);
}

LibSound::~LibSound()
{
    // The player holds its own reference while it plays, so the sound can
    // be let go first. (A sound that loaded without a player is let go too.)
    ReleaseSound();
    if (fPlayer != nullptr)
        fPlayer->Stop(true, true);
}

bool LibSound::LoadSound(const char* path)
{
    ReleaseSound();
    fFromMessage = false;
    if (path == nullptr || fEntry.SetTo(path, true) != B_OK || fEntry.GetRef(&fRef) != B_OK)
        return false;
    fPath.SetTo(&fEntry);
    fSound = new BSound(&fRef, true);
    if (!KeepIfValid(fSound))
        return false;
    fFormat = fSound->Format();
    return true;
}

bool LibSound::LoadSound(const BMessage& message)
{
    ReleaseSound();
    fFromMessage = true;
    fSoundMessage = message;
    fSound = SoundFromMessage(message, &fFormat);
    return KeepIfValid(fSound);
}

status_t LibSound::Archive(BMessage& message)
{
    if (fSound == nullptr)
        return B_NO_INIT;
    const media_raw_audio_format& format = fSound->Format();
    status_t status = message.AddData(
        LibSound::kDataField, B_ANY_TYPE, fSound->Data(), fSound->Size(), true, 1);
    if (status == B_OK)
        status = message.AddFloat(LibSound::kFrameRateField, format.frame_rate);
    if (status == B_OK)
        status = message.AddInt32(LibSound::kChannelCountField, int32(format.channel_count));
    if (status == B_OK)
        status = message.AddInt32(LibSound::kFormatField, int32(format.format));
    if (status == B_OK)
        status = message.AddInt32(LibSound::kByteOrderField, int32(format.byte_order));
    if (status == B_OK) {
        status = message.AddInt32(LibSound::kBufferSizeField,
            int32(std::min<size_t>(format.buffer_size, size_t(INT32_MAX))));
    }
    return status;
}

play_id LibSound::Play()
{
    if (!fLoaded)
        return 0;
    bool playing = IsPlaying();
    if (playing && !fAllowMultiple)
        return fPlayId;
    if (playing) {
        Reload();
    } else {
        fPlayer->Stop(true, true);
        fPlayer->Start();
    }
    if (fSound == nullptr)
        return 0;
    play_id id = fPlayer->StartPlaying(fSound, 0);
    fPlayId = id > 0 ? id : 0;
    return fPlayId;
}

bool LibSound::IsPlaying()
{
    if (!fLoaded)
        return false;
    return fPlayer->HasData() || fPlayer->IsPlaying(fPlayId);
}

void LibSound::AllowMultiple(const bool& allow)
{
    fAllowMultiple = allow;
}

bool LibSound::IsProceeding()
{
    return fLoaded;
}

void LibSound::MakePlayer(const char* name)
{
    fPlayer = std::make_unique<BSoundPlayer>(&fFormat, name);
    fPlayer->SetVolume(1.0f);
    fLoaded = fPlayer->InitCheck() == B_OK;
}

// Gives an overlapping playback a sound object of its own: loaded again
// from the file, or for a sound made from a message, from the kept message.
// When that fails (the file is gone), the sound at hand is played again.
bool LibSound::Reload()
{
    media_raw_audio_format format;
    BSound* fresh
        = fFromMessage ? SoundFromMessage(fSoundMessage, &format) : new BSound(&fRef, true);
    if (!KeepIfValid(fresh))
        return false;
    ReleaseSound();
    fSound = fresh;
    fFormat = fSound->Format();
    return true;
}

void LibSound::ReleaseSound()
{
    if (fSound != nullptr)
        fSound->ReleaseRef();
    fSound = nullptr;
}
