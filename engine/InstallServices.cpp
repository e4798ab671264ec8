#include "InstallServices.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

#include <Alert.h>
#include <Entry.h>
#include <LibraryFinder.h>
#include <OS.h>
#include <Roster.h>
#include <Volume.h>

#include <LibString.h>
#include <LibSysInfo.h>

namespace {

// The nearest path at or above `path` that exists (a new installation's
// folders do not exist yet when their space is checked).
std::string ExistingAncestor(std::string path, struct stat* info)
{
    while (true) {
        if (stat(path.c_str(), info) == 0)
            return path;
        size_t slash = path.find_last_of('/');
        if (slash == std::string::npos || path == "/")
            return std::string();
        path = slash == 0 ? std::string("/") : path.substr(0, slash);
    }
}

alert_type AlertType(InstallDialogs::alert_kind kind)
{
    switch (kind) {
    case InstallDialogs::kStopKind:
        return B_STOP_ALERT;
    case InstallDialogs::kWarningKind:
        return B_WARNING_ALERT;
    default:
        return B_INFO_ALERT;
    }
}

} // namespace

InstallDialogs::~InstallDialogs() = default;

void PlatformDialogs::Error(const std::string& text)
{
    (new BAlert("", text.c_str(), "OK", nullptr, nullptr, B_WIDTH_AS_USUAL, B_STOP_ALERT))->Go();
}

void PlatformDialogs::Info(const std::string& text)
{
    (new BAlert("", text.c_str(), "OK", nullptr, nullptr, B_WIDTH_AS_USUAL, B_INFO_ALERT))->Go();
}

int32 PlatformDialogs::Choose(
    const std::string& text, const std::vector<std::string>& buttons, alert_kind kind)
{
    if (buttons.empty() || buttons.size() > 3)
        return -1;
    auto label = [&buttons](size_t index) {
        return index < buttons.size() ? buttons[index].c_str() : nullptr;
    };
    int32 count = int32(buttons.size());
    int32 choice = (new BAlert("", text.c_str(), label(0), label(1), label(2), B_WIDTH_AS_USUAL,
                        AlertType(kind)))
                       ->Go();
    // An alert closed without a button (the program quits) counts as the
    // first button, the one that declines.
    return choice >= 0 && choice < count ? choice : 0;
}

ReplaceAnswer PlatformDialogs::AskReplace(const std::string& newItem,
    const std::string& newItemFolder, const std::string& existingItem, bool offerApplyToAll,
    const std::string& language)
{
    (void)newItem;
    (void)newItemFolder;
    (void)offerApplyToAll;
    (void)language;
    std::string text = "The item '" + existingItem + "' already exists. Do you wish to replace it?";
    ReplaceAnswer answer;
    answer.replace = Choose(text, { "Don't Replace", "Replace" }, kWarningKind) == 1;
    return answer;
}

void ConsoleDialogs::Error(const std::string& text)
{
    std::printf("Error: %s\n", text.c_str());
}

void ConsoleDialogs::Info(const std::string& text)
{
    std::printf("%s\n", text.c_str());
}

int32 ConsoleDialogs::Choose(
    const std::string& text, const std::vector<std::string>& buttons, alert_kind kind)
{
    (void)kind;
    if (buttons.empty())
        return -1;
    std::printf("%s\n  [%s]\n", text.c_str(), buttons.back().c_str());
    return int32(buttons.size()) - 1;
}

ReplaceAnswer ConsoleDialogs::AskReplace(const std::string& newItem,
    const std::string& newItemFolder, const std::string& existingItem, bool offerApplyToAll,
    const std::string& language)
{
    (void)newItem;
    (void)newItemFolder;
    (void)offerApplyToAll;
    (void)language;
    std::printf("'%s' already exists: kept.\n", existingItem.c_str());
    return ReplaceAnswer();
}

SystemProbe::~SystemProbe() = default;

struct MachineProbe::Libraries {
    BPrivate::LibraryFinder finder;
};

MachineProbe::MachineProbe()
    : fLibraries(new Libraries)
{
}

MachineProbe::~MachineProbe() = default;

status_t MachineProbe::FreeSpace(const std::string& path, Space* space)
{
    struct stat info;
    std::string existing = ExistingAncestor(path, &info);
    if (existing.empty())
        return B_ENTRY_NOT_FOUND;
    BVolume volume(info.st_dev);
    if (volume.InitCheck() != B_OK)
        return volume.InitCheck();
    off_t free = volume.FreeBytes();
    if (free < 0)
        return status_t(free);
    space->device = info.st_dev;
    space->freeBytes = uint64(free);
    char name[B_FILE_NAME_LENGTH] = "";
    volume.GetName(name);
    space->volumeName = name;
    return B_OK;
}

uint64 MachineProbe::PhysicalMemory()
{
    system_info info;
    if (get_system_info(&info) != B_OK)
        return 0;
    return uint64(uint32(info.max_pages)) * B_PAGE_SIZE;
}

bool MachineProbe::FindLibrary(const std::string& name, std::string* path, std::string* how)
{
    return fLibraries->finder.Find(name, path, how) == B_OK;
}

bool MachineProbe::FindApplication(const std::string& signature)
{
    entry_ref ref;
    return !signature.empty() && be_roster->FindApp(signature.c_str(), &ref) == B_OK;
}

std::string MachineProbe::Description()
{
    LibString text;
    LibSysInfo().Description(text);
    return static_cast<const char*>(text);
}
