#include "LibNode.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include <Entry.h>
#include <FindDirectory.h>
#include <Message.h>
#include <Path.h>
#include <TempFiles.h>
#include <TypeConstants.h>

#include "LibEntry.h"
#include "LibFileOperations.h"
#include "LibString.h"

namespace {

bool WriteFileBytes(const char* path, const std::vector<uint8>& data)
{
    int fd = open(path, O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool written = write(fd, data.data(), data.size()) == ssize_t(data.size());
    return close(fd) == 0 && written;
}

// A new folder of our own inside the private temporary folder, so that
// what a zip holds never meets anything else.
bool MakeWorkFolder(std::string* folder)
{
    std::string temp;
    if (BPrivate::TempFiles::PrivateFolder(&temp) != B_OK)
        return false;
    std::string pattern = temp + "/zipXXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        return false;
    *folder = pattern;
    return true;
}

// The one item that an archive placed in `folder`, beside `archiveLeaf`.
bool ExtractedItem(const std::string& folder, const std::string& archiveLeaf, std::string* item)
{
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return false;
    int count = 0;
    while (dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0
            || archiveLeaf == entry->d_name)
            continue;
        *item = folder + "/" + entry->d_name;
        count++;
    }
    closedir(dir);
    return count == 1;
}

} // namespace

LibNode::LibNode() = default;

LibNode::LibNode(const char* path)
    : BNode(path)
{
}

LibNode::LibNode(const entry_ref* ref)
    : BNode(ref)
{
}

LibNode::LibNode(const BEntry* entry)
    : BNode(entry)
{
}

LibNode::~LibNode() = default;

ssize_t LibNode::WriteStringAttr(const char* name, const char* text)
{
    if (text == nullptr)
        return B_BAD_VALUE;
    RemoveAttr(name);
    return WriteAttr(name, B_STRING_TYPE, 0, text, std::strlen(text));
}

ssize_t LibNode::ReadStringAttr(const char* name, LibString& text) const
{
    attr_info info;
    status_t status = GetAttrInfo(name, &info);
    if (status != B_OK)
        return status;
    std::vector<char> buffer(size_t(info.size) + 1, '\0');
    ssize_t got = ReadAttr(name, B_STRING_TYPE, 0, buffer.data(), size_t(info.size));
    if (got < 0)
        return got;
    buffer[size_t(got)] = '\0';
    text = buffer.data();
    return got;
}

ssize_t LibNode::WriteInt32Attr(const char* name, const int32& value)
{
    RemoveAttr(name);
    return WriteAttr(name, B_INT32_TYPE, 0, &value, sizeof(value));
}

bool LibNode::ReadInt32Attr(const char* name, int32& value) const
{
    int32 read = 0;
    if (ReadAttr(name, B_INT32_TYPE, 0, &read, sizeof(read)) != ssize_t(sizeof(read)))
        return false;
    value = read;
    return true;
}

ssize_t LibNode::WriteBoolAttr(const char* name, const bool& value)
{
    RemoveAttr(name);
    uint8 byte = value ? 1 : 0;
    return WriteAttr(name, B_BOOL_TYPE, 0, &byte, 1);
}

bool LibNode::ReadBoolAttr(const char* name, bool& value) const
{
    uint8 byte = 0;
    if (ReadAttr(name, B_BOOL_TYPE, 0, &byte, 1) != 1)
        return false;
    value = byte != 0;
    return true;
}

ssize_t LibNode::WriteMessageAttr(const char* name, const BMessage& message)
{
    ssize_t size = message.FlattenedSize();
    if (size < 0)
        return size;
    std::vector<char> buffer(static_cast<size_t>(size));
    status_t status = message.Flatten(buffer.data(), size);
    if (status != B_OK)
        return status;
    RemoveAttr(name);
    return WriteAttr(name, B_RAW_TYPE, 0, buffer.data(), buffer.size());
}

bool LibNode::ReadMessageAttr(const char* name, BMessage& message) const
{
    type_code type;
    std::vector<uint8> data;
    if (!ReadWhole(name, &type, &data))
        return false;
    BMessage read;
    if (read.Unflatten(data.data(), data.size()) != B_OK)
        return false;
    message = read;
    return true;
}

bool LibNode::ReadWhole(const char* name, type_code* type, std::vector<uint8>* data) const
{
    attr_info info;
    if (GetAttrInfo(name, &info) != B_OK)
        return false;
    data->resize(size_t(info.size));
    *type = info.type;
    return ReadAttr(name, info.type, 0, data->data(), data->size()) == ssize_t(data->size());
}

bool LibNode::UncompressFile(const char* name, const char* destination, const bool& unzip)
{
    attr_info info;
    if (GetAttrInfo(name, &info) != B_OK)
        return true;
    type_code type;
    std::vector<uint8> data;
    std::string folder;
    if (destination == nullptr || !ReadWhole(name, &type, &data) || !MakeWorkFolder(&folder))
        return false;
    std::string zip = folder + "/stored.zip";
    int fd = open(zip.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        std::fprintf(stderr, "Error initializine file in UncompressFile\n");
        LibUnlink(folder.c_str());
        return false;
    }
    close(fd);
    std::string item = zip;
    bool ready = WriteFileBytes(zip.c_str(), data);
    if (ready && unzip) {
        // The archive's one item, whatever its name.
        ready = LibUnzip(zip.c_str()) && ExtractedItem(folder, "stored.zip", &item);
    }
    bool placed = ready && LibMove(item.c_str(), destination);
    if (placed)
        Libmimeset(destination);
    LibUnlink(folder.c_str());
    return placed;
}
