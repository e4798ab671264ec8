#include "ExecutablePath.h"

#include <Errors.h>

#include <cstring>
#include <unistd.h>
#include <vector>

namespace BPrivate {

status_t GetExecutablePath(std::string* path)
{
    if (path == nullptr)
        return B_BAD_VALUE;
    // The link's target can be longer than PATH_MAX; grow until it fits.
    for (size_t size = 256; size <= size_t(1) << 20; size *= 2) {
        std::vector<char> buffer(size);
        ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length <= 0)
            return B_ERROR;
        if (size_t(length) < buffer.size()) {
            path->assign(buffer.data(), size_t(length));
            // Linux names a removed executable "/old/path (deleted)".
            static const char kDeleted[] = " (deleted)";
            if (path->size() > sizeof(kDeleted) - 1
                && path->compare(path->size() - (sizeof(kDeleted) - 1), std::string::npos, kDeleted)
                    == 0
                && access(path->c_str(), F_OK) != 0)
                return B_ENTRY_NOT_FOUND;
            return B_OK;
        }
    }
    return B_NAME_TOO_LONG;
}

} // namespace BPrivate
