#include <NodeInfo.h>

#include <cstring>
#include <sys/stat.h>
#include <vector>

#include <Entry.h>
#include <Node.h>
#include <TypeConstants.h>

#include "GenericIcons.h"
#include "NodeAttributes.h"
#include "RefPathCache.h"

BNodeInfo::BNodeInfo()
    : fNode(nullptr)
    , fStatus(B_NO_INIT)
{
}

BNodeInfo::BNodeInfo(BNode* node)
    : BNodeInfo()
{
    SetTo(node);
}

BNodeInfo::~BNodeInfo() = default;

status_t BNodeInfo::SetTo(BNode* node)
{
    fNode = nullptr;
    if (node == nullptr)
        return fStatus = B_BAD_VALUE;
    if (node->InitCheck() != B_OK)
        return fStatus = node->InitCheck();
    fNode = node;
    return fStatus = B_OK;
}

status_t BNodeInfo::InitCheck() const
{
    return fStatus;
}

status_t BNodeInfo::ReadString(const char* name, char* buffer, size_t size) const
{
    if (buffer == nullptr)
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return B_NO_INIT;
    attr_info info;
    status_t status = fNode->GetAttrInfo(name, &info);
    if (status != B_OK)
        return status;
    if (info.type != B_MIME_STRING_TYPE)
        return B_BAD_TYPE;
    if (info.size > off_t(size))
        return B_BAD_DATA;
    ssize_t length = fNode->ReadAttr(name, B_MIME_STRING_TYPE, 0, buffer, size);
    if (length < 0)
        return status_t(length);
    // The stored string need not end in a NUL.
    if (size_t(length) == size && buffer[size - 1] != '\0')
        return B_BAD_DATA;
    buffer[std::min(size_t(length), size - 1)] = '\0';
    return B_OK;
}

status_t BNodeInfo::WriteString(const char* name, const char* value)
{
    if (fStatus != B_OK)
        return B_NO_INIT;
    if (value == nullptr) {
        status_t status = fNode->RemoveAttr(name);
        return status == B_ENTRY_NOT_FOUND ? B_OK : status;
    }
    size_t length = std::strlen(value) + 1;
    ssize_t written = fNode->WriteAttr(name, B_MIME_STRING_TYPE, 0, value, length);
    return written < 0 ? status_t(written) : B_OK;
}

status_t BNodeInfo::GetType(char* type) const
{
    status_t status = ReadString(kTypeAttribute, type, B_MIME_TYPE_LENGTH);
    if (status != B_ENTRY_NOT_FOUND)
        return status;
    // Typed by another Linux program: the freedesktop.org attribute.
    BPrivate::NodeTarget target;
    std::vector<uint8> value;
    if (fNode->GetNodeTarget(&target) != B_OK
        || BPrivate::NodeAttributes::ReadRaw(target, BPrivate::NodeAttributes::kMimeMirror, &value)
            != B_OK) {
        // Folders and links are typed by their kind, as the original file
        // system does: Linux has no attribute to hold that.
        struct stat info;
        if (fNode->GetStat(&info) == B_OK && (S_ISDIR(info.st_mode) || S_ISLNK(info.st_mode))) {
            std::strcpy(type,
                S_ISDIR(info.st_mode) ? "application/x-vnd.Be-directory"
                                      : "application/x-vnd.Be-symlink");
            return B_OK;
        }
        return B_ENTRY_NOT_FOUND;
    }
    while (!value.empty() && value.back() == 0)
        value.pop_back();
    if (value.empty() || value.size() >= B_MIME_TYPE_LENGTH)
        return B_BAD_DATA;
    std::memcpy(type, value.data(), value.size());
    type[value.size()] = '\0';
    return BMimeType::IsValid(type) ? B_OK : B_BAD_DATA;
}

status_t BNodeInfo::SetType(const char* type)
{
    if (type != nullptr && !BMimeType::IsValid(type))
        return B_BAD_VALUE;
    return WriteString(kTypeAttribute, type);
}

status_t BNodeInfo::GetPreferredApp(char* signature, app_verb verb) const
{
    if (verb != B_OPEN)
        return B_BAD_VALUE;
    return ReadString(kPreferredAppAttribute, signature, B_MIME_TYPE_LENGTH);
}

