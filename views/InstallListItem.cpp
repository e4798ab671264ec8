#include "InstallListItem.h"

#include <Message.h>

#include <LibStringIterator.h>

#include <algorithm>

namespace {

// Installer rows cut long texts at their beginning, so the leaf shows.
constexpr uint32 kCutAtBeginning = B_TRUNCATE_BEGINNING;

} // namespace

InstallListItem::InstallListItem(const bool& indent)
    : FileListItem(indent, true)
    , fSize(0)
{
    SetTruncateMode(kCutAtBeginning);
}

InstallListItem::InstallListItem(const char* path, const bool& indent, const bool& showFullPath)
    : FileListItem(path, indent, showFullPath)
    , fSize(0)
{
    SetTruncateMode(kCutAtBeginning);
}

InstallListItem::InstallListItem(const InstallListItem& other, const bool& indent)
    : FileListItem(other, indent)
    , fSize(other.fSize)
    , fGroups(other.fGroups)
{
    SetTruncateMode(kCutAtBeginning);
}

InstallListItem::~InstallListItem() = default;

void InstallListItem::SetSize(const int32& size)
{
    fSize = uint64(std::max<int32>(size, 0));
}

void InstallListItem::Write(BMessage& message)
{
    FileListItem::Write(message);
    LibString groups;
    for (LibString* group = fGroups.First(); group != nullptr; group = fGroups.Next()) {
        groups.Concat(*group);
        groups.Concat(';');
    }
    message.AddString("groups", groups);
    message.AddInt32(InstallerFormat::Field::kFileSize, Size());
}

void InstallListItem::Read(const BMessage& message)
{
    FileListItem::Read(message);
    const char* groups = nullptr;
    if (message.FindString("groups", &groups) == B_OK && groups != nullptr) {
        LibStringIterator names(groups);
        LibString name;
        while (names.GetNextField(';', name)) {
            // "Typical;;Sounds;" has no group between the two separators.
            if (name.Length() > 0)
                fGroups.Add(name);
        }
    }
    if (message.HasInt32(InstallerFormat::Field::kFileSize)
        || message.HasInt64(InstallerFormat::Field::kFileSize64))
        fSize = InstallerFormat::RecordedFileSize(message);
}
