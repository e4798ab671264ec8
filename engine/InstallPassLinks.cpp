// Links to installed items. A link is made in a scratch folder beside its
// place and renamed into it once the collision rule has cleared the name, so
// an existing link there is replaced, never written through. In the
// application menu's folder ("User Deskbar", the applications folder of the
// desktop) a symbolic link would never show: menus read desktop entries, so
// the link becomes one.

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <FindDirectory.h>
#include <HeldFolder.h>
#include <Path.h>
#include <Sha256.h>
#include <Volume.h>

#include <LibString.h>

#include "InstallConfig.h"
#include "InstallNames.h"
#include "InstallPass.h"
#include "InstallerFormat.h"

using namespace InstallerFormat;

namespace {

bool IsAtOrInside(const std::string& path, const std::string& folder)
{
    return path == folder || path.rfind(folder + "/", 0) == 0;
}

// Whether links placed in this folder belong in the application menu.
bool IsMenuFolder(const std::string& folder)
{
    BPath menu;
    return find_directory(B_USER_DESKBAR_DIRECTORY, &menu, false, nullptr) == B_OK
        && IsAtOrInside(folder, menu.Path());
}

bool IsExecutableFile(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & 0111) != 0;
}

// A desktop entry that starts the item (a program) or opens it (a folder or
// a document) with the desktop's default application.
bool DesktopEntryText(const std::string& leaf, const std::string& item, std::string* text)
{
    std::string name;
    std::string argument;
    if (!DesktopStringValue(leaf, &name) || !DesktopExecArgument(item, &argument))
        return false;
    std::string exec = IsExecutableFile(item) ? argument : "xdg-open " + argument;
    *text = "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + exec
        + "\nTerminal=false\nX-Brenvik-Managed=true\n";
    return true;
}

status_t WriteNewFile(int folder, const std::string& name, const std::string& text)
{
    int fd
        = openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return StatusFromErrno(errno);
    bool written = write(fd, text.data(), text.size()) == ssize_t(text.size());
    int error = errno;
    if (close(fd) != 0 || !written)
        return StatusFromErrno(written ? errno : error);
    return B_OK;
}

} // namespace

void InstallPass::PlaceLink(
    const BMessage& meta, const std::string& item, const std::string& leaf, bool deinstallable)
{
    const char* link = meta.GetString(Field::kLink, kNone);
    if (IsKeyword(link, kNone))
        return;
    std::string folder = fInstallFolder;
    if (!IsKeyword(link, kUserSelected)) {
        LibString path;
        BVolume volume;
        if (!fConfig.GetNewPath(link, fCustomFolders, volume, fSavedFolder.c_str(), path)) {
            fConfig.Log("\t\t\tNo link placed.\n");
            return;
        }
        folder = static_cast<const char*>(path);
    }
    bool entry = IsMenuFolder(folder);
    std::string name = entry ? leaf + ".desktop" : leaf;
    if (folder + "/" + name == item) {
        // The link would take the item's own place.
        fConfig.Log("\t\t\tUser desired not to place a link in %s\n", folder.c_str());
        return;
    }
    // Held from here on, as an item's folder is.
    BPrivate::Descriptor destination;
    std::string scratch;
    BPrivate::Descriptor scratchFolder;
    int32 scratchStep = 0;
    if (OpenDestination(folder, &destination) != B_OK
        || !MakeScratch(destination.Get(), folder, &scratch, &scratchFolder, &scratchStep)) {
        AddFailure(leaf + ": no link could be placed in " + folder);
        return;
    }
    ItemFolderScope heldForCollisions(*this, destination.Get(), folder);
    std::string staged = scratch + "/" + name;
    std::string text;
    status_t status = entry
        ? (DesktopEntryText(leaf, item, &text) ? WriteNewFile(scratchFolder.Get(), name, text)
                                               : B_BAD_VALUE)
        : (symlinkat(item.c_str(), scratchFolder.Get(), name.c_str()) == 0
                ? B_OK
                : StatusFromErrno(errno));
    if (status != B_OK) {
        fConfig.Log("\t\t\tNo link could be made: %s\n", StatusText(status));
        RemoveScratch(destination.Get(), scratch, scratchStep);
        AddFailure(leaf + ": no link could be made");
        return;
    }
    bool place = fConfig.ReplaceControl(folder.c_str(), BPath(staged.c_str()),
        meta.GetString(Field::kLinkExists, ""), fLinkAsk, fLinkRemembered,
        BPath(fSavedFolder.c_str()));
    if (place)
        status = PlaceLinkFile(scratchFolder.Get(), destination.Get(), folder + "/" + name, item,
            entry, deinstallable);
    RemoveScratch(destination.Get(), scratch, scratchStep);
    if (!place) {
        fConfig.Log("\t\t\tUser desired not to place a link in %s\n", folder.c_str());
        return;
    }
    if (status != B_OK) {
        fConfig.Log(
            "\t\t\tThe link could not be placed in %s: %s\n", folder.c_str(), StatusText(status));
        AddFailure(leaf + ": no link could be placed in " + folder);
        return;
    }
    fConfig.Log("\t\t\tPlaced a link in %s\n", folder.c_str());
    if (!deinstallable)
        fConfig.Log("\t\t\tThis link will not be removed by the de-installer\n");
}

status_t InstallPass::PlaceLinkFile(int staged, int folder, const std::string& target,
    const std::string& item, bool entry, bool deinstallable)
{
    std::string name = target.substr(target.find_last_of('/') + 1);
    BMessage fields;
    fields.AddString(InstallRecord::kFieldPath, target.c_str());
    fields.AddString(InstallRecord::kFieldTarget, item.c_str());
    fields.AddBool(InstallRecord::kFieldDeinstallable, deinstallable);
    int32 step = fRecord.Begin(
        entry ? InstallRecord::kKindDesktopEntry : InstallRecord::kKindLink, fields);
    if (step < 0)
        return step;
    status_t status = MoveBetween(staged, folder, name);
    if (status != B_OK) {
        fRecord.Failed(step, status, StatusText(status));
        return status;
    }
    BMessage result;
    if (entry) {
        std::string placed = BPrivate::HeldPath(folder, name);
        // A link itself cannot carry the tag on Linux; the entry file can.
        if (deinstallable)
            fConfig.AddDeinstallTag(placed.c_str(), fTag.c_str());
        std::string digest;
        if (BPrivate::Sha256::HashFile(placed.c_str(), &digest) == B_OK)
            result.AddData(InstallRecord::kFieldSha256, B_RAW_TYPE, digest.data(), digest.size());
    }
    fRecord.Done(step, &result);
    return B_OK;
}
