#include "SigningKey.h"

#include <Ed25519.h>
#include <InstallerManifest.h>
#include <Sha256.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brenvik {

namespace {

constexpr const char* kKeyHeader = "BRENVIK SIGNING KEY 1";
constexpr const char* kPublicHeader = "BRENVIK PUBLIC KEY 1";
constexpr off_t kMaxKeyFile = 4096;

// Writes a new file of `text` with `mode`; fails when the file exists.
bool WriteNew(const std::string& path, const std::string& text, mode_t mode, std::string* error)
{
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd < 0) {
        *error = "cannot create \"" + path + "\": " + std::strerror(errno);
        return false;
    }
    // The umask may take permissions away, never add them; this sets the
    // mode asked for exactly.
    bool written = fchmod(fd, mode) == 0
        && write(fd, text.data(), text.size()) == ssize_t(text.size()) && fsync(fd) == 0;
    int saved = errno;
    if (close(fd) != 0 && written) {
        written = false;
        saved = errno;
    }
    if (!written) {
        unlink(path.c_str());
        *error = "cannot write \"" + path + "\": " + std::strerror(saved);
    }
    return written;
}

// The value of the line "<key> <value>" in `text`, or false.
bool ValueOf(const std::string& text, const std::string& key, std::string* value)
{
    std::string prefix = "\n" + key + " ";
    size_t start = text.find(prefix);
    if (start == std::string::npos)
        return false;
    start += prefix.size();
    size_t end = text.find('\n', start);
    *value = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    return true;
}

} // namespace

status_t WriteNewSigningKey(
    const std::string& keyPath, const std::string& publisher, std::string* error)
{
    if (!InstallerSignature::IsPublisherName(publisher)) {
        *error = "the publisher's name must be one line of 1 to 200 characters";
        return B_BAD_VALUE;
    }
    std::string publicPath = keyPath + ".pub";
    struct stat there;
    for (const std::string& path : { keyPath, publicPath }) {
        if (lstat(path.c_str(), &there) == 0) {
            *error = "\"" + path + "\" exists; a key is never overwritten";
            return B_FILE_EXISTS;
        }
    }
    std::string seed;
    if (BPrivate::Ed25519::NewSeed(&seed) != B_OK) {
        *error = "the system gave no random bytes for a key";
        return B_ERROR;
    }
    std::string publicKey = BPrivate::Ed25519::PublicKeyOf(seed);
    std::string name = InstallerManifest::EscapedName(publisher);
    std::string secret = std::string(kKeyHeader) + "\npublisher " + name + "\nseed "
        + BPrivate::Sha256::Hex(seed) + "\n";
    std::string shown = std::string(kPublicHeader) + "\npublisher " + name + "\nkey "
        + BPrivate::Sha256::Hex(publicKey) + "\nfingerprint "
        + InstallerSignature::ShownFingerprint(publicKey, true) + "\n";
    if (!WriteNew(keyPath, secret, 0600, error))
        return B_ERROR;
    if (!WriteNew(publicPath, shown, 0644, error)) {
        unlink(keyPath.c_str());
        return B_ERROR;
    }
    return B_OK;
}

status_t ReadSigningKey(
    const std::string& keyPath, InstallerSignature::Signer* signer, std::string* error)
{
    int fd = open(keyPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0) {
        *error = "cannot read the key \"" + keyPath + "\": " + std::strerror(errno);
        if (fd >= 0)
            close(fd);
        return B_ERROR;
    }
    if (!S_ISREG(info.st_mode) || info.st_size > kMaxKeyFile) {
        close(fd);
        *error = "\"" + keyPath + "\" is not a signing key";
        return B_BAD_VALUE;
    }
    if ((info.st_mode & 077) != 0) {
        close(fd);
        *error = "the key \"" + keyPath
            + "\" may be read by other users; make it private (chmod 600) or make a new one";
        return B_NOT_ALLOWED;
    }
    std::string text(size_t(info.st_size), '\0');
    ssize_t got = read(fd, text.data(), text.size());
    close(fd);
    std::string publisher;
    std::string seed;
    if (got != ssize_t(text.size()) || text.rfind(std::string(kKeyHeader) + "\n", 0) != 0
        || !ValueOf(text, "publisher", &publisher) || !ValueOf(text, "seed", &seed)) {
        *error = "\"" + keyPath + "\" is not a signing key";
        return B_BAD_VALUE;
    }
    signer->publisher = InstallerManifest::UnescapedName(publisher);
    signer->seed = BPrivate::Sha256::FromHex(seed);
    if (signer->seed.size() != BPrivate::Ed25519::kSeedSize
        || !InstallerSignature::IsPublisherName(signer->publisher)) {
        *error = "\"" + keyPath + "\" is not a signing key";
        return B_BAD_VALUE;
    }
    return B_OK;
}

} // namespace brenvik
