#pragma once

// The file of the running application's executable, as the application
// object reports it (app_info). Without an application object there is no
// running application in the platform's sense, and so no executable: the
// resource and localization classes then stay unbound, as on BeOS.

#include <string>

#include <SupportDefs.h>

class RunningExecutable {
public:
    // The absolute path of the executable; B_NO_INIT without an application
    // object.
    static status_t GetPath(std::string* path);
};
