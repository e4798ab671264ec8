#include "ProjectMedia.h"

#include <Bitmap.h>
#include <InstallerFormat.h>
#include <MediaDefs.h>
#include <SoundFile.h>
#include <TranslationUtils.h>
#include <TypeConstants.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>
#include <vector>

namespace brenvik {

namespace {

using json = nlohmann::ordered_json;
using Format = media_raw_audio_format;
namespace Field = InstallerFormat::Field;

// The buffer size the "audio_data" record asks the player for.
constexpr int32 kBufferSize = 8192;

// The panel colour that transparent parts of the about image show.
constexpr uint8 kPanelGrey = 216;

// What a raw sound is taken to be when the project does not say.
constexpr Format kRawDefault = { 22050.0f, 1, Format::B_AUDIO_SHORT, B_MEDIA_LITTLE_ENDIAN, 0 };

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

// 64-bit float samples, which the sound record does not carry (it keeps to
// the platform's original sample formats), become 32-bit ones in the same
// byte order.
void NarrowDoubles(BPrivate::DecodedSound* sound)
{
    bool big = sound->format.byte_order == B_MEDIA_BIG_ENDIAN;
    size_t count = sound->samples.size() / 8;
    uint8* bytes = sound->samples.data();
    for (size_t i = 0; i < count; i++) {
        uint64 wide = 0;
        for (int b = 0; b < 8; b++)
            wide |= uint64(bytes[i * 8 + size_t(b)]) << (big ? 8 * (7 - b) : 8 * b);
        double value;
        std::memcpy(&value, &wide, sizeof(value));
        if (std::isnan(value))
            value = 0.0;
        float narrow = float(std::clamp(value, double(-FLT_MAX), double(FLT_MAX)));
        uint32 bits;
        std::memcpy(&bits, &narrow, sizeof(bits));
        for (int b = 0; b < 4; b++)
            bytes[i * 4 + size_t(b)] = uint8(bits >> (big ? 8 * (3 - b) : 8 * b));
    }
    sound->samples.resize(count * 4);
    sound->format.format = Format::B_AUDIO_FLOAT;
}

// Reads a sound file that describes itself through the media kit. A file
// cut short is refused, though the media kit would play what is there: its
// missing end would go unnoticed until the installer plays it.
bool DecodeSelfDescribing(const std::string& kind, const std::vector<uint8>& file,
    BPrivate::DecodedSound* sound, std::string* error)
{
    if (BPrivate::DecodeSoundFile(file.data(), file.size(), std::string(), sound, error) != B_OK)
        return false;
    if (sound->cutShort) {
        *error = "the " + kind + " file is cut short";
        return false;
    }
    if (sound->format.format == Format::B_AUDIO_DOUBLE)
        NarrowDoubles(sound);
    return true;
}

bool ReadRawFormat(const json& raw, Format* format, std::string* error)
{
    if (!raw.is_object()) {
        *error = "audio_format: must be an object";
        return false;
    }
    for (auto& [key, value] : raw.items()) {
        bool isCount = value.is_number_integer() && value.get<int64_t>() > 0
            && value.get<int64_t>() <= INT32_MAX;
        if (key == "frame_rate" && value.is_number() && value.get<double>() > 0)
            format->frame_rate = value.get<float>();
        else if (key == "channel_count" && isCount
            && value.get<int64_t>() <= BPrivate::kMaxAudioChannels)
            format->channel_count = uint32(value.get<int64_t>());
        else if (key == "format" && isCount
            && (value == Format::B_AUDIO_UCHAR || value == Format::B_AUDIO_SHORT
                || value == Format::B_AUDIO_INT || value == Format::B_AUDIO_FLOAT
                || value == Format::B_AUDIO_CHAR))
            format->format = uint32(value.get<int64_t>());
        else if (key == "byte_order"
            && (value == B_MEDIA_LITTLE_ENDIAN || value == B_MEDIA_BIG_ENDIAN))
            format->byte_order = uint32(value.get<int64_t>());
        else {
            *error = "audio_format/" + key
                + ": must be frame_rate (a positive number), channel_count (1 to 8), format "
                  "(1, 2, 4, 17 or 36) or byte_order (1 big-endian, 2 little-endian)";
            return false;
        }
    }
    return true;
}

// A PNG file's size in pixels, from its header, so that a picture larger
// than the about view takes is refused before it is decoded.
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
    status_t status = B_OK;
    std::unique_ptr<BBitmap> picture(BTranslationUtils::GetBitmap(path.c_str(), &status));
    if (picture == nullptr) {
        // The kit refuses a picture beyond its limits before decoding it.
        *error
            = status == B_NO_MEMORY ? TooLargeText() : "\"" + path + "\" is not a readable picture";
        return false;
    }
    BRect bounds = picture->Bounds();
    if (bounds.IntegerWidth() >= kMaxAboutImageSide
        || bounds.IntegerHeight() >= kMaxAboutImageSide) {
        *error = TooLargeText();
        return false;
    }
    // The translation kit gives 32-bit pixels, blue first, with alpha unless
    // every pixel is opaque.
    bool hasAlpha = picture->ColorSpace() == B_RGBA32;
    if (!hasAlpha && picture->ColorSpace() != B_RGB32) {
        *error = "\"" + path + "\" is not a readable picture";
        return false;
    }
    BBitmap opaque(bounds, B_BITMAP_CLEAR_TO_WHITE, B_RGB32);
    if (opaque.InitCheck() != B_OK) {
        *error = "not enough memory for the picture";
        return false;
    }
    int32 rows = bounds.IntegerHeight() + 1;
    int32 columns = bounds.IntegerWidth() + 1;
    for (int32 y = 0; y < rows; y++) {
        const uint8* from = static_cast<const uint8*>(picture->Bits()) + y * picture->BytesPerRow();
        uint8* to = static_cast<uint8*>(opaque.Bits()) + y * opaque.BytesPerRow();
        for (int32 x = 0; x < columns; x++, from += 4, to += 4) {
            uint8 alpha = hasAlpha ? from[3] : 255;
            for (int channel = 0; channel < 3; channel++)
                to[channel] = uint8((from[channel] * alpha + kPanelGrey * (255 - alpha)) / 255);
            to[3] = 255;
        }
    }
    bitmap->MakeEmpty();
    if (opaque.Archive(bitmap) != B_OK) {
        *error = "not enough memory for the picture";
        return false;
    }
    return true;
}

bool ReadSound(const std::string& path, const json* rawFormat, BMessage* audio, std::string* error)
{
    std::vector<uint8> file;
    if (!ReadWholeFile(path, &file, error))
        return false;
    Format format = kRawDefault;
    const uint8* samples = file.data();
    size_t size = file.size();
    BPrivate::DecodedSound sound;
    if (const char* kind = BPrivate::SoundFileKind(file.data(), file.size())) {
        if (rawFormat != nullptr) {
            *error = std::string("audio_format: only a raw sound needs one (this is ")
                + (kind[0] == 'A' ? "an " : "a ") + kind + " file)";
            return false;
        }
        if (!DecodeSelfDescribing(kind, file, &sound, error))
            return false;
        format = sound.format;
        samples = sound.samples.data();
        size = sound.samples.size();
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
    audio->AddData(Field::kAudioSamples, B_ANY_TYPE, samples, ssize_t(size), false);
    audio->AddFloat(Field::kAudioFrameRate, format.frame_rate);
    audio->AddInt32(Field::kAudioChannelCount, int32(format.channel_count));
    audio->AddInt32(Field::kAudioFormat, int32(format.format));
    audio->AddInt32(Field::kAudioByteOrder, int32(format.byte_order));
    audio->AddInt32(Field::kAudioBufferSize, kBufferSize);
    return true;
}

} // namespace brenvik
