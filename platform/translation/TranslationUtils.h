#pragma once

// BTranslationUtils: one-call loading of image files into bitmaps. The
// formats read are PNG, JPEG, GIF (the first frame), BMP and the kit's own
// bitmap stream (B_TRANSLATOR_BITMAP), recognised by their first bytes,
// whatever the file is called.

#include <SupportDefs.h>

class BBitmap;
class BPositionIO;
class BResources;

class BTranslationUtils {
public:
    BTranslationUtils() = delete;

    // Loads the image file at `path` (symbolic links followed) into a new
    // B_RGBA32 bitmap, or B_RGB32 when every pixel is opaque, owned by the
    // caller. NULL when the file cannot be read, is not a regular file, is
    // larger than the decoders accept, or does not decode.
    static BBitmap* GetBitmap(const char* path);
    // The same for the image from the stream's current position to its end.
    static BBitmap* GetBitmap(BPositionIO* stream);
    // The same for a resource of the running program, by type (usually
    // B_TRANSLATOR_BITMAP) and id or name.
    static BBitmap* GetBitmap(uint32 type, int32 id);
    static BBitmap* GetBitmap(uint32 type, const char* name);

    // Our own: the same for an image in memory, and the status behind a
    // NULL bitmap (B_ENTRY_NOT_FOUND, B_BAD_DATA, B_NOT_SUPPORTED for an
    // unknown format, B_NO_MEMORY for an image or file beyond the limits).
    static BBitmap* GetBitmap(const void* data, size_t size, status_t* status = nullptr);
    static BBitmap* GetBitmap(const char* path, status_t* status);
    // Our own: the same for a resource of another file.
    static BBitmap* GetBitmap(BResources* resources, uint32 type, int32 id);
    static BBitmap* GetBitmap(BResources* resources, uint32 type, const char* name);
};
