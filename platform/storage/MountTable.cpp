#include "MountTable.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace BPrivate {

namespace {

std::vector<std::string> SplitFields(const std::string& line)
{
    std::vector<std::string> fields;
    std::istringstream stream(line);
    std::string field;
    while (stream >> field)
        fields.push_back(field);
    return fields;
}

bool ParseNumber(const std::string& text, long long* value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    *value = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && end != nullptr && *end == '\0';
}

bool ParseDevice(const std::string& text, dev_t* device)
{
    size_t colon = text.find(':');
    if (colon == std::string::npos)
        return false;
    long long major;
    long long minor;
    if (!ParseNumber(text.substr(0, colon), &major) || !ParseNumber(text.substr(colon + 1), &minor)
        || major < 0 || minor < 0)
        return false;
    *device = makedev((unsigned int)major, (unsigned int)minor);
    return true;
}

// Fields: id, parent id, major:minor, root, mount point, options, optional
// fields ended by "-", then type, source and super-block options.
bool ParseLine(const std::string& line, MountEntry* entry)
{
    std::vector<std::string> fields = SplitFields(line);
    if (fields.size() < 10)
        return false;
    size_t separator = 6;
    while (separator < fields.size() && fields[separator] != "-")
        separator++;
    if (separator + 2 >= fields.size())
        return false;
    long long id;
    long long parent;
    if (!ParseNumber(fields[0], &id) || !ParseNumber(fields[1], &parent)
        || !ParseDevice(fields[2], &entry->device))
        return false;
    entry->mountId = int32(id);
    entry->parentId = int32(parent);
    entry->root = MountTable::Unescape(fields[3]);
    entry->mountPoint = MountTable::Unescape(fields[4]);
    entry->options = fields[5];
    entry->fsType = MountTable::Unescape(fields[separator + 1]);
    entry->source = MountTable::Unescape(fields[separator + 2]);
    entry->superOptions = separator + 3 < fields.size() ? fields[separator + 3] : "";
    return !entry->mountPoint.empty() && entry->mountPoint[0] == '/';
}

bool ListHas(const std::string& list, const char* option)
{
    std::string wanted(option);
    size_t position = 0;
    while (position <= list.size()) {
        size_t comma = list.find(',', position);
        if (comma == std::string::npos)
            comma = list.size();
        if (list.compare(position, comma - position, wanted) == 0
            && comma - position == wanted.size())
            return true;
        position = comma + 1;
    }
    return false;
}

} // namespace

bool MountEntry::HasOption(const char* option) const
{
    return ListHas(options, option) || ListHas(superOptions, option);
}

std::vector<MountEntry> MountTable::Parse(const std::string& text)
{
    std::vector<MountEntry> entries;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        MountEntry entry;
        if (ParseLine(line, &entry))
            entries.push_back(std::move(entry));
    }
    return entries;
}

status_t MountTable::ReadText(std::string* text)
{
    int fd = open(kPath, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return StatusFromErrno(errno);
    text->clear();
    char buffer[8192];
    for (;;) {
        ssize_t length = read(fd, buffer, sizeof(buffer));
        if (length < 0 && errno == EINTR)
            continue;
        if (length < 0) {
            status_t status = StatusFromErrno(errno);
            close(fd);
            return status;
        }
        if (length == 0)
            break;
        text->append(buffer, size_t(length));
    }
    close(fd);
    return B_OK;
}

status_t MountTable::ReadCurrent(std::vector<MountEntry>* entries)
{
    std::string text;
    status_t status = ReadText(&text);
    if (status != B_OK)
        return status;
    *entries = Parse(text);
    return B_OK;
}

std::string MountTable::Unescape(const std::string& field)
{
    std::string result;
    result.reserve(field.size());
    for (size_t i = 0; i < field.size(); i++) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3'
            && field[i + 2] >= '0' && field[i + 2] <= '7' && field[i + 3] >= '0'
            && field[i + 3] <= '7') {
            result += char(
                ((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) | (field[i + 3] - '0'));
            i += 3;
        } else {
            result += field[i];
        }
    }
    return result;
}

status_t MountTable::MountPointOf(
    const std::vector<MountEntry>& entries, dev_t device, std::string* mountPoint)
{
    const MountEntry* found = nullptr;
    for (const MountEntry& entry : entries) {
        if (entry.device != device)
            continue;
        if (found == nullptr || (entry.root == "/" && found->root != "/"))
            found = &entry;
    }
    if (found == nullptr) {
        // Some file systems (btrfs subvolumes) report a device number in stat
        // that differs from the one in the table; ask the mount points.
        for (const MountEntry& entry : entries) {
            struct stat info;
            if (stat(entry.mountPoint.c_str(), &info) == 0 && info.st_dev == device) {
                found = &entry;
                break;
            }
        }
    }
    if (found == nullptr)
        return B_ENTRY_NOT_FOUND;
    *mountPoint = found->mountPoint;
    return B_OK;
}

} // namespace BPrivate
