#include "TypeSniffer.h"

#include <cerrno>
#include <cstring>
#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <Mime.h>

#include "PathHelpers.h"

namespace BPrivate {

namespace {

bool StartsWith(const uint8* data, size_t size, const char* magic, size_t length)
{
    return size >= length && std::memcmp(data, magic, length) == 0;
}

uint16 Read16(const uint8* data, bool bigEndian)
{
    return bigEndian ? uint16(data[0] << 8 | data[1]) : uint16(data[1] << 8 | data[0]);
}

uint32 Read32(const uint8* data, bool bigEndian)
{
    uint32 value = 0;
    for (int i = 0; i < 4; i++)
        value |= uint32(data[bigEndian ? i : 3 - i]) << (8 * (3 - i));
    return value;
}

uint64 Read64(const uint8* data, bool bigEndian)
{
    uint64 high = Read32(data + (bigEndian ? 0 : 4), bigEndian);
    uint64 low = Read32(data + (bigEndian ? 4 : 0), bigEndian);
    return high << 32 | low;
}

// Where the ELF program header table is: offset, entry size and count.
struct ElfLayout {
    bool is64 = false;
    bool bigEndian = false;
    uint16 type = 0;
    uint64 tableOffset = 0;
    uint16 entrySize = 0;
    uint16 entryCount = 0;
};

bool ReadElfLayout(const uint8* data, size_t size, ElfLayout* layout)
{
    if (size < EI_NIDENT || std::memcmp(data, ELFMAG, SELFMAG) != 0)
        return false;
    layout->is64 = data[EI_CLASS] == ELFCLASS64;
    layout->bigEndian = data[EI_DATA] == ELFDATA2MSB;
    size_t needed = layout->is64 ? sizeof(Elf64_Ehdr) : sizeof(Elf32_Ehdr);
    if (size < needed || (data[EI_CLASS] != ELFCLASS32 && data[EI_CLASS] != ELFCLASS64))
        return false;
    layout->type = Read16(data + 16, layout->bigEndian);
    if (layout->is64) {
        layout->tableOffset = Read64(data + 32, layout->bigEndian);
        layout->entrySize = Read16(data + 54, layout->bigEndian);
        layout->entryCount = Read16(data + 56, layout->bigEndian);
    } else {
        layout->tableOffset = Read32(data + 28, layout->bigEndian);
        layout->entrySize = Read16(data + 42, layout->bigEndian);
        layout->entryCount = Read16(data + 44, layout->bigEndian);
    }
    return true;
}

const char* ElfType(const ElfLayout& layout, bool hasInterpreter)
{
    switch (layout.type) {
    case ET_EXEC:
        return B_APP_MIME_TYPE;
    case ET_DYN:
        return hasInterpreter ? B_APP_MIME_TYPE : "application/x-sharedlib";
    case ET_REL:
        return "application/x-object";
    case ET_CORE:
        return "application/x-core";
    default:
        return B_FILE_MIME_TYPE;
    }
}

// Length of the UTF-8 sequence starting at data[0], or 0 when invalid.
size_t Utf8Length(const uint8* data, size_t size)
{
    uint8 lead = data[0];
    size_t length = lead < 0x80       ? 1
        : lead >= 0xC2 && lead < 0xE0 ? 2
        : lead >= 0xE0 && lead < 0xF0 ? 3
        : lead >= 0xF0 && lead < 0xF5 ? 4
                                      : 0;
    if (length == 0)
        return 0;
    // A sequence cut off by the end of the sample still counts as text.
    for (size_t i = 1; i < length && i < size; i++) {
        if ((data[i] & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

bool LooksLikeText(const uint8* data, size_t size)
{
    size_t controls = 0;
    for (size_t i = 0; i < size;) {
        uint8 c = data[i];
        if (c == 0)
            return false;
        if (c < 0x20 && c != '\n' && c != '\r' && c != '\t' && c != '\f' && c != 0x1B)
            controls++;
        size_t length = Utf8Length(data + i, size - i);
        if (length == 0)
            return false;
        i += length;
    }
    return controls * 20 <= size;
}

const char* SignatureType(const uint8* bytes, size_t size)
{
    if (StartsWith(bytes, size, "\x89PNG\r\n\x1a\n", 8))
        return "image/png";
    if (StartsWith(bytes, size, "\xff\xd8\xff", 3))
        return "image/jpeg";
    if (StartsWith(bytes, size, "GIF87a", 6) || StartsWith(bytes, size, "GIF89a", 6))
        return "image/gif";
    if (size >= 18 && bytes[0] == 'B' && bytes[1] == 'M') {
        uint32 infoSize = Read32(bytes + 14, false);
        if (infoSize == 12 || infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 108
            || infoSize == 124)
            return "image/bmp";
    }
    if (StartsWith(bytes, size, "PK\x03\x04", 4) || StartsWith(bytes, size, "PK\x05\x06", 4))
        return "application/zip";
    if (StartsWith(bytes, size, "\x1f\x8b", 2))
        return "application/gzip";
    if (size >= 262 && std::memcmp(bytes + 257, "ustar", 5) == 0)
        return "application/x-tar";
    if (StartsWith(bytes, size, "%PDF-", 5))
        return "application/pdf";
    if (size >= 12 && std::memcmp(bytes, "RIFF", 4) == 0 && std::memcmp(bytes + 8, "WAVE", 4) == 0)
        return "audio/x-wav";
    if (StartsWith(bytes, size, "\x00\x10\x4f\x44", 4))
        return B_RESOURCE_MIME_TYPE;
    return nullptr;
}

status_t ReadAt(int fd, off_t offset, size_t size, std::vector<uint8>* data)
{
    data->resize(size);
    ssize_t length = pread(fd, data->data(), size, offset);
    if (length < 0)
        return StatusFromErrno(errno);
    data->resize(size_t(length));
    return B_OK;
}

bool IsMountPoint(const std::string& path, const struct stat& info)
{
    if (path == "/")
        return true;
    std::string folder;
    std::string leaf;
    SplitPath(CleanPath(path), &folder, &leaf);
    struct stat parent;
    return stat(folder.c_str(), &parent) == 0 && parent.st_dev != info.st_dev;
}

} // namespace

bool TypeSniffer::ElfHasInterpreter(
    const void* header, size_t headerSize, const void* headers, size_t headersSize)
{
    ElfLayout layout;
    if (!ReadElfLayout(static_cast<const uint8*>(header), headerSize, &layout))
        return false;
    size_t minimum = layout.is64 ? sizeof(Elf64_Phdr) : sizeof(Elf32_Phdr);
    if (layout.entrySize < minimum)
        return false;
    const uint8* table = static_cast<const uint8*>(headers);
    for (size_t i = 0; i < layout.entryCount; i++) {
        size_t offset = i * layout.entrySize;
        if (offset + 4 > headersSize)
            return false;
        if (Read32(table + offset, layout.bigEndian) == PT_INTERP)
            return true;
    }
    return false;
}

const char* TypeSniffer::SniffData(const void* data, size_t size)
{
    const uint8* bytes = static_cast<const uint8*>(data);
    if (bytes == nullptr || size == 0)
        return B_FILE_MIME_TYPE;
    ElfLayout layout;
    if (ReadElfLayout(bytes, size, &layout)) {
        bool interpreter = layout.tableOffset < size
            && ElfHasInterpreter(
                bytes, size, bytes + layout.tableOffset, size - size_t(layout.tableOffset));
        return ElfType(layout, interpreter);
    }
    if (const char* type = SignatureType(bytes, size))
        return type;
    if (LooksLikeText(bytes, size))
        return StartsWith(bytes, size, "#!", 2) ? "text/x-shellscript" : "text/plain";
    return B_FILE_MIME_TYPE;
}

status_t TypeSniffer::SniffPath(const char* path, std::string* type)
{
    if (path == nullptr || type == nullptr)
        return B_BAD_VALUE;
    struct stat info;
    if (lstat(path, &info) != 0)
        return StatusFromErrno(errno);
    if (S_ISLNK(info.st_mode)) {
        *type = B_SYMLINK_MIME_TYPE;
        return B_OK;
    }
    if (S_ISDIR(info.st_mode)) {
        *type = IsMountPoint(path, info) ? B_VOLUME_MIME_TYPE : B_DIRECTORY_MIME_TYPE;
        return B_OK;
    }
    if (!S_ISREG(info.st_mode)) {
        *type = B_FILE_MIME_TYPE;
        return B_OK;
    }
    int fd = open(path, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return StatusFromErrno(errno);
    std::vector<uint8> head;
    status_t status = ReadAt(fd, 0, kSniffSize, &head);
    ElfLayout layout;
    if (status == B_OK && ReadElfLayout(head.data(), head.size(), &layout)) {
        // The program headers may lie anywhere; read them where they are
        // (a bounded amount: 65535 entries of at most 64 KiB each is far
        // beyond any real file, so sizes are capped).
        std::vector<uint8> table;
        size_t tableSize = std::min<size_t>(size_t(layout.entrySize) * layout.entryCount, 1 << 20);
        bool interpreter = ReadAt(fd, off_t(layout.tableOffset), tableSize, &table) == B_OK
            && ElfHasInterpreter(head.data(), head.size(), table.data(), table.size());
        *type = ElfType(layout, interpreter);
    } else if (status == B_OK) {
        *type = SniffData(head.data(), head.size());
    }
    close(fd);
    return status;
}

} // namespace BPrivate
