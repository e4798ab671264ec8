// CustomFolders: a list of custom folders, with the preference form that keeps the
// folders common to all installers apart from those of one installer.
#ifndef CUSTOM_FOLDERS_H
#define CUSTOM_FOLDERS_H

#include <LinkList.h>

#include "CustomFolder.h"

class BMessage;

class CustomFolders : public LinkList<CustomFolder> {
public:
    CustomFolders(void) = default;
    CustomFolders(const CustomFolders& other) = default;
    ~CustomFolders() override;

    // Whether a folder of that name is in the list (the cursor rests on it).
    bool IsCustom(const char* name);
    // The list's own folder of that name, or null.
    CustomFolder* Find(const char* name);
    // The number of folders whose common flag is set.
    long CountCommonCustom();

    // Writes the folders of this installer (own true: common flag off) or the common
    // ones (own false) as "custom_folder_qty" and numbered entries.
    void WritePref(BMessage& message, bool own);
    // Appends the entries of a preference message; reading the common folders, a
    // folder of this list with the same name is renamed with " Renamed".
    void ReadPref(const BMessage& message, bool own);

    void PrintToStream();
};

#endif // CUSTOM_FOLDERS_H
