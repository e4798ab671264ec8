#pragma once

// The hidden folder an item is extracted into before it takes its place, so
// that a folder never shows half an item: a failed or stopped extraction
// removes the staging folder with everything in it, and one that was killed
// leaves a staging folder that the next extraction into the same folder
// finds and removes. A staging folder is locked (flock) while in use, which
// tells the remains of a dead process from the work of a live one.

#include "ZipExtractor.h"

#include <Descriptor.h>

#include <string>
#include <vector>

namespace BPrivate {

// Staging folders are named with this prefix and a random part; an archive
// item of such a name is refused.
constexpr const char* kStagingPrefix = ".brenvik-partial-";

class ZipStaging {
public:
    ZipStaging() = default;
    // Removes the staging folder and its content unless it was emptied by
    // Place.
    ~ZipStaging();
    ZipStaging(const ZipStaging&) = delete;
    ZipStaging& operator=(const ZipStaging&) = delete;

    // Creates the staging folder inside the folder open as folderFd (which
    // must stay open while this object lives).
    status_t Create(int folderFd, std::string* reason);
    int Descriptor() const { return fFd.Get(); }

    // Moves the item name from the staging folder to the folder, settling an
    // item already there as existing says, then removes the staging folder.
    status_t Place(const std::string& name, ZipExisting existing, std::string* reason);

    // Removes the staging folder and everything in it.
    void Remove();

    // Removes every staging folder inside folderFd that no live extraction
    // holds; each one removed is described in removed.
    static void RemoveStale(int folderFd, std::vector<std::string>* removed);

private:
    status_t Exchange(const std::string& name, std::string* reason);
    status_t MoveNew(const std::string& name, std::string* reason);
    status_t Merge(int fromFd, int toFd, const std::string& name, const std::string& path,
        bool dryRun, std::string* reason);

    int fFolder = -1;
    BPrivate::Descriptor fFd;
    std::string fName;
};

// Removes the file, link or folder name inside parentFd, with everything
// below it, never following a link. Folders without write or search
// permission for their owner are opened up first.
status_t RemoveTree(int parentFd, const char* name);

} // namespace BPrivate
