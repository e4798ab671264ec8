// Moving items to the trash and renaming them aside (LibFileOperations.h).
//
// The trash is the freedesktop.org one that desktops share: items go into
// its "files" folder, and for each one a "<name>.trashinfo" record in its
// "info" folder tells where it came from and when it was trashed. The record
// is created first, exclusively, which reserves the name.

#include "LibFileOperations.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <Entry.h>
#include <FindDirectory.h>
#include <Path.h>
#include <PathHelpers.h>
#include <Volume.h>

#include "LibEntry.h"
#include "LibStringList.h"

namespace {

constexpr size_t kMaxLeaf = B_FILE_NAME_LENGTH - 1;
constexpr const char* kInfoSuffix = ".trashinfo";

// The n-th name of the sequence "leaf", "leaf copy", "leaf copy 1", ...
// shortened (at a character boundary) so that it, and its trash record's
// name, fit the file system's limit when `room` bytes are kept free.
std::string SequenceName(const std::string& leaf, int n, size_t room)
{
    std::string suffix = n == 0 ? "" : n == 1 ? " copy" : " copy " + std::to_string(n - 1);
    size_t limit = kMaxLeaf - room - suffix.size();
    std::string base = leaf;
    if (base.size() > limit) {
        base.resize(limit);
        while (!base.empty() && (static_cast<unsigned char>(base.back()) & 0xC0) == 0x80)
            base.pop_back();
        if (!base.empty() && static_cast<unsigned char>(base.back()) >= 0xC0)
            base.pop_back();
    }
    return base + suffix;
}

std::string PercentEncoded(const std::string& path)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            text += char(c);
        } else {
            text += '%';
            text += kHex[c >> 4];
            text += kHex[c & 15];
        }
    }
    return text;
}

std::string TrashRecord(const std::string& originalPath)
{
    time_t now = time(nullptr);
    tm local;
    localtime_r(&now, &local);
    char date[32];
    std::strftime(date, sizeof(date), "%Y-%m-%dT%H:%M:%S", &local);
    return "[Trash Info]\nPath=" + PercentEncoded(originalPath) + "\nDeletionDate=" + date + "\n";
}

bool WriteRecord(const std::string& recordPath, const std::string& text, bool exclusive)
{
    int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | (exclusive ? O_EXCL : O_TRUNC);
    int fd = open(recordPath.c_str(), flags, 0600);
    if (fd < 0)
        return false;
    bool written = write(fd, text.data(), text.size()) == ssize_t(text.size());
    return close(fd) == 0 && written;
}

