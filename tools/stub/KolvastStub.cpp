// brenvik-kolvast-stub
//
// Stands in for the de-installer until it exists. The authoring tool stores
// this program in every installer as the de-installer entry (2001, "Kolvast");
// the install pass extracts it and gives it a configuration record of its
// own. Run, it only reports which product it would remove.

#include <Application.h>
#include <Message.h>
#include <TypeConstants.h>

#include <LibAppResource.h>
#include <oLocalize.h>

#include <cstdio>
#include <cstdlib>

int main()
{
    BApplication application("application/x-vnd.Tarsel.Kolvast");
    LibAppResource resources(uint32(0));
    size_t size = 0;
    void* data = resources.FindResource(B_STRING_TYPE, 2002, &size);
    BMessage configuration;
    bool read = data != nullptr
        && configuration.Unflatten(static_cast<const char*>(data), ssize_t(size)) == B_OK;
    std::free(data);
    if (!read) {
        std::printf("Kolvast (stand-in): no product to remove; the installer adds the record.\n");
        return 0;
    }
    std::printf("Kolvast (stand-in): would remove %s %s\n", configuration.GetString("app_name", ""),
        configuration.GetString("version", ""));
    return 0;
}
