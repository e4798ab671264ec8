#include "InstallConfig.h"

#include "InstallerFormat.h"

#include <Resources.h>

#include <algorithm>
#include <climits>
#include <cstdarg>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include <Path.h>

#include <LibEntry.h>

#include "InstallPass.h"

namespace {

using namespace InstallerFormat::Field;

const char* const kInstructions = kInstallInstructions;

} // namespace

bool IsKeyword(const char* value, const char* keyword)
{
    return value != nullptr && keyword != nullptr && std::strcmp(value, keyword) == 0;
}

const char* LeafOf(const char* path)
{
    if (path == nullptr)
        return nullptr;
    const char* slash = std::strrchr(path, '/');
    return slash != nullptr ? slash + 1 : path;
}

InstallConfig::InstallConfig()
    : fLog(nullptr)
    , fRestart(false)
    , fDialogs(new PlatformDialogs)
    , fProbe(new MachineProbe)
    , fStopRequested(false)
    , fOutcome(kOutcomeNotRun)
    , fPass(nullptr)
{
}

InstallConfig::~InstallConfig()
{
    // The pass may still be writing the log: it ends before the log closes.
    StopAndWait();
    if (fLog != nullptr)
        std::fclose(fLog);
}

void InstallConfig::AdoptLog(FILE* log)
{
    if (fLog != nullptr && fLog != log)
        std::fclose(fLog);
    fLog = log;
}

status_t InstallConfig::Load(const void* data, size_t size)
{
    MakeEmpty();
    status_t status = Unflatten(data, size);
    if (status != B_OK)
        MakeEmpty();
    return status;
}

status_t InstallConfig::Load(BResources& resources)
{
    status_t status = InstallerFormat::ReadConfiguration(resources, this);
    if (status == B_ENTRY_NOT_FOUND) {
        std::fprintf(stderr, "Does not have resource %d\n", int(InstallerFormat::kConfigurationId));
    } else if (status != B_OK) {
        std::fprintf(
            stderr, "Unable to read resource %d\n", int(InstallerFormat::kConfigurationId));
    }
    return status;
}

int32 InstallConfig::CountInstallFiles() const
{
    BMessage instructions;
    if (FindMessage(kInstructions, &instructions) != B_OK)
        return 0;
    type_code type;
    int32 count = 0;
    if (instructions.GetInfo(kInstallFile, &type, &count) != B_OK)
        return 0;
    return count;
}

int32 InstallConfig::FindInstallFile(const char* leafName, BMessage* item) const
{
    if (leafName == nullptr)
        return -1;
    BMessage instructions;
    if (FindMessage(kInstructions, &instructions) != B_OK)
        return -1;
    BMessage candidate;
    for (int32 index = 0; instructions.FindMessage(kInstallFile, index, &candidate) == B_OK;
         index++) {
        const char* fileName = nullptr;
        if (candidate.FindString(kFileName, &fileName) != B_OK)
            continue;
        if (std::strcmp(LeafOf(fileName), leafName) == 0) {
            if (item != nullptr)
                *item = candidate;
            return index;
        }
    }
    return -1;
}

long InstallConfig::GetFileSize(const char* leafName)
{
    BMessage item;
    if (FindInstallFile(leafName, &item) < 0)
        return 0;
    return long(std::min<uint64>(InstallerFormat::RecordedFileSize(item), LONG_MAX));
}

void InstallConfig::MarkInstallFile(const char* leafName, const bool& install)
{
    BMessage item;
    int32 index = FindInstallFile(leafName, &item);
    if (index < 0)
        return;
    if (item.ReplaceBool(kInstallToSystem, install) != B_OK) {
        item.RemoveName(kInstallToSystem);
        item.AddBool(kInstallToSystem, install);
    }
    BMessage instructions;
    FindMessage(kInstructions, &instructions);
    instructions.ReplaceMessage(kInstallFile, index, &item);
    ReplaceMessage(kInstructions, &instructions);
}

bool InstallConfig::IncludeDeinstaller() const
{
    // The one boolean whose absence means yes.
    bool include = true;
    FindBool(kIncludeDeinstall, &include);
    return include;
}

