#include <TranslationUtils.h>

#include <Bitmap.h>
#include <DataIO.h>
#include <ImageDecoder.h>
#include <Resources.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <new>
#include <vector>

using BPrivate::kMaxImageFileSize;
using BPrivate::PixelBuffer;

namespace {

// Reads the whole regular file at `path` into `bytes`. The file is opened
// without blocking and checked before it is read, so that a named pipe or a
// device cannot hang the caller and an outsized file is never read.
status_t ReadImageFile(const char* path, std::vector<uint8>* bytes)
{
    int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return errno == ENOENT || errno == ENOTDIR ? B_ENTRY_NOT_FOUND : B_FILE_ERROR;
    struct stat info;
    status_t status = B_OK;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        status = B_FILE_ERROR;
    else if (info.st_size < 0 || uint64(info.st_size) > kMaxImageFileSize)
        status = B_NO_MEMORY;
    if (status == B_OK) {
        bytes->resize(size_t(info.st_size));
        size_t done = 0;
        // The file may change while it is read: stop at its end, whatever
        // stat said.
        while (done < bytes->size()) {
            ssize_t count = read(fd, bytes->data() + done, bytes->size() - done);
            if (count < 0 && errno == EINTR)
                continue;
            if (count < 0) {
                status = B_IO_ERROR;
                break;
            }
            if (count == 0)
                break;
            done += size_t(count);
        }
        bytes->resize(done);
    }
    close(fd);
    return status;
}

// Reads the stream from its position to its end, but never more than the
// decoders accept.
status_t ReadStream(BPositionIO* stream, std::vector<uint8>* bytes)
{
    // A stream that knows its size is refused before anything is read.
    off_t size = 0;
    off_t position = stream->Position();
    if (stream->GetSize(&size) == B_OK && position >= 0 && size > position
        && uint64(size - position) > kMaxImageFileSize) {
        return B_NO_MEMORY;
    }
    constexpr size_t kChunk = 64 * 1024;
    for (;;) {
        size_t done = bytes->size();
        if (done > kMaxImageFileSize)
            return B_NO_MEMORY;
        bytes->resize(done + kChunk);
        ssize_t count = stream->Read(bytes->data() + done, kChunk);
        if (count < 0)
            return status_t(count);
        bytes->resize(done + size_t(count));
        if (count == 0)
            return B_OK;
    }
}

BBitmap* MakeBitmap(const PixelBuffer& pixels, status_t* status)
{
    BRect bounds(0, 0, float(pixels.Width() - 1), float(pixels.Height() - 1));
    auto bitmap
        = std::unique_ptr<BBitmap>(new (std::nothrow) BBitmap(bounds, 0, pixels.ColorSpace()));
    if (bitmap == nullptr) {
        *status = B_NO_MEMORY;
        return nullptr;
    }
    *status = bitmap->InitCheck();
    if (*status == B_OK) {
        *status = bitmap->ImportBits(pixels.Bits(), int32(pixels.BitsLength()),
            pixels.BytesPerRow(), 0, pixels.ColorSpace());
    }
    return *status == B_OK ? bitmap.release() : nullptr;
}

// The running program's own resources, read-only.
bool OpenAppResources(BResources* resources)
{
    return resources->SetTo("/proc/self/exe", 0, false) == B_OK;
}

BBitmap* BitmapFromResource(const void* data, size_t size)
{
    if (data == nullptr || size > kMaxImageFileSize)
        return nullptr;
    return BTranslationUtils::GetBitmap(data, size);
}

} // namespace

BBitmap* BTranslationUtils::GetBitmap(const char* path)
{
    return GetBitmap(path, nullptr);
}

BBitmap* BTranslationUtils::GetBitmap(const char* path, status_t* status)
{
    status_t ignored;
    status_t& result = status != nullptr ? *status : ignored;
    if (path == nullptr || path[0] == '\0') {
        result = B_BAD_VALUE;
        return nullptr;
    }
    std::vector<uint8> bytes;
    result = ReadImageFile(path, &bytes);
    if (result != B_OK)
        return nullptr;
    return GetBitmap(bytes.data(), bytes.size(), status);
}

BBitmap* BTranslationUtils::GetBitmap(BPositionIO* stream)
{
    if (stream == nullptr)
        return nullptr;
    std::vector<uint8> bytes;
    if (ReadStream(stream, &bytes) != B_OK)
        return nullptr;
    return GetBitmap(bytes.data(), bytes.size());
}

BBitmap* BTranslationUtils::GetBitmap(const void* data, size_t size, status_t* status)
{
    status_t ignored;
    status_t& result = status != nullptr ? *status : ignored;
    if (data == nullptr && size != 0) {
        result = B_BAD_VALUE;
        return nullptr;
    }
    PixelBuffer pixels;
    result = BPrivate::DecodeImage(static_cast<const uint8*>(data), size, &pixels);
    if (result != B_OK)
        return nullptr;
    return MakeBitmap(pixels, &result);
}

BBitmap* BTranslationUtils::GetBitmap(uint32 type, int32 id)
{
    BResources resources;
    return OpenAppResources(&resources) ? GetBitmap(&resources, type, id) : nullptr;
}

BBitmap* BTranslationUtils::GetBitmap(uint32 type, const char* name)
{
    BResources resources;
    return OpenAppResources(&resources) ? GetBitmap(&resources, type, name) : nullptr;
}

BBitmap* BTranslationUtils::GetBitmap(BResources* resources, uint32 type, int32 id)
{
    if (resources == nullptr || resources->InitCheck() != B_OK)
        return nullptr;
    size_t size = 0;
    const void* data = resources->LoadResource(type, id, &size);
    return BitmapFromResource(data, size);
}

BBitmap* BTranslationUtils::GetBitmap(BResources* resources, uint32 type, const char* name)
{
    if (resources == nullptr || name == nullptr || resources->InitCheck() != B_OK)
        return nullptr;
    size_t size = 0;
    const void* data = resources->LoadResource(type, name, &size);
    return BitmapFromResource(data, size);
}
