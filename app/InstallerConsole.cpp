#include "InstallerConsole.h"

#include <InstallConfig.h>
#include <InstallerFormat.h>
#include <LibAppResource.h>
#include <TextIds.h>
#include <oLocalize.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

const char* const kProgramName = "brenvik-installer";
// The localized texts that frame an extraction.

int32 CountPayloadEntries(LibAppResource& resources)
{
    int32 total = 0;
    while (resources.HasResource(InstallerFormat::kEntryType, InstallerFormat::PayloadId(total)))
        total++;
    return total;
}

// The most an item may hold: the size the configuration records for it (only
// its files' data), with a margin for its links and folders. An entry the
// record does not describe gets the margin alone.
uint64 ItemBound(const InstallConfig& config, int32 index)
{
    BMessage instructions, item;
    uint64 size = 0;
    if (config.FindMessage(InstallerFormat::Field::kInstallInstructions, &instructions) == B_OK
        && instructions.FindMessage(InstallerFormat::Field::kInstallFile, index, &item) == B_OK)
        size = InstallerFormat::RecordedFileSize(item);
    return size + BPrivate::kItemSizeMargin;
}

} // namespace

int InstallerConsole::Run(int argc, char** argv)
{
    const char* extractTo = nullptr;
    if (argc == 3 && std::strcmp(argv[1], "--extract") == 0)
        extractTo = argv[2];
    else if (argc != 1) {
        std::fprintf(stderr, "usage: %s [--extract FOLDER]\n", argv[0]);
        return 2;
    }
    // Read-only: a running program cannot be written on Linux, and the
    // entries are read in place.
    LibAppResource resources(uint32(0));
    InstallConfig config;
    if (resources.InitCheck() != B_OK || config.Load(resources) != B_OK) {
        std::fprintf(stderr,
            "Error obtaining configuration in installer. The installer was improperly built.\n");
        return 1;
    }
    oLocalize localize;
    Report(resources, config, localize);
    return extractTo != nullptr ? ExtractAll(resources, config, extractTo, localize) : 0;
}

void InstallerConsole::Report(
    LibAppResource& resources, const InstallConfig& config, oLocalize& localize)
{
    using namespace InstallerFormat;
    std::printf("Product: %s %s\n", config.GetString(Field::kAppName, ""),
        config.GetString(Field::kVersion, ""));
    std::printf("Items: %d\n", int(config.CountInstallFiles()));
    std::printf("Language: %s\n", static_cast<const char*>(localize.Language()));
    const char* name = nullptr;
    size_t size = 0;
    for (int32 i = 0; resources.GetResourceInfo(kEntryType, PayloadId(i), &name, &size); i++)
        std::printf("Entry %d: %s (%zu bytes)\n", int(PayloadId(i)), name, size);
    if (resources.GetResourceInfo(kEntryType, kDeinstallerId, &name, &size))
        std::printf("De-installer: %s (%zu bytes)\n", name, size);
}

int InstallerConsole::ExtractAll(
    LibAppResource& resources, const InstallConfig& config, const char* folder, oLocalize& localize)
{
    int32 total = CountPayloadEntries(resources);
    int failures = 0;
    // A folder that is not there yet is made, as the archive tools do.
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    for (int32 i = 0; i < total; i++) {
        int32 id = InstallerFormat::PayloadId(i);
        const char* name = nullptr;
        resources.GetResourceInfo(InstallerFormat::kEntryType, id, &name, nullptr);
        std::string leaf = name != nullptr ? name : "";
        // An entry without a name is refused below; the line still says
        // which one it is.
        std::string shown = leaf.empty() ? "entry " + std::to_string(id) : leaf;
        LibString progress;
        // The format is a localized text; GetFormat only hands out texts
        // whose conversions fit these arguments.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
        progress.Formatted(static_cast<const char*>(localize.GetFormat(TextId::kInstallingItem)),
            int(i + 1), int(total), shown.c_str());
#pragma GCC diagnostic pop
        std::printf("%s\n", static_cast<const char*>(progress));
        std::string destination = std::string(folder) + "/" + leaf;
        BPrivate::ZipExtractOptions options;
        options.existing = BPrivate::ZipExisting::kMerge;
        options.maxItemSize = ItemBound(config, i);
        if (!resources.ExtractEntry(id, destination.c_str(), options)) {
            std::fprintf(stderr, "%s: %s\n", kProgramName, resources.EntryErrorText().c_str());
            failures++;
        }
        for (const std::string& warning : resources.EntryWarnings())
            std::fprintf(stderr, "%s: %s: %s\n", kProgramName, shown.c_str(), warning.c_str());
    }
    std::printf("%s\n",
        static_cast<const char*>(
            localize.GetString(failures == 0 ? TextId::kInstallationComplete : TextId::kStopped)));
    return failures == 0 ? 0 : 1;
}
