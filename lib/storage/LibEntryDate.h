#pragma once

// The dates of a file as LibDateTime values (local or UTC).
//
// Each function starts from 1 January 1970, 00:00:00. With `local` set the
// result is the time converted to local date and time; otherwise it is UTC.
// When the path cannot be resolved the starting point is returned.
// Symbolic links are followed, so a link reports the dates of its target.
//
// Linux keeps no settable creation time: the creation date is the one the
// storage kit stored for the file, else the file system's birth time, else
// the modification time (never 1970 for a file that exists).

#include <EntryRef.h>

#include "LibDateTime.h"

LibDateTime LibCreationDate(const char* path, const bool& local);
LibDateTime LibCreationDate(const entry_ref& ref, const bool& local);
LibDateTime LibLastModifiedDate(const char* path, const bool& local);
LibDateTime LibAccessedDate(const char* path, const bool& local);
