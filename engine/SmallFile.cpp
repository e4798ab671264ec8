#include "SmallFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <Descriptor.h>
#include <Errors.h>

status_t ReadSmallFile(const std::string& path, size_t limit, std::string* bytes)
{
    bytes->clear();
    BPrivate::Descriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd.IsValid())
        return StatusFromErrno(errno);
    struct stat info;
    if (fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        return B_BAD_TYPE;
    if (uint64(info.st_size) > limit)
        return B_BAD_DATA;
    bytes->resize(size_t(info.st_size));
    size_t done = 0;
    while (done < bytes->size()) {
        ssize_t got = read(fd.Get(), bytes->data() + done, bytes->size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += size_t(got);
    }
    bytes->resize(done);
    return B_OK;
}
