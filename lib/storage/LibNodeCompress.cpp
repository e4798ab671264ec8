// LibNode::CompressFile, apart from the rest of the class: packing a file
// into an attribute writes a zip archive, which needs the zip writer (and
// libzip); a program that never packs, such as the installer, then leaves
// it out.

#include "LibNode.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include <Path.h>
#include <TypeConstants.h>

#include "LibEntry.h"
#include "LibFileOperations.h"

namespace {

bool ReadFileBytes(const char* path, std::vector<uint8>* data)
{
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    data->clear();
    uint8 buffer[16384];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof(buffer))) > 0)
        data->insert(data->end(), buffer, buffer + got);
    close(fd);
    return got == 0;
}

} // namespace

bool LibNode::CompressFile(const char* name, const char* path)
{
    if (path == nullptr || !LibExists(path)) {
        std::fprintf(stderr, "LibNode::CompressFile: %s does not exist\n", path ? path : "");
        return false;
    }
    BPath zip;
    if (!LibUniqueName(zip, "zip"))
        return false;
    std::vector<uint8> data;
    bool zipped = LibZip(zip.Path(), BPath(path), 9);
    if (zipped)
        std::fprintf(stderr, "zipped to %s\n", zip.Path());
    bool stored = zipped && ReadFileBytes(zip.Path(), &data);
    LibUnlink(zip.Path());
    if (!stored)
        return false;
    RemoveAttr(name);
    return WriteAttr(name, B_RAW_TYPE, 0, data.data(), data.size()) == ssize_t(data.size());
}
