#pragma once

// The process's way to the sound card, through SDL's audio layer.
//
// How this shares SDL with the display: the display thread owns SDL's video
// side and ends it with SDL_Quit() when the program closes its windows.
// SDL_Quit() only shuts down the parts that were started through
// SDL_Init()/SDL_InitSubSystem(), counted per part. The audio side is
// therefore started here with SDL_AudioInit(), which SDL offers for choosing
// a driver and which it does not count: the display's SDL_Quit() leaves our
// devices playing, and nothing here shuts down the display. SDL's audio
// calls may come from any thread as long as they do not run into each other
// while starting the driver and opening or closing devices, so every such
// call here holds one process-wide lock. SDL calls the mixing callback on
// its own audio thread, with the device locked; callers must therefore never
// call into this class while holding a lock that their callback takes.
//
// When no driver starts or no device opens (no sound card, no sound
// server), Open() returns 0 and the caller keeps playing silently by the
// clock: nothing fails for lack of a sound card.

#include <MediaDefs.h>

namespace BPrivate {

// Fills `frames` frames of interleaved floats in the format the output was
// opened with.
typedef void (*AudioRenderFunc)(void* cookie, float* buffer, size_t frames);

class AudioOutput {
public:
    // Opens an output that plays floats at the frame rate and channel count
    // of `format`, about `format.buffer_size` bytes of that format at a time,
    // and starts it paused. Returns the device, or 0 when there is none.
    static uint32 Open(const media_raw_audio_format& format, AudioRenderFunc render, void* cookie);
    // Pauses or resumes a device. After Pause() returns, the callback is not
    // running and will not run until the device is resumed.
    static void Pause(uint32 device, bool pause);
    // Closes a device; the callback has stopped for good when it returns.
    static void Close(uint32 device);

    // The frames one callback fills on the device (0 for none).
    static size_t BufferFrames(uint32 device);

    // For tests: ends the current driver and starts `driver` (nullptr for
    // SDL's own choice, which follows SDL_AUDIODRIVER). A name SDL does not
    // know gives no sound at all, as on a machine without a sound card.
    // Only allowed while no device is open: B_BUSY otherwise.
    static status_t RestartForTesting(const char* driver);

    // The running driver's name, "" when there is none.
    static const char* DriverName();
};

} // namespace BPrivate
