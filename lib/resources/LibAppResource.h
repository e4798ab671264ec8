#pragma once

// LibAppResource: the entries of an installer executable. Each payload file
// or folder, and the de-installer program, is a one-item zip archive in a
// RAWT resource (InstallerFormat in the engine numbers them) whose
// name is the item's leaf name, which is also the archive's top entry.
//
// Entries are extracted in-process, straight from their place in the
// executable to the destination, through the safe extractor: nothing is
// copied to a temporary file first and no entry is ever held in memory as a
// whole. Dates, modes and BeOS attributes come back with the data.

#include <Resources.h>
#include <ZipExtractor.h>
#include <ZipWriter.h>

#include <string>
#include <vector>

class LibAppResource : public BResources {
public:
    // Binds to the running application's executable; openMode is 0
    // (read-only) or 2 (read-write). A running program cannot be written on
    // Linux: it is then bound read-only.
    explicit LibAppResource(const uint32& openMode);
    // Binds to the file at path (symbolic links followed). A file that cannot
    // be opened in that mode leaves the object unbound: it finds nothing.
    LibAppResource(const char* path, const uint32& openMode);
    virtual ~LibAppResource();

    // Writes entry id to destination, the full path the item gets (its parent
    // folder must exist; a path ending with a slash names no item). With
    // unzip the archive is extracted and its top item, which must be named
    // like the resource, renamed to destination's leaf; an item already at
    // destination is merged with, as the unzip tool would. The item appears
    // whole or not at all. Without unzip the raw resource bytes become the
    // file. False, with EntryErrorText() saying why, when there is no such
    // entry or it cannot be extracted.
    bool ExtractEntry(const int32& id, const char* destination, const bool& unzip);
    // Our own: extracts the archive of entry id to destination as above, with
    // the extractor's options for bounds, progress, stopping and an item
    // already in place (the top names are set here).
    bool ExtractEntry(
        const int32& id, const char* destination, const BPrivate::ZipExtractOptions& options);
    // Stores the file, folder or link at source as entry id under name,
    // deflated at the given level (0 to 9). The archive's top entry is named
    // like the resource, whatever the source's own leaf name.
    // Two entries made of the same item are the same bytes, whoever makes
    // them and wherever: see EntryOptions.
    bool AddEntry(const char* source, const int32& id, const char* name, const int32& compression);
    // Our own: stores the entry with the writer's options (the top name is
    // set here).
    bool AddEntry(const char* source, const int32& id, const char* name,
        const BPrivate::ZipWriteOptions& options);
    // Our own: the options AddEntry writes with at a level: the items' data,
    // modes, modification times and attributes, and nothing of the machine
    // or the person that makes the entry (no owner, no access times, DOS
    // dates in UTC rather than the local time zone).
    static BPrivate::ZipWriteOptions EntryOptions(const int32& compression);
    // Copies one resource, with its name, into target, replacing the one of
    // the same type and id there. False when there is none here or the
    // target cannot be changed.
    bool CopyResource(const int32& id, const type_code& type, LibAppResource& target);
    // A copy of the CSTR resource id (delete[] by the caller), always
    // NUL-terminated; nullptr when there is none or it is empty.
    char* FindString(const int32& id);

    // Our own: why the last ExtractEntry, AddEntry or CopyResource failed.
    const std::string& EntryErrorText() const { return fEntryError; }
    // Our own: what the last extraction could not restore (an attribute the
    // file system refused, for example); the data are complete regardless.
    const std::vector<std::string>& EntryWarnings() const { return fEntryWarnings; }
    // Our own: with the options' digestFiles, the files the last extraction
    // wrote, with their digests.
    const BPrivate::ZipWrittenFiles& EntryFiles() const { return fEntryFiles; }

private:
    bool FindEntry(const int32& id, const char* destination, bool raw);
    bool ExtractRaw(const int32& id, const char* destination, size_t size);
    bool Fail(std::string text);

    std::string fEntryError;
    std::vector<std::string> fEntryWarnings;
    BPrivate::ZipWrittenFiles fEntryFiles;
};
