#include "ProjectMedia.h"

#include <MediaDefs.h>
#include <PixelBuffer.h>
#include <TypeConstants.h>

#include <cstring>
#include <fstream>
#include <vector>

namespace brenvik {

namespace {

using json = nlohmann::ordered_json;

// The media kit's raw-audio codes, which the "audio_data" record stores.
constexpr int32 kAudioChar = media_raw_audio_format::B_AUDIO_CHAR;
constexpr int32 kAudioUChar = media_raw_audio_format::B_AUDIO_UCHAR;
constexpr int32 kAudioShort = media_raw_audio_format::B_AUDIO_SHORT;
constexpr int32 kAudioInt = media_raw_audio_format::B_AUDIO_INT;
constexpr int32 kAudioFloat = media_raw_audio_format::B_AUDIO_FLOAT;
constexpr int32 kLittleEndian = B_MEDIA_LITTLE_ENDIAN;
constexpr int32 kBigEndian = B_MEDIA_BIG_ENDIAN;
constexpr int32 kBufferSize = 8192;

// The most channels a sound may have.
constexpr int32 kMaxChannels = 8;

// The panel colour that transparent parts of the about image show.
constexpr uint8 kPanelGrey = 216;

struct SoundFormat {
    float frameRate = 22050.0f;
    int32 channels = 1;
    int32 format = kAudioShort;
    int32 byteOrder = kLittleEndian;
};

uint32 Little32(const uint8* bytes)
{
    return uint32(bytes[0]) | uint32(bytes[1]) << 8 | uint32(bytes[2]) << 16
        | uint32(bytes[3]) << 24;
}

uint16 Little16(const uint8* bytes)
{
    return uint16(bytes[0] | bytes[1] << 8);
}

bool ReadWholeFile(const std::string& path, std::vector<uint8>* data, std::string* error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read \"" + path + "\"";
        return false;
    }
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    data->resize(size > 0 ? size_t(size) : 0);
    if (size > 0 && !in.read(reinterpret_cast<char*>(data->data()), size)) {
        *error = "cannot read \"" + path + "\"";
        return false;
    }
    return true;
}

// Finds the "fmt " and "data" chunks of a RIFF WAVE file.
bool ParseWav(const std::vector<uint8>& file, SoundFormat* format, size_t* dataOffset,
    size_t* dataSize, std::string* error)
{
    bool haveFormat = false;
    for (size_t position = 12; position + 8 <= file.size();) {
        const uint8* chunk = file.data() + position;
        size_t size = Little32(chunk + 4);
        size_t body = position + 8;
        if (size > file.size() - body) {
            *error = "the WAV file is cut short";
            return false;
        }
        if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16) {
            uint16 encoding = Little16(file.data() + body);
            uint16 bits = Little16(file.data() + body + 14);
            format->channels = Little16(file.data() + body + 2);
            format->frameRate = float(Little32(file.data() + body + 4));
            if (encoding == 1 && bits == 8)
                format->format = kAudioUChar;
            else if (encoding == 1 && bits == 16)
                format->format = kAudioShort;
            else if (encoding == 1 && bits == 32)
                format->format = kAudioInt;
            else if (encoding == 3 && bits == 32)
                format->format = kAudioFloat;
            else {
                *error = "the WAV file's samples (encoding " + std::to_string(encoding) + ", "
                    + std::to_string(bits) + " bits) are not 8, 16 or 32-bit PCM or 32-bit float";
                return false;
            }
            // The same bounds as a raw sound's description.
            if (format->channels < 1 || format->channels > kMaxChannels
                || format->frameRate < 1.0f) {
                *error = "the WAV file's format (" + std::to_string(format->channels)
                    + " channels at " + std::to_string(Little32(file.data() + body + 4))
                    + " Hz) cannot be played: it needs 1 to 8 channels and a rate of at least 1 Hz";
                return false;
            }
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) {
                *error = "the WAV file has no format before its samples";
                return false;
            }
            *dataOffset = body;
            *dataSize = size;
            return true;
        }
        position = body + size + (size & 1);
    }
    *error = "the WAV file has no samples";
    return false;
}

bool ReadRawFormat(const json& raw, SoundFormat* format, std::string* error)
{
    if (!raw.is_object()) {
        *error = "audio_format: must be an object";
        return false;
    }
    for (auto& [key, value] : raw.items()) {
        bool isCount = value.is_number_integer() && value.get<int64_t>() > 0
            && value.get<int64_t>() <= INT32_MAX;
        if (key == "frame_rate" && value.is_number() && value.get<double>() > 0)
            format->frameRate = value.get<float>();
        else if (key == "channel_count" && isCount && value.get<int64_t>() <= kMaxChannels)
            format->channels = int32(value.get<int64_t>());
        else if (key == "format" && isCount
            && (value == kAudioUChar || value == kAudioShort || value == kAudioInt
                || value == kAudioFloat || value == kAudioChar))
            format->format = int32(value.get<int64_t>());
        else if (key == "byte_order" && (value == kLittleEndian || value == kBigEndian))
            format->byteOrder = int32(value.get<int64_t>());
        else {
            *error = "audio_format/" + key
                + ": must be frame_rate (a positive number), channel_count (1 to 8), format "
                  "(1, 2, 4, 17 or 36) or byte_order (1 big-endian, 2 little-endian)";
            return false;
        }
    }
    return true;
}

