#pragma once

// BDirectory: an open folder. Setting it to a path follows symbolic links.
// Its entries are visited once each, in the file system's order, without
// "." and "..".

#include <dirent.h>
#include <memory>

#include <EntryList.h>
#include <Node.h>

class BFile;
class BSymLink;

class BDirectory : public BNode, public BEntryList {
public:
    BDirectory();
    BDirectory(const BDirectory& dir);
    BDirectory(const entry_ref* ref);
    BDirectory(const node_ref* nref);
    BDirectory(const BEntry* entry);
    BDirectory(const char* path);
    BDirectory(const BDirectory* dir, const char* path);
    ~BDirectory() override;

    status_t SetTo(const entry_ref* ref);
    status_t SetTo(const node_ref* nref);
    status_t SetTo(const BEntry* entry);
    status_t SetTo(const char* path);
    status_t SetTo(const BDirectory* dir, const char* path);
    void Unset();

    status_t GetEntry(BEntry* entry) const;
    bool IsRootDirectory() const;

    // Finds the entry at `path` (relative to this folder, or absolute); it
    // must exist.
    status_t FindEntry(const char* path, BEntry* entry, bool traverse = false) const;

    // Whether the entry at `path` (relative, or absolute and below this
    // folder) exists and is of one of the kinds in `nodeFlags`.
    bool Contains(const char* path, int32 nodeFlags = B_ANY_NODE) const;
    // Whether the entry lies anywhere below this folder and is of one of the
    // kinds in `nodeFlags`.
    bool Contains(const BEntry* entry, int32 nodeFlags = B_ANY_NODE) const;

    status_t GetStatFor(const char* path, struct stat* info) const;

    status_t GetNextEntry(BEntry* entry, bool traverse = false) override;
    status_t GetNextRef(entry_ref* ref) override;
    status_t Rewind() override;
    int32 CountEntries() override;

    // Creates a folder at `path` (relative to this folder); fails with
    // B_FILE_EXISTS when something is there already. `dir`, when given
    // (it may be this object), is set to the new folder.
    status_t CreateDirectory(const char* path, BDirectory* dir);
    // Creates (or, unless `failIfExists`, empties) a file, opened
    // read-write in `file` when given.
    status_t CreateFile(const char* path, BFile* file, bool failIfExists = false);
    status_t CreateSymLink(const char* path, const char* linkToPath, BSymLink* link);

    BDirectory& operator=(const BDirectory& dir);

private:
    struct DirCloser {
        void operator()(DIR* dir) const { closedir(dir); }
    };

    status_t OpenFolder(const std::string& path);
    std::string Resolve(const char* path) const;
    status_t ReadNextName(std::string* name);

    std::unique_ptr<DIR, DirCloser> fDir;
    dev_t fDevice;
    ino_t fNode;
};

// Creates the folder and every missing folder above it, each with `mode`
// (less the umask). B_OK when the folder exists afterwards;
// B_NOT_A_DIRECTORY when something other than a folder is in the way.
status_t create_directory(const char* path, mode_t mode);
