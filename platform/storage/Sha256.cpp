#include "Sha256.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The digest functions themselves, not the EVP layer above them: EVP brings
// OpenSSL's provider machinery and configuration loading (megabytes in a
// statically linked installer, and a read of the machine's openssl.cnf),
// while these are the same assembly (with the processor's SHA instructions)
// in a few kilobytes. OpenSSL 3 marks them deprecated but keeps them.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/sha.h>

#include <Errors.h>

namespace BPrivate {

namespace {

constexpr size_t kReadChunk = 256 * 1024;

} // namespace

struct Sha256::Context {
    SHA256_CTX context;
};

Sha256::Sha256()
    : fContext(new Context)
{
    SHA256_Init(&fContext->context);
}

Sha256::~Sha256() = default;

void Sha256::Update(const void* data, size_t size)
{
    SHA256_Update(&fContext->context, data, size);
}

std::string Sha256::Final()
{
    unsigned char digest[SHA256_DIGEST_LENGTH];
    SHA256_Final(digest, &fContext->context);
    SHA256_Init(&fContext->context);
    return std::string(reinterpret_cast<const char*>(digest), sizeof(digest));
}

status_t Sha256::HashDescriptor(int fd, std::string* digest)
{
    Sha256 hash;
    std::unique_ptr<char[]> buffer(new char[kReadChunk]);
    for (off_t offset = 0;;) {
        ssize_t got = pread(fd, buffer.get(), kReadChunk, offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return StatusFromErrno(errno);
        if (got == 0)
            break;
        hash.Update(buffer.get(), size_t(got));
        offset += got;
    }
    *digest = hash.Final();
    return B_OK;
}

status_t Sha256::HashFile(const char* path, std::string* digest)
{
    if (path == nullptr || digest == nullptr)
        return B_BAD_VALUE;
    // Reading a file to check it is no use of it: its access time stays
    // (where we own it, which is all O_NOATIME allows).
    int flags = O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    int fd = open(path, flags | O_NOATIME);
    if (fd < 0 && errno == EPERM)
        fd = open(path, flags);
    if (fd < 0)
        return StatusFromErrno(errno);
    struct stat info;
    status_t status = fstat(fd, &info) != 0 ? StatusFromErrno(errno)
        : !S_ISREG(info.st_mode)            ? B_BAD_TYPE
                                            : HashDescriptor(fd, digest);
    close(fd);
    return status;
}

std::string Sha256::Hex(const std::string& digest)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char byte : digest) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}

std::string Sha256::FromHex(const std::string& text)
{
    auto value = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    if (text.size() % 2 != 0)
        return std::string();
    std::string bytes;
    for (size_t i = 0; i < text.size(); i += 2) {
        int high = value(text[i]);
        int low = value(text[i + 1]);
        if (high < 0 || low < 0)
            return std::string();
        bytes += char((high << 4) | low);
    }
    return bytes;
}

} // namespace BPrivate
