#pragma once

// The readable names of the platform's standard folders ("User Settings",
// "Common Boot", "Applications", ...) and their directory_which values.
// Installer configurations name destinations by these names instead of by
// paths, so the names are part of the configuration format: they are
// compared exactly (case-sensitive, whole string) and never change.

#include <FindDirectory.h>
#include <SupportDefs.h>

class LibString;

// One row of the table: a directory_which value and its readable name.
struct lib_dir_name {
    int32 which;
    const char* name;
};

// The 51 standard folders in the platform's order (desktop and trash, then
// the system, common, user and application folders), ended by a row whose
// name is null.
extern const lib_dir_name lib_be_dir_names[];

// The number of named rows in lib_be_dir_names.
int32 LibCountStdDirNames();

// (name, value out) The value of the first row with that name; false, with
// the value untouched, when there is none.
bool LibGetStdDirName(const char* name, directory_which& which);
// (value, name out) The name of the first row with that value; false, with
// the name untouched, when there is none.
bool LibGetStdDirName(const directory_which& which, LibString& name);
bool LibStdDirNameExists(const char* name);
