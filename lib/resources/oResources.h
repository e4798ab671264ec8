#pragma once

// oResources: strings (and ids for new ones) and bitmaps among the resources
// of the running application's executable, or of another file. Localized
// texts are CSTR resources found by name ("en:1031"); their ids carry no
// meaning. Bitmaps are BBMP resources found by name.

#include <Resources.h>

class BBitmap;

#include <LibString.h>

class oResources : public BResources {
public:
    // Binds to the running application's executable; openMode is 0
    // (read-only) or 2 (read-write). Without an application the object stays
    // unbound and finds nothing.
    explicit oResources(const uint32& openMode);
    // Our own: binds to the file at path (symbolic links followed).
    oResources(const char* path, const uint32& openMode);
    virtual ~oResources();

    // The text of the CSTR resource of that name, up to its first NUL (or its
    // end, when a damaged resource has none); empty when there is none.
    LibString GetString(const char* name);
    bool HasString(const char* name);

    // The type of a resource that holds an archived bitmap (a flattened
    // message a BBitmap can be made from).
    static constexpr type_code kBitmapType = 'BBMP';
    // A new bitmap, owned by the caller, made from the BBMP resource of that
    // name; null when there is none, or when its data do not make a bitmap.
    BBitmap* GetBitmap(const char* name);

    // An id that no resource of the type uses yet: the smallest one from 1.
    int32 UniqueId(const type_code& type);
    // Adds (or replaces) the CSTR resource of that name, with the text and its
    // NUL; a new name gets UniqueId(B_STRING_TYPE). False when the file cannot
    // be changed.
    bool AddString(const char* name, const char* text);
};
