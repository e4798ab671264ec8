#include <Path.h>

#include <cstring>

#include <Directory.h>
#include <Entry.h>

#include "PathHelpers.h"
#include "RefPathCache.h"

using namespace BPrivate;

BPath::BPath()
    : fStatus(B_NO_INIT)
{
}

BPath::BPath(const BPath& path)
    : fPath(path.fPath)
    , fStatus(path.fStatus)
{
}

BPath::BPath(const entry_ref* ref)
    : fStatus(B_NO_INIT)
{
    SetTo(ref);
}

BPath::BPath(const BEntry* entry)
    : fStatus(B_NO_INIT)
{
    SetTo(entry);
}

BPath::BPath(const char* dir, const char* leaf, bool normalize)
    : fStatus(B_NO_INIT)
{
    SetTo(dir, leaf, normalize);
}

BPath::BPath(const BDirectory* dir, const char* leaf, bool normalize)
    : fStatus(B_NO_INIT)
{
    SetTo(dir, leaf, normalize);
}

BPath::~BPath() = default;

status_t BPath::InitCheck() const
{
    return fStatus;
}

status_t BPath::SetTo(const entry_ref* ref)
{
    Unset();
    if (ref == nullptr)
        return fStatus = B_BAD_VALUE;
    std::string path;
    status_t status = PathForRef(*ref, &path);
    if (status != B_OK)
        return fStatus = status;
    fPath = std::move(path);
    return fStatus = B_OK;
}

status_t BPath::SetTo(const BEntry* entry)
{
    Unset();
    if (entry == nullptr)
        return fStatus = B_BAD_VALUE;
    if (entry->InitCheck() != B_OK)
        return fStatus = entry->InitCheck();
    fPath = entry->PathString();
    return fStatus = B_OK;
}

status_t BPath::SetTo(const char* path, const char* leaf, bool normalize)
{
    if (path == nullptr || path[0] == '\0') {
        Unset();
        return fStatus = B_BAD_VALUE;
    }
    if (leaf != nullptr && leaf[0] == '/') {
        Unset();
        return fStatus = B_BAD_VALUE;
    }
    // Copy first: `path` may point into this object (Append, GetParent).
    std::string full = path;
    if (leaf != nullptr && leaf[0] != '\0')
        full = JoinPath(full, leaf);
    Unset();

    std::string absolute;
    status_t status = AbsolutePath(full.c_str(), &absolute);
    if (status != B_OK)
        return fStatus = status;
    std::string clean = CleanPath(absolute);
    if (normalize || HasParentReference(clean)) {
        status = ResolveFolderOf(clean, &clean);
        if (status != B_OK)
            return fStatus = status;
    }
    fPath = std::move(clean);
    return fStatus = B_OK;
}

status_t BPath::SetTo(const BDirectory* dir, const char* leaf, bool normalize)
{
    if (dir == nullptr || dir->InitCheck() != B_OK) {
        Unset();
        return fStatus = B_BAD_VALUE;
    }
    if (leaf != nullptr && leaf[0] == '/') {
        Unset();
        return fStatus = B_BAD_VALUE;
    }
    std::string folder = dir->PathString();
    return SetTo(folder.c_str(), leaf, normalize);
}

void BPath::Unset()
{
    fPath.clear();
    fStatus = B_NO_INIT;
}

status_t BPath::Append(const char* path, bool normalize)
{
    if (fStatus != B_OK)
        return B_BAD_VALUE;
    if (path == nullptr || path[0] == '/')
        return B_BAD_VALUE;
    std::string current = fPath;
    return SetTo(current.c_str(), path, normalize);
}

const char* BPath::Path() const
{
    return fStatus == B_OK ? fPath.c_str() : nullptr;
}

const char* BPath::Leaf() const
{
    if (fStatus != B_OK)
        return nullptr;
    return fPath.c_str() + fPath.rfind('/') + 1;
}

status_t BPath::GetParent(BPath* path) const
{
    if (path == nullptr)
        return B_BAD_VALUE;
    if (fStatus != B_OK)
        return B_NO_INIT;
    if (fPath == "/")
        return B_ENTRY_NOT_FOUND;
    std::string folder;
    std::string leaf;
    SplitPath(fPath, &folder, &leaf);
    path->fPath = std::move(folder);
    path->fStatus = B_OK;
    return B_OK;
}

bool BPath::operator==(const BPath& item) const
{
    if (fStatus != B_OK || item.fStatus != B_OK)
        return fStatus != B_OK && item.fStatus != B_OK;
    return fPath == item.fPath;
}

bool BPath::operator==(const char* path) const
{
    if (fStatus != B_OK || path == nullptr)
        return fStatus != B_OK && path == nullptr;
    return fPath == path;
}

BPath& BPath::operator=(const BPath& item)
{
    if (this != &item) {
        fPath = item.fPath;
        fStatus = item.fStatus;
    }
    return *this;
}

BPath& BPath::operator=(const char* path)
{
    if (path == nullptr)
        Unset();
    else
        SetTo(path);
    return *this;
}