int32 InstallConfig::CountSelectedFiles() const
{
    BMessage instructions;
    if (FindMessage(kInstructions, &instructions) != B_OK)
        return 0;
    int32 selected = 0;
    BMessage item;
    for (int32 index = 0; instructions.FindMessage(kInstallFile, index, &item) == B_OK; index++) {
        bool install = false;
        item.FindBool(kInstallToSystem, &install);
        if (install)
            selected++;
    }
    return selected;
}

int32 InstallConfig::SelectGroup(const char* group)
{
    BMessage instructions;
    if (FindMessage(kInstructions, &instructions) != B_OK)
        return 0;
    int32 selected = 0;
    BMessage item;
    for (int32 index = 0; instructions.FindMessage(kInstallFile, index, &item) == B_OK; index++) {
        bool install = InstallerFormat::IsInGroup(item, group);
        item.RemoveName(kInstallToSystem);
        item.AddBool(kInstallToSystem, install);
        instructions.ReplaceMessage(kInstallFile, index, &item);
        if (install)
            selected++;
    }
    ReplaceMessage(kInstructions, &instructions);
    return selected;
}

void InstallConfig::UpdateStatus(const char* text)
{
    if (fStatusObserver)
        fStatusObserver(text != nullptr ? text : "");
    if (Target() == nullptr)
        return;
    BMessage status(kMsgInstallStatus);
    status.AddString(kStatusField, text != nullptr ? text : "");
    // Only the newest status matters to the window: an older one it has not
    // shown yet is replaced, so a fast pass never fills the window's queue.
    SendProgress(&status);
}

void InstallConfig::NoteComplete()
{
    if (Target() == nullptr)
        return;
    BMessage complete(kMsgInstallComplete);
    SendProgress(&complete);
}

status_t InstallConfig::Action()
{
    fOutcome = kOutcomeNotRun;
    InstallPass pass(*this);
    fPass = &pass;
    status_t result = pass.Run();
    fPass = nullptr;
    return result;
}

void InstallConfig::SetDialogs(std::unique_ptr<InstallDialogs> dialogs)
{
    if (dialogs != nullptr)
        fDialogs = std::move(dialogs);
}

void InstallConfig::SetSystemProbe(std::unique_ptr<SystemProbe> probe)
{
    if (probe != nullptr)
        fProbe = std::move(probe);
}

void InstallConfig::SetClock(InstallClock clock)
{
    fClock = std::move(clock);
}

void InstallConfig::SetStatusObserver(std::function<void(const char*)> observer)
{
    fStatusObserver = std::move(observer);
}

void InstallConfig::SetInstallerPath(const char* path)
{
    fInstallerPath = path != nullptr ? path : "";
}

std::string InstallConfig::DestinationPath() const
{
    if (!fDestinationPath.empty())
        return fDestinationPath;
    BPath destination;
    if (!LibGetFullPath(fDestination, destination))
        return std::string();
    return destination.Path();
}

bool InstallConfig::DoesDestinationExist()
{
    std::string destination = DestinationPath();
    if (destination.empty())
        return false;
    std::string path = destination + "/" + GetString(kCreatedFolder, "");
    return LibExists(path.c_str());
}

void InstallConfig::OpenLog(const char* path)
{
    if (!GetBool(kLog) || path == nullptr)
        return;
    if (fLog != nullptr)
        std::fclose(fLog);
    fLog = nullptr;
    int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    fLog = fdopen(fd, "w");
    if (fLog == nullptr)
        close(fd);
}

void InstallConfig::Log(const char* format, ...)
{
    if (fLog == nullptr)
        return;
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(fLog, format, arguments);
    va_end(arguments);
    // Each entry reaches the file at once, so that a stopped pass leaves a
    // log that says how far it got.
    std::fflush(fLog);
}

void InstallConfig::CloseLog()
{
    if (fLog == nullptr)
        return;
    std::fclose(fLog);
    // Cleared, unlike the platform's original, so that a second pass or the
    // destructor never closes the file twice.
    fLog = nullptr;
}

void InstallConfig::PrintToStream()
{
    LibThread::PrintToStream();
    BMessage instructions;
    if (FindMessage(kInstructions, &instructions) != B_OK)
        return;
    BMessage item;
    for (int32 index = 0; instructions.FindMessage(kInstallFile, index, &item) == B_OK; index++)
        item.PrintToStream();
}