status_t BNodeInfo::SetPreferredApp(const char* signature, app_verb verb)
{
    if (verb != B_OPEN || (signature != nullptr && !BMimeType::IsValid(signature)))
        return B_BAD_VALUE;
    return WriteString(kPreferredAppAttribute, signature);
}

status_t BNodeInfo::GetAppHint(entry_ref* ref) const
{
    if (ref == nullptr)
        return B_BAD_VALUE;
    std::vector<char> path(B_PATH_NAME_LENGTH * 4);
    status_t status = ReadString(kAppHintAttribute, path.data(), path.size());
    if (status != B_OK)
        return status;
    return get_ref_for_path(path.data(), ref);
}

status_t BNodeInfo::SetAppHint(const entry_ref* ref)
{
    if (ref == nullptr)
        return WriteString(kAppHintAttribute, nullptr);
    std::string path;
    status_t status = BPrivate::PathForRef(*ref, &path);
    if (status != B_OK)
        return status;
    return WriteString(kAppHintAttribute, path.c_str());
}

status_t BNodeInfo::GetIconData(icon_size size, uint8* bits) const
{
    if (bits == nullptr || (size != B_LARGE_ICON && size != B_MINI_ICON))
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return B_NO_INIT;
    const char* name = size == B_LARGE_ICON ? kLargeIconAttribute : kMiniIconAttribute;
    type_code type = size == B_LARGE_ICON ? B_LARGE_ICON_TYPE : B_MINI_ICON_TYPE;
    attr_info info;
    status_t status = fNode->GetAttrInfo(name, &info);
    if (status != B_OK)
        return status;
    if (info.type != type)
        return B_BAD_TYPE;
    if (info.size != off_t(IconBytes(size)))
        return B_BAD_DATA;
    ssize_t length = fNode->ReadAttr(name, type, 0, bits, IconBytes(size));
    return length == ssize_t(IconBytes(size)) ? B_OK : (length < 0 ? status_t(length) : B_BAD_DATA);
}

status_t BNodeInfo::SetIconData(icon_size size, const uint8* bits)
{
    if (size != B_LARGE_ICON && size != B_MINI_ICON)
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return B_NO_INIT;
    const char* name = size == B_LARGE_ICON ? kLargeIconAttribute : kMiniIconAttribute;
    if (bits == nullptr) {
        status_t status = fNode->RemoveAttr(name);
        return status == B_ENTRY_NOT_FOUND ? B_OK : status;
    }
    type_code type = size == B_LARGE_ICON ? B_LARGE_ICON_TYPE : B_MINI_ICON_TYPE;
    ssize_t written = fNode->WriteAttr(name, type, 0, bits, IconBytes(size));
    return written < 0 ? status_t(written) : B_OK;
}

status_t BNodeInfo::GetTrackerIconData(icon_size size, uint8* bits) const
{
    if (bits == nullptr || (size != B_LARGE_ICON && size != B_MINI_ICON))
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return B_NO_INIT;
    if (GetIconData(size, bits) == B_OK)
        return B_OK;
    char type[B_MIME_TYPE_LENGTH];
    bool typed = GetType(type) == B_OK;
    if (typed && BMimeType(type).GetIconData(size, bits) == B_OK)
        return B_OK;
    struct stat info;
    status_t status = fNode->GetStat(&info);
    if (status != B_OK)
        return status;
    BPrivate::generic_icon kind = BPrivate::kDocumentIcon;
    if (S_ISDIR(info.st_mode))
        kind = BPrivate::kFolderIcon;
    else if (S_ISLNK(info.st_mode))
        kind = BPrivate::kLinkIcon;
    else if (typed && std::strcmp(type, B_APP_MIME_TYPE) == 0)
        kind = BPrivate::kApplicationIcon;
    BPrivate::GenericIcon(kind, size, bits);
    return B_OK;
}

status_t BNodeInfo::GetTrackerIconData(const entry_ref* ref, icon_size size, uint8* bits)
{
    if (ref == nullptr)
        return B_BAD_VALUE;
    BNode node(ref);
    if (node.InitCheck() != B_OK)
        return node.InitCheck();
    BNodeInfo info(&node);
    return info.GetTrackerIconData(size, bits);
}
