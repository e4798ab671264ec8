// brenvik-inspect record FILE: prints an install record. FILE is the record's
// journal, its folder, or a de-installer program, whose configuration names
// the record of the installation it belongs to.

#include "Inspect.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <Message.h>
#include <Resources.h>
#include <TypeConstants.h>

#include <InstallRecord.h>
#include <InstallRecordReader.h>
#include <InstallerFormat.h>

namespace inspect {

namespace {

// The record named by a de-installer's configuration (resource 2002), or
// empty when the file is not one.
std::string RecordOfDeinstaller(const char* path)
{
    BResources resources;
    if (resources.SetTo(path, 0, false) != B_OK)
        return std::string();
    BMessage configuration;
    if (InstallerFormat::ReadConfiguration(resources, &configuration) != B_OK)
        return std::string();
    return configuration.GetString(InstallRecord::kConfigRecordPath, "");
}

} // namespace

int InspectRecord(int argc, char** argv)
{
    if (argc != 1)
        return kExitUsage;
    std::string path = argv[0];
    InstallRecordReader reader;
    status_t status = reader.ReadFile(path.c_str());
    if (status == B_BAD_DATA) {
        std::string named = RecordOfDeinstaller(path.c_str());
        if (!named.empty()) {
            std::printf("De-installer of the record %s\n", named.c_str());
            path = named;
            status = reader.ReadFile(path.c_str());
        }
    }
    if (status == B_BAD_DATA)
        return Fail(path, "not an install record (nor a de-installer naming one)");
    if (status == B_ENTRY_NOT_FOUND)
        return Fail(path, "no such file");
    if (status != B_OK)
        return Fail(path, "cannot be read");
    std::fputs(reader.Describe().c_str(), stdout);
    return kExitOk;
}

} // namespace inspect
