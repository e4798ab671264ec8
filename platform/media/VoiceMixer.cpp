#include <VoiceMixer.h>

#include <algorithm>

namespace BPrivate {

VoiceMixer::VoiceMixer(uint32 channels)
    : fChannels(channels == 0 ? 1 : channels)
{
}

void VoiceMixer::Add(int32 id, BSound* sound, std::vector<float>&& samples, int64 lengthFrames,
    int64 startFrame, float volume)
{
    fVoices.push_back(Voice {
        id, sound, std::move(samples), std::max<int64>(lengthFrames, 0), startFrame, volume });
}

void VoiceMixer::Mix(float* buffer, size_t frames, int64 clock) const
{
    int64 end = clock + int64(frames);
    for (const Voice& voice : fVoices) {
        int64 sampleFrames = int64(voice.samples.size() / fChannels);
        int64 voiceEnd = voice.startFrame + std::min(voice.lengthFrames, sampleFrames);
        int64 from = std::max(clock, voice.startFrame);
        int64 to = std::min(end, voiceEnd);
        if (from >= to)
            continue;
        const float* source = voice.samples.data() + size_t(from - voice.startFrame) * fChannels;
        float* target = buffer + size_t(from - clock) * fChannels;
        size_t count = size_t(to - from) * fChannels;
        for (size_t i = 0; i < count; i++)
            target[i] += source[i] * voice.volume;
    }
}

bool VoiceMixer::IsPlaying(int32 id, int64 clock) const
{
    int64 endFrame = EndFrame(id);
    return endFrame >= 0 && clock < endFrame;
}

bool VoiceMixer::HasData(int64 clock) const
{
    return std::any_of(fVoices.begin(), fVoices.end(),
        [clock](const Voice& voice) { return clock < voice.startFrame + voice.lengthFrames; });
}

int64 VoiceMixer::EndFrame(int32 id) const
{
    for (const Voice& voice : fVoices) {
        if (voice.id == id)
            return voice.startFrame + voice.lengthFrames;
    }
    return -1;
}

bool VoiceMixer::SetVolume(int32 id, float volume)
{
    for (Voice& voice : fVoices) {
        if (voice.id == id) {
            voice.volume = volume;
            return true;
        }
    }
    return false;
}

bool VoiceMixer::Remove(int32 id, std::vector<BSound*>* released)
{
    auto found = std::find_if(
        fVoices.begin(), fVoices.end(), [id](const Voice& voice) { return voice.id == id; });
    if (found == fVoices.end())
        return false;
    released->push_back(found->sound);
    fVoices.erase(found);
    return true;
}

void VoiceMixer::RemoveEnded(int64 clock, std::vector<BSound*>* released)
{
    auto ended
        = [clock](const Voice& voice) { return clock >= voice.startFrame + voice.lengthFrames; };
    for (const Voice& voice : fVoices) {
        if (ended(voice))
            released->push_back(voice.sound);
    }
    std::erase_if(fVoices, ended);
}

void VoiceMixer::RemoveAll(std::vector<BSound*>* released)
{
    for (const Voice& voice : fVoices)
        released->push_back(voice.sound);
    fVoices.clear();
}

} // namespace BPrivate
