#include <AudioOutput.h>

#include <SDL.h>

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace BPrivate {

namespace {

constexpr size_t kDefaultBufferFrames = 1024;
constexpr size_t kMinBufferFrames = 256;
constexpr size_t kMaxBufferFrames = 8192;

struct Binding {
    AudioRenderFunc render;
    void* cookie;
    size_t channels;
    size_t frames;
};

struct AudioState {
    std::mutex lock;
    bool started = false;
    bool available = false;
    std::string driver;
    std::map<SDL_AudioDeviceID, std::unique_ptr<Binding>> devices;
};

AudioState& State()
{
    // Never destroyed: a player that lives until the program ends may still
    // close its device while static objects are being destroyed.
    static AudioState* state = new AudioState;
    return *state;
}

void SdlCallback(void* userdata, Uint8* stream, int length)
{
    Binding* binding = static_cast<Binding*>(userdata);
    size_t frames = size_t(length) / (binding->channels * sizeof(float));
    binding->render(binding->cookie, reinterpret_cast<float*>(stream), frames);
}

// Starts SDL's audio side once; called with the state locked.
// ALSA's own error handler writes every failed look for a card to standard
// error ("ALSA lib confmisc.c:855:(parse_card) cannot find card '0'"), which
// on a machine without sound is a screenful of noise for a sound that is
// simply not played. The library SDL would load is loaded first and told to
// keep quiet; without the library there is nothing to quiet.
void QuietAlsa(const char* file, int line, const char* function, int error, const char* format, ...)
{
    (void)file;
    (void)line;
    (void)function;
    (void)error;
    (void)format;
}

void SilenceAlsaErrors()
{
    void* alsa = dlopen("libasound.so.2", RTLD_LAZY | RTLD_LOCAL);
    if (alsa == nullptr)
        return;
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetHandler = int (*)(Handler);
    auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
    if (set != nullptr)
        set(QuietAlsa);
    // Kept loaded: SDL opens the same library, with the handler set.
}

void StartAudio(AudioState& state, const char* driver)
{
    if (state.started)
        return;
    state.started = true;
    SilenceAlsaErrors();
    state.available = SDL_AudioInit(driver) == 0;
    const char* name = state.available ? SDL_GetCurrentAudioDriver() : nullptr;
    state.driver = name != nullptr ? name : "";
}

// The buffer length in frames: the smallest power of two that holds the
// format's buffer size, but never more than 25 ms of sound, so that sounds
// start promptly and a stopping player waits little for the audio thread.
size_t BufferFramesFor(const media_raw_audio_format& format)
{
    size_t frameBytes = AudioSampleSize(format.format) * format.channel_count;
    size_t limit = std::max(size_t(format.frame_rate / 40.0f), kMinBufferFrames);
    if (format.buffer_size == 0 || frameBytes == 0)
        return std::min(kDefaultBufferFrames, limit);
    size_t frames = kMinBufferFrames;
    while (
        frames * 2 <= std::min(kMaxBufferFrames, limit) && frames * frameBytes < format.buffer_size)
        frames *= 2;
    return frames;
}

} // namespace

uint32 AudioOutput::Open(const media_raw_audio_format& format, AudioRenderFunc render, void* cookie)
{
    AudioState& state = State();
    std::lock_guard<std::mutex> lock(state.lock);
    StartAudio(state, nullptr);
    if (!state.available || format.channel_count == 0 || format.channel_count > 8)
        return 0;
    auto binding = std::make_unique<Binding>(
        Binding { render, cookie, format.channel_count, BufferFramesFor(format) });
    SDL_AudioSpec wanted;
    SDL_zero(wanted);
    wanted.freq = int(std::lround(format.frame_rate));
    wanted.format = AUDIO_F32SYS;
    wanted.channels = Uint8(format.channel_count);
    wanted.samples = Uint16(binding->frames);
    wanted.callback = SdlCallback;
    wanted.userdata = binding.get();
    SDL_AudioSpec obtained;
    // No changes allowed: SDL converts to whatever the card wants, so the
    // callback always sees the format asked for.
    SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device == 0)
        return 0;
    binding->frames = obtained.samples;
    state.devices[device] = std::move(binding);
    return device;
}

void AudioOutput::Pause(uint32 device, bool pause)
{
    AudioState& state = State();
    std::lock_guard<std::mutex> lock(state.lock);
    if (state.devices.count(device) != 0)
        SDL_PauseAudioDevice(device, pause ? 1 : 0);
}

void AudioOutput::Close(uint32 device)
{
    AudioState& state = State();
    std::lock_guard<std::mutex> lock(state.lock);
    auto found = state.devices.find(device);
    if (found == state.devices.end())
        return;
    SDL_CloseAudioDevice(device);
    state.devices.erase(found);
}

size_t AudioOutput::BufferFrames(uint32 device)
{
    AudioState& state = State();
    std::lock_guard<std::mutex> lock(state.lock);
    auto found = state.devices.find(device);
    return found != state.devices.end() ? found->second->frames : 0;
}

status_t AudioOutput::RestartForTesting(const char* driver)
{
    AudioState& state = State();
    std::lock_guard<std::mutex> lock(state.lock);
    if (!state.devices.empty())
        return B_BUSY;
    if (state.available)
        SDL_AudioQuit();
    state.started = false;
    state.available = false;
    StartAudio(state, driver);
    return B_OK;
}

const char* AudioOutput::DriverName()
{
    AudioState& state = State();
    std::lock_guard<std::mutex> lock(state.lock);
    StartAudio(state, nullptr);
    return state.driver.c_str();
}

} // namespace BPrivate
