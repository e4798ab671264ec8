#pragma once

// MIME types of files and the icons that go with them.

#include <SupportDefs.h>

enum icon_size { B_LARGE_ICON = 32, B_MINI_ICON = 16 };

// The verb of a preferred application: only opening exists.
enum app_verb { B_OPEN = 0 };

// Bytes of an icon in B_CMAP8: 32 x 32 or 16 x 16, one byte a pixel, top row
// first, index 255 transparent.
constexpr size_t IconBytes(icon_size size)
{
    return size_t(size) * size_t(size);
}

// Well-known types.
#define B_APP_MIME_TYPE "application/x-vnd.Be-elfexecutable"
#define B_PEF_APP_MIME_TYPE "application/x-be-executable"
#define B_RESOURCE_MIME_TYPE "application/x-be-resource"
#define B_FILE_MIME_TYPE "application/octet-stream"
#define B_DIRECTORY_MIME_TYPE "application/x-vnd.Be-directory"
#define B_VOLUME_MIME_TYPE "application/x-vnd.Be-volume"
#define B_SYMLINK_MIME_TYPE "application/x-vnd.Be-symlink"

enum {
    B_UPDATE_MIME_INFO_NO_FORCE = 0,
    B_UPDATE_MIME_INFO_FORCE_KEEP_TYPE = 1,
    B_UPDATE_MIME_INFO_FORCE_UPDATE_ALL = 2
};

// Detects the type of the file at `path` from its contents (and of a
// folder's contents too when `recursive`) and stores it as the node's
// "BEOS:TYPE". Without `force` a node that already has a type keeps it.
// This is what the "mimeset" tool does. `synchronous` is accepted for
// compatibility; the work is always done before the call returns.
status_t update_mime_info(const char* path, int recursive, int synchronous, int force);

#include <MimeType.h>
