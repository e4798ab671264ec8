// The requirements check (InstallConfig::CheckSystemResources): free space on
// every file system the selected items go to, the configured free space,
// physical memory, shared libraries and other applications.

#include <climits>
#include <cmath>
#include <cstring>
#include <map>

#include <Path.h>

#include <LibEntry.h>

#include "DestinationResolver.h"
#include "InstallConfig.h"
#include "InstallNames.h"
#include "InstallPass.h"
#include "InstallerFormat.h"

using namespace InstallerFormat;

namespace {

constexpr int32 kGoOn = 1;
constexpr int32 kNoSpace = 2;
constexpr int32 kStop = 3;

// The signature of a "req_app_name": the parenthesised group that ends the
// text ("Foo (beta) (application/x-foo)" names "application/x-foo"), else the
// text between the first "(" and the next ")"; empty without one.
std::string SignatureOf(const std::string& name)
{
    size_t end = name.find_last_not_of(" \t");
    if (end != std::string::npos && name[end] == ')') {
        size_t open = name.rfind('(', end);
        if (open != std::string::npos)
            return name.substr(open + 1, end - open - 1);
    }
    size_t open = name.find('(');
    if (open == std::string::npos)
        return std::string();
    size_t close = name.find(')', open + 1);
    return name.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
}

struct DeviceSpace {
    uint64 needed = 0;
    SystemProbe::Space space;
};

} // namespace

uint64 ConfiguredDiskSpace(const BMessage& configuration)
{
    BMessage amount;
    double value = 0;
    if (configuration.FindMessage(Field::kDiskSpaceAmount, &amount) != B_OK
        || amount.FindDouble(Field::kValue, &value) != B_OK || !(value > 0))
        return 0;
    if (value >= 18446744073709551615.0)
        return UINT64_MAX;
    return uint64(std::trunc(value));
}

int32 InstallConfig::CheckSystemResources()
{
    if (fPass != nullptr)
        return fPass->CheckRequirements();
    InstallPass pass(*this);
    return pass.CheckRequirements();
}

int32 InstallPass::CheckRequirements()
{
    fConfig.fLibraryNotes.clear();
    int32 result = CheckSpace();
    if (result != kGoOn)
        return result;
    result = CheckMemory();
    if (result != kGoOn)
        return result;
    result = CheckLibraries();
    if (result != kGoOn)
        return result;
    return CheckApplications();
}

int32 InstallPass::CheckSpace()
{
    BPath destination;
    if (!LibGetFullPath(fConfig.Destination(), destination))
        return kGoOn;
    std::string installFolder
        = std::string(destination.Path()) + "/" + fConfig.GetString(Field::kCreatedFolder, "");
    // Everything goes straight to its own file system, so each one needs
    // room for what goes there, not the destination alone.
    std::map<dev_t, DeviceSpace> devices;
    std::vector<dev_t> order;
    auto add = [&](const std::string& path, uint64 bytes) {
        SystemProbe::Space space;
        if (fConfig.fProbe->FreeSpace(path, &space) != B_OK)
            return;
        auto [where, added] = devices.try_emplace(space.device);
        if (added) {
            where->second.space = space;
            order.push_back(space.device);
        }
        where->second.needed += bytes;
    };
    add(installFolder, RecordedDeinstallerSize(fConfig));
    BMessage instructions;
    BMessage customFolders;
    fConfig.FindMessage(Field::kInstallInstructions, &instructions);
    fConfig.FindMessage(Field::kCustomFolder, &customFolders);
    BMessage item;
    for (int32 i = 0; instructions.FindMessage(Field::kInstallFile, i, &item) == B_OK; i++) {
        if (!item.GetBool(Field::kInstallToSystem))
            continue;
        BMessage meta;
        item.FindMessage(Field::kInstallMeta, &meta);
        std::string folder;
        if (IsKeyword(meta.GetString(Field::kDestination, ""), kUserSelected)
            || DestinationResolver::Resolve(
                   meta.GetString(Field::kDestination, ""), customFolders, &folder, nullptr)
                > DestinationResolver::B_STANDARD_FOLDER)
            folder = installFolder;
        add(folder, RecordedFileSize(item));
    }
    for (dev_t device : order) {
        const DeviceSpace& entry = devices[device];
        // Equal is enough.
        if (entry.needed > entry.space.freeBytes) {
            Refuse(Format(TextId::kNotEnoughSpace, Text(TextId::kRequires).c_str(),
                BytesText(entry.needed).c_str(), entry.space.volumeName.c_str(),
                BytesText(entry.space.freeBytes).c_str()));
            return kNoSpace;
        }
    }
    if (!fConfig.GetBool(Field::kDiskSpaceNeeded) || order.empty())
        return kGoOn;
    // The configured amount is about the destination's own volume.
    const SystemProbe::Space& space = devices[order.front()].space;
    uint64 wanted = ConfiguredDiskSpace(fConfig);
    if (wanted <= space.freeBytes)
        return kGoOn;
    bool required = fConfig.GetBool(Field::kDiskSpaceRequired);
    std::string text = Format(TextId::kNotEnoughSpace,
        Text(required ? TextId::kRequires : TextId::kSuggests).c_str(), BytesText(wanted).c_str(),
        space.volumeName.c_str(), BytesText(space.freeBytes).c_str());
    if (required)
        Refuse(text);
    else
        fConfig.fDialogs->Error(text);
    // A suggestion does not end the check: required libraries and
    // applications must still be looked for.
    return required ? kNoSpace : kGoOn;
}