// The trash folders (files and info) of the volume that holds the item.
bool TrashFolders(const BPath& item, std::string* files, std::string* info)
{
    BEntry entry(item.Path());
    BVolume volume;
    BPath trash;
    if (entry.GetVolume(&volume) != B_OK
        || find_directory(B_TRASH_DIRECTORY, &trash, false, &volume) != B_OK)
        return false;
    BPath parent;
    if (trash.GetParent(&parent) != B_OK)
        return false;
    *files = trash.Path();
    *info = std::string(parent.Path()) + "/info";
    for (const std::string* folder : { files, info }) {
        // Trash folders are private to their user.
        LibStringList created;
        if (!LibExists(folder->c_str()) && Libmkdir(folder->c_str(), created)) {
            for (LibString* made = created.First(); made != nullptr; made = created.Next())
                chmod(*made, 0700);
        }
        struct stat status;
        if (stat(folder->c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
            return false;
    }
    return true;
}

} // namespace

bool LibTrash(const BPath& path, const bool& replace)
{
    return LibTrash(path, replace, nullptr);
}

bool LibTrash(const BPath& path, const bool& replace, BPath* trashedAs)
{
    if (path.InitCheck() != B_OK || !LibExists(path.Path()) || path.Leaf()[0] == '\0')
        return false;
    std::string files;
    std::string info;
    if (!TrashFolders(path, &files, &info))
        return false;
    std::string leaf = path.Leaf();
    std::string record = TrashRecord(path.Path());
    for (int n = 0; n < 100000; n++) {
        std::string name = SequenceName(leaf, replace ? 0 : n, std::strlen(kInfoSuffix));
        std::string target = files + "/" + name;
        std::string recordPath = info + "/" + name + kInfoSuffix;
        if (replace) {
            if (!LibUnlink(target.c_str()) || !WriteRecord(recordPath, record, false))
                return false;
        } else {
            if (LibExists(target.c_str()))
                continue;
            if (!WriteRecord(recordPath, record, true)) {
                if (errno == EEXIST)
                    continue;
                return false;
            }
        }
        BEntry entry(path.Path());
        status_t status = entry.Rename(target.c_str(), false);
        if (status == B_FILE_EXISTS && !replace) {
            unlink(recordPath.c_str());
            continue;
        }
        // A trash on another file system than the item (only when the
        // volume has no trash of its own) needs a real copy.
        if (status == B_CROSS_DEVICE_LINK && LibMove(path.Path(), target.c_str()))
            status = B_OK;
        if (status != B_OK) {
            unlink(recordPath.c_str());
            return false;
        }
        if (trashedAs != nullptr)
            trashedAs->SetTo(target.c_str());
        return true;
    }
    return false;
}

bool LibDuplicate(const char* path)
{
    BPath item(path);
    if (path == nullptr || item.InitCheck() != B_OK || item.Leaf()[0] == '\0')
        return false;
    BPath folder;
    if (item.GetParent(&folder) != B_OK)
        return false;
    BEntry entry(item.Path());
    if (!entry.Exists())
        return false;
    for (int n = 1; n < 100000; n++) {
        std::string target = std::string(folder.Path()) + "/" + SequenceName(item.Leaf(), n, 0);
        status_t status = entry.Rename(target.c_str(), false);
        if (status != B_FILE_EXISTS)
            return status == B_OK;
    }
    return false;
}

namespace {

std::string PercentDecoded(const std::string& text)
{
    std::string result;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '%' && i + 2 < text.size()
            && std::isxdigit(static_cast<unsigned char>(text[i + 1]))
            && std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            result += char(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            result += text[i];
        }
    }
    return result;
}

std::string ParentOf(const std::string& path)
{
    std::string folder;
    std::string leaf;
    BPrivate::SplitPath(path, &folder, &leaf);
    return folder;
}

// A trash record is a few hundred bytes.
constexpr off_t kMaxRecordSize = 64 * 1024;

} // namespace

std::string LibTrashRecordOf(const std::string& trashed)
{
    std::string files = ParentOf(trashed);
    if (BPrivate::LeafOf(files) != "files")
        return std::string();
    return ParentOf(files) + "/info/" + BPrivate::LeafOf(trashed) + kInfoSuffix;
}

std::string LibTrashedFrom(const std::string& recordPath)
{
    int fd = open(recordPath.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return std::string();
    struct stat info;
    std::string text;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= kMaxRecordSize) {
        text.resize(size_t(info.st_size));
        ssize_t size = read(fd, text.data(), text.size());
        text.resize(size > 0 ? size_t(size) : 0);
    }
    close(fd);
    size_t at = text.find("\nPath=");
    if (at == std::string::npos)
        return std::string();
    at += 6;
    size_t end = text.find('\n', at);
    return PercentDecoded(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
}

std::string LibFindInTrash(const std::string& trashFiles, const std::string& original)
{
    std::string infoFolder = ParentOf(trashFiles) + "/info";
    DIR* folder = opendir(infoFolder.c_str());
    if (folder == nullptr)
        return std::string();
    std::string best;
    time_t bestTime = 0;
    const std::string suffix = kInfoSuffix;
    while (dirent* entry = readdir(folder)) {
        std::string name = entry->d_name;
        if (name.size() <= suffix.size()
            || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        std::string recordPath = infoFolder + "/" + name;
        struct stat info;
        if (LibTrashedFrom(recordPath) != original || lstat(recordPath.c_str(), &info) != 0)
            continue;
        std::string item = trashFiles + "/" + name.substr(0, name.size() - suffix.size());
        struct stat itemInfo;
        if (lstat(item.c_str(), &itemInfo) == 0 && (best.empty() || info.st_mtime >= bestTime)) {
            best = item;
            bestTime = info.st_mtime;
        }
    }
    closedir(folder);
    return best;
}
