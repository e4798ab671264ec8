#pragma once

// Copies one item (a file, a folder with everything below it, a symbolic
// link or a FIFO) to an exact target path, with its data, permissions,
// times and BeOS attributes. The engine of LibCopy and of moves across file
// systems.
//
// Every file and link is made under a temporary name in the target's folder
// and renamed into place once complete, so the target is never a
// half-written file, and an existing link at the target is replaced rather
// than written through. A folder that already exists at the target receives
// the copy of the source's contents (merge). Set-id and sticky bits are not
// copied; permissions are reduced by the umask as for any new file. Devices
// and sockets are refused.
//
// Attributes that the target's file system cannot keep (no user xattrs, no
// room) do not fail the copy; each is listed in Warnings().

#include <string>
#include <sys/stat.h>
#include <vector>

#include <SupportDefs.h>

class LibTreeCopy {
public:
    LibTreeCopy();

    // Flushes each file to the disk before it is renamed into place (a move
    // removes the source afterwards and must not lose the only copy).
    void SetSyncFiles(bool sync) { fSyncFiles = sync; }

    // Copies `source` to `target`. Refuses to copy an item onto itself or a
    // folder into itself. Stops at the first error, whose text is then in
    // ErrorText().
    status_t Copy(const std::string& source, const std::string& target);

    // What a move across file systems does: copies `source` to `target`
    // (each file flushed to the disk), lets the type detector type the copy
    // where it has no type, and removes the source only once the copy is
    // complete, so that a failure never loses the item.
    status_t MoveByCopy(const std::string& source, const std::string& target);

    // Moves an item to `target`, never over anything there: a rename that
    // refuses to replace, or, across file systems, MoveByCopy into a name
    // that was free. B_FILE_EXISTS when the name is taken.
    static status_t MoveWithoutReplacing(const std::string& source, const std::string& target);

    const std::string& ErrorText() const { return fErrorText; }
    const std::vector<std::string>& Warnings() const { return fWarnings; }

private:
    status_t CopyItem(const std::string& source, const std::string& target);
    status_t CopyFile(
        const std::string& source, const struct stat& info, const std::string& target);
    status_t CopyFolder(
        const std::string& source, const struct stat& info, const std::string& target);
    status_t CopyLink(
        const std::string& source, const struct stat& info, const std::string& target);
    status_t CopyFifo(
        const std::string& source, const struct stat& info, const std::string& target);
    status_t CopyData(int from, int to, const std::string& source);
    void CopyAttributes(const std::string& source, const std::string& target);
    status_t CheckTarget(
        const std::string& source, const struct stat& info, const std::string& target);
    std::string TemporaryBeside(const std::string& target);
    status_t Fail(status_t status, const std::string& text);

    bool fSyncFiles;
    uint64 fNameSeed;
    std::string fErrorText;
    std::vector<std::string> fWarnings;
};
