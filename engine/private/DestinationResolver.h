#pragma once

// Where a destination name ("destination" or "link" of an item) points: a
// custom folder of the configuration (the first entry of that name), else a
// standard folder name. Custom folders are resolved against the standard
// folders of the scope whatever the destination volume: a tree such as
// /media/usb/home/config/settings would puzzle any Linux user. Nothing is
// created or changed here; the install pass does that (GetNewPath).

#include <string>

#include <Message.h>

class DestinationResolver {
public:
    enum result_kind {
        // A custom folder entry (index in the custom folders message).
        B_CUSTOM_FOLDER,
        B_STANDARD_FOLDER,
        // Neither a custom nor a standard name.
        B_UNKNOWN_NAME,
        // A custom folder whose parent is no folder constant, or whose
        // sub-folder is not a safe relative path ("../x", "/etc").
        B_UNSAFE_FOLDER,
    };

    static result_kind Resolve(
        const char* name, const BMessage& customFolders, std::string* path, int32* index);
};