// A PNG file's size in pixels, from its header, so that a picture too large
// to decode is named for what it is.
bool PngSize(const std::string& path, uint32* width, uint32* height)
{
    static const uint8 kSignature[8] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    uint8 header[24] = {};
    std::ifstream in(path, std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(header), sizeof(header))
        || std::memcmp(header, kSignature, 8) != 0 || std::memcmp(header + 12, "IHDR", 4) != 0)
        return false;
    auto big32 = [](const uint8* bytes) {
        return uint32(bytes[0]) << 24 | uint32(bytes[1]) << 16 | uint32(bytes[2]) << 8 | bytes[3];
    };
    *width = big32(header + 16);
    *height = big32(header + 20);
    return true;
}

std::string TooLargeText()
{
    return "the picture is larger than " + std::to_string(kMaxAboutImageSide) + " by "
        + std::to_string(kMaxAboutImageSide) + " pixels (the about view shows 150 by 200)";
}

} // namespace

bool ReadAboutImage(const std::string& path, BMessage* bitmap, std::string* error)
{
    uint32 width = 0, height = 0;
    if (PngSize(path, &width, &height)
        && (width > uint32(kMaxAboutImageSide) || height > uint32(kMaxAboutImageSide))) {
        *error = TooLargeText();
        return false;
    }
    BPrivate::PixelBuffer picture;
    if (BPrivate::PixelBuffer::ReadPNG(path.c_str(), &picture) != B_OK) {
        *error = "\"" + path + "\" is not a readable PNG picture";
        return false;
    }
    if (picture.Width() > kMaxAboutImageSide || picture.Height() > kMaxAboutImageSide) {
        *error = TooLargeText();
        return false;
    }
    BPrivate::PixelBuffer pixels(picture.Width(), picture.Height(), B_RGB32);
    for (int32 y = 0; y < picture.Height(); y++) {
        for (int32 x = 0; x < picture.Width(); x++) {
            rgb_color colour = picture.PixelAt(x, y);
            auto over = [&](uint8 channel) {
                return uint8((channel * colour.alpha + kPanelGrey * (255 - colour.alpha)) / 255);
            };
            pixels.SetPixelAt(
                x, y, rgb_color { over(colour.red), over(colour.green), over(colour.blue), 255 });
        }
    }
    bitmap->MakeEmpty();
    bitmap->AddString("class", "BBitmap");
    bitmap->AddRect("_frame", BRect(0, 0, float(pixels.Width() - 1), float(pixels.Height() - 1)));
    bitmap->AddInt32("_cspace", B_RGB32);
    bitmap->AddInt32("_bmflags", 1);
    bitmap->AddInt32("_rowbytes", pixels.BytesPerRow());
    bitmap->AddData("_data", B_RAW_TYPE, pixels.Bits(), ssize_t(pixels.BitsLength()));
    return true;
}

bool ReadSound(const std::string& path, const json* rawFormat, BMessage* audio, std::string* error)
{
    std::vector<uint8> file;
    if (!ReadWholeFile(path, &file, error))
        return false;
    SoundFormat format;
    size_t offset = 0, size = file.size();
    bool isWav = file.size() >= 12 && std::memcmp(file.data(), "RIFF", 4) == 0
        && std::memcmp(file.data() + 8, "WAVE", 4) == 0;
    if (isWav) {
        if (rawFormat != nullptr) {
            *error = "audio_format: only a raw sound needs one (this is a WAV file)";
            return false;
        }
        if (!ParseWav(file, &format, &offset, &size, error))
            return false;
    } else if (rawFormat != nullptr && !ReadRawFormat(*rawFormat, &format, error))
        return false;
    if (size == 0) {
        *error = "\"" + path + "\" holds no sound";
        return false;
    }
    if (size > kMaxSoundBytes) {
        *error = "the sound is larger than " + std::to_string(kMaxSoundBytes / 1024 / 1024)
            + " MB; the installer keeps it in its configuration";
        return false;
    }
    audio->MakeEmpty();
    audio->AddData("data", B_ANY_TYPE, file.data() + offset, ssize_t(size), false);
    audio->AddFloat("frame_rate", format.frameRate);
    audio->AddInt32("channel_count", format.channels);
    audio->AddInt32("format", format.format);
    audio->AddInt32("byte_order", format.byteOrder);
    audio->AddInt32("buffer_size", kBufferSize);
    return true;
}

} // namespace brenvik
