#pragma once

// Version records, signatures and supported types of applications.
//
// Each function opens the executable only for the duration of the call.
// Functions without a path work on the running application's executable;
// they do nothing (empty result, false) when no application object exists.
// Linux refuses to open a running program for writing, so the writers fail
// on the running executable, quietly, as on a read-only medium.

#include <EntryRef.h>
#include <SupportDefs.h>

#include "LibString.h"

class LibStringList;

// Writes the application version record. Either text may be null (an
// empty text); texts longer than the record's fields (63 and 255 bytes)
// are cut.
bool LibSetAppVersion(const uint32& major, const uint32& middle, const uint32& minor,
    const char* shortInfo, const char* longInfo, const uint32& variety, const uint32& internal);
bool LibSetAppVersion(const char* path, const uint32& major, const uint32& middle,
    const uint32& minor, const char* shortInfo, const char* longInfo, const uint32& variety,
    const uint32& internal);

// "major.middle.minor", then " Dev", " Alpha", " Beta", " Gamma" or " Gold"
// for varieties 0 to 4 (nothing for a final release), then, when the
// internal number is not 0, a space and that number: "1.3.1",
// "2.0.0 Beta 3". Empty when the file has no application version record.
// A null path means the running application.
LibString LibGetAppVersion(const char* path);

// The signature of an application file into `signature` (at least
// B_MIME_TYPE_LENGTH bytes); empty when the file is not an application or
// has no signature.
void LibGetAppSignature(const entry_ref& ref, char* signature);

// Adds the running application's supported types to the list; returns the
// list's count, 0 when there are none.
int32 LibGetAppSupportedTypes(LibStringList& types);
int32 LibGetAppSupportedTypes(const char* path, LibStringList& types);
// Writes the list, in order, as the running application's supported types.
bool LibSetAppSupportedTypes(LibStringList& types);
bool LibSetAppSupportedTypes(const char* path, LibStringList& types);
