#pragma once

// InstallListItem: a row of the installer's file list. On top of a file
// row it knows the install groups (install types) the file belongs to and
// the file's size as the configuration states it, and reads and writes them
// with the "install_file" record ("groups", "file_size").

#include <InstallerFormat.h>
#include <LibStringList.h>

#include "FileListItem.h"

class InstallListItem : public FileListItem {
public:
    // Shows whole paths, cut at their beginning when too long.
    explicit InstallListItem(const bool& indent);
    InstallListItem(const char* path, const bool& indent, const bool& showFullPath);
    InstallListItem(const InstallListItem& other, const bool& indent);
    ~InstallListItem() override;

    // Adds "groups" (each name followed by ";") and the size as the second
    // value of "file_size".
    void Write(BMessage& message) override;
    // Adds the names of "groups" to the groups, and takes the size the
    // record gives ("file_size" or its 64-bit companion) as the size.
    void Read(const BMessage& message) override;

    void SetSize(const int32& size);
    // The size saturated at the 32-bit maximum, and the whole size.
    int32 Size() const { return InstallerFormat::SaturatedSize32(fSize); }
    uint64 Size64() const { return fSize; }
    // The install groups; membership is asked with InList().
    LibStringList& Groups() { return fGroups; }

private:
    uint64 fSize;
    LibStringList fGroups;
};
