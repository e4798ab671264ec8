#include "KolvastReport.h"

#include <InstallConfig.h>
#include <InstallerFormat.h>
#include <LibAppResource.h>

#include <cstdio>

int KolvastReport::Run()
{
    using namespace InstallerFormat;
    LibAppResource resources(uint32(0));
    InstallConfig config;
    if (resources.InitCheck() != B_OK || config.Load(resources) != B_OK) {
        std::printf("Kolvast (stand-in): no product to remove; the installer adds the record.\n");
        return 0;
    }
    std::printf("Kolvast (stand-in): would remove %s %s\n", config.GetString(Field::kAppName, ""),
        config.GetString(Field::kVersion, ""));
    return 0;
}
