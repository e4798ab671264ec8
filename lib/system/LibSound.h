#pragma once

#include <Entry.h>
#include <MediaDefs.h>
#include <Message.h>
#include <Path.h>
#include <SoundPlayer.h>

#include <memory>

class BSound;

// A sound loaded from a file or from a sound message ("data", "frame_rate",
// "channel_count", "format", "byte_order", "buffer_size"), with a player of
// its own. The installer plays its opening sound with it. Without a sound
// card everything still works, silently.
class LibSound {
public:
    // The fields of a sound message.
    static constexpr const char* kDataField = "data";
    static constexpr const char* kFrameRateField = "frame_rate";
    static constexpr const char* kChannelCountField = "channel_count";
    static constexpr const char* kFormatField = "format";
    static constexpr const char* kByteOrderField = "byte_order";
    static constexpr const char* kBufferSizeField = "buffer_size";

    // Loads the sound file at path (symbolic links followed) and makes a
    // player called `name` for it, at volume 1.0.
    LibSound(const char* path, const char* name);
    // The same for a sound message.
    LibSound(const BMessage& message, const char* name);
    // Stops and flushes the player and lets the sound go.
    virtual ~LibSound();

    LibSound(const LibSound&) = delete;
    LibSound& operator=(const LibSound&) = delete;

    // Loads a new sound (the previous one is let go); true when it
    // initialised.
    bool LoadSound(const char* path);
    bool LoadSound(const BMessage& message);

    // Writes the current sound as a sound message; B_NO_INIT without one.
    status_t Archive(BMessage& message);

    // Starts the sound and returns its play id: 0 when nothing is loaded;
    // while the sound still plays and multiple playback is not allowed, the
    // id of the playback that goes on.
    play_id Play();
    // Whether the player still has sound to play.
    bool IsPlaying();
    void AllowMultiple(const bool& allow);
    // Whether a sound was loaded and a player made.
    bool IsProceeding();

private:
    void MakePlayer(const char* name);
    bool Reload();
    void ReleaseSound();

    std::unique_ptr<BSoundPlayer> fPlayer;
    play_id fPlayId = 0;
    BSound* fSound = nullptr;
    bool fLoaded = false;
    BEntry fEntry;
    entry_ref fRef;
    media_raw_audio_format fFormat = media_raw_audio_format::wildcard;
    BPath fPath;
    bool fAllowMultiple = false;
    // A sound made from a message has no file to load again for a second,
    // overlapping playback; its message is kept for that instead.
    BMessage fSoundMessage;
    bool fFromMessage = false;
};
