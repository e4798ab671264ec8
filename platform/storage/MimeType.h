#pragma once

// BMimeType: a type string ("text/plain") and what the MIME database
// (MimeDatabase.h) knows about it: its preferred application, descriptions,
// icons, and, for an application's signature, where the application is and
// which types it supports.

#include <string>

#include <EntryRef.h>
#include <Mime.h>

class BMessage;

class BMimeType {
public:
    BMimeType();
    BMimeType(const char* type);
    ~BMimeType();

    status_t SetTo(const char* type);
    void Unset();
    status_t InitCheck() const;

    const char* Type() const;
    bool IsValid() const;
    static bool IsValid(const char* type);
    bool IsSupertypeOnly() const;
    status_t GetSupertype(BMimeType* supertype) const;
    // Whether `type` is this type, or this is a supertype of it.
    bool Contains(const BMimeType* type) const;

    // Types compare without regard to case.
    bool operator==(const BMimeType& type) const;
    bool operator==(const char* type) const;

    status_t Install();
    status_t Delete();
    bool IsInstalled() const;

    // The preferred application's signature, into a buffer of
    // B_MIME_TYPE_LENGTH bytes; B_ENTRY_NOT_FOUND when none is set.
    status_t GetPreferredApp(char* signature, app_verb verb = B_OPEN) const;
    status_t SetPreferredApp(const char* signature, app_verb verb = B_OPEN);

    // Descriptions into buffers of B_MIME_TYPE_LENGTH bytes.
    status_t GetShortDescription(char* description) const;
    status_t SetShortDescription(const char* description);
    status_t GetLongDescription(char* description) const;
    status_t SetLongDescription(const char* description);

    // For an application signature: where the application is.
    status_t GetAppHint(entry_ref* ref) const;
    status_t SetAppHint(const entry_ref* ref);

    // For an application signature: the types it supports, as "types"
    // strings in the message.
    status_t GetSupportedTypes(BMessage* types) const;
    status_t SetSupportedTypes(const BMessage* types, bool fullSync = true);

    // The type's icon as B_CMAP8 bytes (IconBytes(size) of them).
    status_t GetIconData(icon_size size, uint8* bits) const;
    status_t SetIconData(icon_size size, const uint8* bits);

    // Guesses a type from contents or from a file (see TypeSniffer.h).
    static status_t GuessMimeType(const void* buffer, int32 length, BMimeType* type);
    static status_t GuessMimeType(const entry_ref* file, BMimeType* type);

private:
    status_t GetText(const char* key, char* buffer, size_t size) const;
    status_t SetText(const char* key, const char* value, size_t maxLength);

    std::string fType;
    status_t fStatus;
};
