#pragma once

// InstallListItem: a row of the installer's file list. On top of a file
// row it knows the install groups (install types) the file belongs to and
// the file's size as the configuration states it, and reads and writes them
// with the "install_file" record ("groups", "file_size").

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
    // Adds the names of "groups" to the groups, and takes the first value of
    // "file_size" as the size.
    void Read(const BMessage& message) override;

    void SetSize(const int32& size);
    int32 Size() const { return fSize; }
    // The install groups; membership is asked with InList().
    LibStringList& Groups() { return fGroups; }

private:
    int32 fSize;
    LibStringList fGroups;
};
