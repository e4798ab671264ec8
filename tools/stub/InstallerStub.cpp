// brenvik-installer-stub [--extract FOLDER]
//
// Stands in for the installer program until its window exists: the authoring
// tool appends an installer's resources to a copy of this program. When run,
// it reads its own resources: the configuration record (printing the product
// and the number of payload items), the payload entries (listed by id, name
// and size), and, with --extract, extracts every payload entry into FOLDER
// through the installer's own extraction code. The current language's texts
// frame the output, as the installer's status line would.

#include <Application.h>
#include <Message.h>
#include <TypeConstants.h>

#include <LibAppResource.h>
#include <oLocalize.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int32 kConfigurationId = 2002;
constexpr int32 kFirstPayloadId = 2100;
constexpr const char* kSignature = "application/x-vnd.Tarsel.Velk";

bool LoadConfiguration(LibAppResource& resources, BMessage* configuration)
{
    size_t size = 0;
    void* data = resources.FindResource(B_STRING_TYPE, kConfigurationId, &size);
    if (data == nullptr) {
        std::fprintf(stderr, "Does not have resource %d\n", int(kConfigurationId));
        return false;
    }
    status_t status = configuration->Unflatten(static_cast<const char*>(data), ssize_t(size));
    std::free(data);
    if (status != B_OK) {
        std::fprintf(stderr, "Unable to read resource %d\n", int(kConfigurationId));
        return false;
    }
    return true;
}

int32 CountItems(const BMessage& configuration)
{
    BMessage instructions;
    if (configuration.FindMessage("install_instructions", &instructions) != B_OK)
        return 0;
    type_code type;
    int32 count = 0;
    instructions.GetInfo("install_file", &type, &count);
    return count;
}

int ExtractAll(LibAppResource& resources, const char* folder, oLocalize& localize)
{
    int32 total = 0;
    while (resources.HasResource(B_RAW_TYPE, kFirstPayloadId + total))
        total++;
    int failures = 0;
    for (int32 i = 0; i < total; i++) {
        const char* name = nullptr;
        resources.GetResourceInfo(B_RAW_TYPE, kFirstPayloadId + i, &name, nullptr);
        std::string leaf = name != nullptr ? name : "";
        LibString progress;
        // The format is a localized text; GetFormat only hands out texts
        // whose conversions fit these arguments.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
        progress.Formatted(static_cast<const char*>(localize.GetFormat(1036)), int(i + 1),
            int(total), leaf.c_str());
#pragma GCC diagnostic pop
        std::printf("%s\n", static_cast<const char*>(progress));
        std::string destination = std::string(folder) + "/" + leaf;
        if (!resources.ExtractEntry(kFirstPayloadId + i, destination.c_str(), true)) {
            std::fprintf(
                stderr, "brenvik-installer-stub: %s\n", resources.EntryErrorText().c_str());
            failures++;
        }
        for (const std::string& warning : resources.EntryWarnings())
            std::fprintf(stderr, "brenvik-installer-stub: %s: %s\n", leaf.c_str(), warning.c_str());
    }
    std::printf("%s\n", static_cast<const char*>(localize.GetString(failures == 0 ? 1037 : 1027)));
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    const char* extractTo = nullptr;
    if (argc == 3 && std::strcmp(argv[1], "--extract") == 0)
        extractTo = argv[2];
    else if (argc != 1) {
        std::fprintf(stderr, "usage: %s [--extract FOLDER]\n", argv[0]);
        return 2;
    }
    // The application object gives the classes below the running executable.
    BApplication application(kSignature);
    // Read-only: a running program cannot be written on Linux, and the
    // entries are read in place.
    LibAppResource resources(uint32(0));
    BMessage configuration;
    if (resources.InitCheck() != B_OK || !LoadConfiguration(resources, &configuration)) {
        std::fprintf(stderr,
            "Error obtaining configuration in installer. The installer was improperly built.\n");
        return 1;
    }
    oLocalize localize;
    std::printf("Product: %s %s\n", configuration.GetString("app_name", ""),
        configuration.GetString("version", ""));
    std::printf("Items: %d\n", int(CountItems(configuration)));
    std::printf("Language: %s\n", static_cast<const char*>(localize.Language()));
    const char* name = nullptr;
    size_t size = 0;
    for (int32 id = kFirstPayloadId; resources.GetResourceInfo(B_RAW_TYPE, id, &name, &size); id++)
        std::printf("Entry %d: %s (%zu bytes)\n", int(id), name, size);
    if (resources.GetResourceInfo(B_RAW_TYPE, 2001, &name, &size))
        std::printf("De-installer: %s (%zu bytes)\n", name, size);
    return extractTo != nullptr ? ExtractAll(resources, extractTo, localize) : 0;
}
