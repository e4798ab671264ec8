#include "RunningExecutable.h"

#include <AppInfo.h>
#include <Application.h>
#include <Path.h>

status_t RunningExecutable::GetPath(std::string* path)
{
    if (be_app == nullptr)
        return B_NO_INIT;
    app_info info;
    status_t status = be_app->GetAppInfo(&info);
    if (status != B_OK)
        return status;
    BPath executable(&info.ref);
    if ((status = executable.InitCheck()) != B_OK)
        return status;
    *path = executable.Path();
    return B_OK;
}
