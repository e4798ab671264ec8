#include "SoundTestSupport.h"

#include <AudioOutput.h>

#include <cstdlib>

namespace brenvik::test {

void UseAudioDriver(const char* driver)
{
    setenv("SDL_AUDIODRIVER", kQuietDriver, 1);
    BPrivate::AudioOutput::RestartForTesting(driver);
}

} // namespace brenvik::test