int32 InstallPass::CheckMemory()
{
    if (!fConfig.GetBool(Field::kRamNeeded))
        return kGoOn;
    int64 wanted = fConfig.GetInt32(Field::kRamAmount, 0);
    uint64 installed = fConfig.fProbe->PhysicalMemory() / 1048576;
    if (wanted <= 0 || uint64(wanted) <= installed)
        return kGoOn;
    bool required = fConfig.GetBool(Field::kRamRequired);
    std::string text = Format(TextId::kNotEnoughMemory,
        Text(required ? TextId::kRequires : TextId::kSuggests).c_str(), int(wanted),
        int(std::min<uint64>(installed, INT_MAX)),
        Text(required ? TextId::kCannotContinue : TextId::kAtOwnRisk).c_str());
    if (required)
        Refuse(text);
    else
        fConfig.fDialogs->Error(text);
    return required ? kStop : kGoOn;
}

// The two-button question of a missing library or application: "Abort", and
// "Continue" when it is only suggested. True to go on.
bool InstallPass::AskToContinue(const std::string& text, bool required)
{
    std::vector<std::string> buttons = { Text(TextId::kAbort) };
    if (!required)
        buttons.push_back(Text(TextId::kContinue));
    return fConfig.fDialogs->Choose(text, buttons, InstallDialogs::kInfoKind) == 1 && !required;
}

int32 InstallPass::CheckLibraries()
{
    BMessage libraries;
    if (fConfig.FindMessage(Field::kSharedLibrary, &libraries) != B_OK)
        return kGoOn;
    bool required = libraries.GetBool(Field::kSharedLibraryRequired);
    const char* name = nullptr;
    for (int32 i = 0; libraries.FindString(Field::kSharedLibraryName, i, &name) == B_OK; i++) {
        std::string path, how;
        if (fConfig.fProbe->FindLibrary(name, &path, &how)) {
            fConfig.fLibraryNotes.push_back(
                Printable(name) + " : " + Printable(path) + " (" + how + ")");
            continue;
        }
        fConfig.fLibraryNotes.push_back(Printable(name) + " : not found");
        if (!AskToContinue(Format(TextId::kLibraryMissing, name,
                               Text(required ? TextId::kRequires : TextId::kSuggests).c_str()),
                required))
            return kStop;
    }
    return kGoOn;
}

int32 InstallPass::CheckApplications()
{
    BMessage applications;
    if (fConfig.FindMessage(Field::kApps, &applications) != B_OK)
        return kGoOn;
    bool required = applications.GetBool(Field::kAppRequired);
    const char* name = nullptr;
    for (int32 i = 0; applications.FindString(Field::kAppRequirementName, i, &name) == B_OK; i++) {
        std::string signature = SignatureOf(name);
        if (!signature.empty() && fConfig.fProbe->FindApplication(signature))
            continue;
        if (!AskToContinue(Format(TextId::kApplicationMissing, name,
                               Text(required ? TextId::kRequires : TextId::kSuggests).c_str()),
                required))
            return kStop;
    }
    return kGoOn;
}
