#pragma once

// The destination folder of an extraction, and safe ways to reach folders
// below it. Paths are resolved by the kernel beneath the destination
// (openat2 with RESOLVE_BENEATH): a symbolic link already on disk is followed
// only while it stays inside, so nothing an archive names can be written
// outside the destination. Where the kernel lacks openat2, every component is
// opened on its own without following any link.

#include <Descriptor.h>
#include <SupportDefs.h>

#include <string>
#include <vector>

namespace BPrivate {

class ZipSafeFolder {
public:
    ZipSafeFolder() = default;
    ZipSafeFolder(const ZipSafeFolder&) = delete;
    ZipSafeFolder& operator=(const ZipSafeFolder&) = delete;

    // The destination itself is opened as given (a link naming it is
    // followed: it is the caller's choice of place).
    status_t Open(const char* path, bool useOpenat2 = true);
    // The same on a folder the caller holds open (the descriptor is
    // duplicated).
    status_t Adopt(int fd, bool useOpenat2 = true);

    // Opens the folder named by the first count components, creating the
    // missing ones when create is set. *fd belongs to the caller.
    status_t OpenFolder(const std::vector<std::string>& components, size_t count, bool create,
        int* fd, std::string* reason);

    int Descriptor() const { return fRoot.Get(); }
    bool UsesOpenat2() const { return fUseOpenat2; }

private:
    int OpenBeneath(const std::string& path);
    status_t OpenStepwise(const std::vector<std::string>& components, size_t count, bool create,
        int* fd, std::string* reason);
    status_t OpenResolved(const std::vector<std::string>& components, size_t count, bool create,
        int* fd, std::string* reason);

    BPrivate::Descriptor fRoot;
    bool fUseOpenat2 = true;
};

} // namespace BPrivate
