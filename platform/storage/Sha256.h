#pragma once

// SHA-256 digests of bytes and of files, through the system's crypto library
// (which uses the processor's SHA instructions where it has them). Install
// records keep the digest of every file an installation placed, so that the
// de-installer removes a file only while it is still the one installed.

#include <memory>
#include <string>

#include <SupportDefs.h>

namespace BPrivate {

class Sha256 {
public:
    static constexpr size_t kDigestSize = 32;

    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Update(const void* data, size_t size);
    // The digest of everything given since construction or the last Final.
    std::string Final();

    // The digest of the regular file at path (never through a final link);
    // an error when it cannot be read to its end.
    static status_t HashFile(const char* path, std::string* digest);
    // The same for an open descriptor, read from its start.
    static status_t HashDescriptor(int fd, std::string* digest);

    // Lower-case hexadecimal digits of bytes (64 of a digest), and the bytes
    // of such digits (empty when the text is not an even number of them).
    static std::string Hex(const std::string& digest);
    static std::string FromHex(const std::string& text);

private:
    struct Context;
    std::unique_ptr<Context> fContext;
};

} // namespace BPrivate
