// BRoster on Linux: applications are found through the MIME database, the
// desktop's application entries and PATH, and started through the actions
// service (Actions.h), so that tests never start anything.

#include <Roster.h>

#include <cstring>
#include <strings.h>
#include <unistd.h>

#include <AppFileInfo.h>
#include <Application.h>
#include <Entry.h>
#include <File.h>
#include <Mime.h>
#include <Node.h>
#include <NodeInfo.h>
#include <Path.h>

#include "Actions.h"
#include "DesktopEntries.h"
#include "ProcessRunner.h"

using BPrivate::Actions;

namespace {

// Whether the executable at `ref` still carries `signature`.
bool CarriesSignature(const entry_ref& ref, const char* signature)
{
    BFile file(&ref, B_READ_ONLY);
    BAppFileInfo info(&file);
    char found[B_MIME_TYPE_LENGTH];
    return info.InitCheck() == B_OK && info.GetSignature(found) == B_OK
        && strcasecmp(found, signature) == 0;
}

status_t FindRegisteredApp(const char* signature, entry_ref* app)
{
    BMimeType type(signature);
    entry_ref ref;
    if (type.InitCheck() != B_OK || type.GetAppHint(&ref) != B_OK)
        return B_LAUNCH_FAILED_APP_NOT_FOUND;
    BEntry entry(&ref);
    if (!entry.Exists() || !CarriesSignature(ref, signature))
        return B_LAUNCH_FAILED_APP_NOT_FOUND;
    *app = ref;
    return B_OK;
}

std::vector<std::string> RefArguments(const BMessage* message)
{
    std::vector<std::string> arguments;
    entry_ref ref;
    for (int32 i = 0; message != nullptr && message->FindRef("refs", i, &ref) == B_OK; i++) {
        BPath path(&ref);
        if (path.InitCheck() == B_OK)
            arguments.push_back(path.Path());
    }
    return arguments;
}

BRoster sRoster;

} // namespace

const BRoster* be_roster = &sRoster;

BRoster::BRoster()
{
    // The desktop services answer messages sent to them by signature.
    BPrivate::Actions::RegisterDesktopServices();
}

BRoster::~BRoster() = default;

status_t BRoster::FindApp(const char* signature, entry_ref* app) const
{
    if (signature == nullptr || signature[0] == '\0' || app == nullptr)
        return B_BAD_VALUE;
    if (FindRegisteredApp(signature, app) == B_OK)
        return B_OK;
    std::string path;
    if (BPrivate::DesktopEntries::Find(signature, &path) == B_OK)
        return get_ref_for_path(path.c_str(), app);
    // A command name, as a shell would find it.
    if (std::strchr(signature, '/') == nullptr
        && BPrivate::ProcessRunner::FindProgram(signature, &path) == B_OK)
        return get_ref_for_path(path.c_str(), app);
    return B_LAUNCH_FAILED_APP_NOT_FOUND;
}

status_t BRoster::FindApp(entry_ref* ref, entry_ref* app) const
{
    if (ref == nullptr || app == nullptr)
        return B_BAD_VALUE;
    BNode node(ref);
    BNodeInfo info(&node);
    if (info.InitCheck() != B_OK)
        return info.InitCheck();
    char type[B_MIME_TYPE_LENGTH];
    if (info.GetType(type) == B_OK && std::strcmp(type, B_APP_MIME_TYPE) == 0) {
        *app = *ref;
        return B_OK;
    }
    char signature[B_MIME_TYPE_LENGTH];
    if (info.GetPreferredApp(signature) == B_OK && FindApp(signature, app) == B_OK)
        return B_OK;
    if (info.GetType(type) == B_OK && BMimeType(type).GetPreferredApp(signature) == B_OK)
        return FindApp(signature, app);
    return B_LAUNCH_FAILED_NO_PREFERRED_APP;
}

bool BRoster::IsRunning(const char* signature) const
{
    app_info info;
    return GetAppInfo(signature, &info) == B_OK;
}

status_t BRoster::GetAppInfo(const char* signature, app_info* info) const
{
    if (signature == nullptr || info == nullptr)
        return B_BAD_VALUE;
    // This program is the only one whose message loop we know.
    if (be_app == nullptr || strcasecmp(be_app->Signature(), signature) != 0)
        return B_ERROR;
    return be_app->GetAppInfo(info);
}

status_t BRoster::GetRunningAppInfo(team_id team, app_info* info) const
{
    if (info == nullptr)
        return B_BAD_VALUE;
    if (be_app == nullptr || (team != getpid() && team != B_CURRENT_TEAM))
        return B_BAD_TEAM_ID;
    return be_app->GetAppInfo(info);
}

status_t BRoster::Launch(
    const entry_ref* ref, const BMessage* initialMessage, team_id* appTeam) const
{
    if (ref == nullptr)
        return B_BAD_VALUE;
    if (appTeam != nullptr)
        *appTeam = -1;
    BPath path(ref);
    if (path.InitCheck() != B_OK)
        return B_LAUNCH_FAILED_APP_NOT_FOUND;
    BNode node(ref);
    BNodeInfo info(&node);
    char type[B_MIME_TYPE_LENGTH];
    bool program = info.GetType(type) == B_OK && std::strcmp(type, B_APP_MIME_TYPE) == 0;
    if (!program && access(path.Path(), X_OK) != 0)
        return Actions::Open(path.Path());
    status_t status = Actions::Launch(path.Path(), RefArguments(initialMessage));
    // A program Linux cannot run (a BeOS executable, say, or one whose
    // loader is missing) fails cleanly. As root nothing is started at all.
    if (status != B_OK && status != B_NOT_ALLOWED)
        return B_LAUNCH_FAILED_EXECUTABLE;
    return status;
}

status_t BRoster::Launch(const char* mimeType, BMessage* initialMessage, team_id* appTeam) const
{
    if (mimeType == nullptr)
        return B_BAD_VALUE;
    entry_ref app;
    status_t status = FindApp(mimeType, &app);
    if (status != B_OK) {
        char signature[B_MIME_TYPE_LENGTH];
        if (BMimeType(mimeType).GetPreferredApp(signature) != B_OK)
            return status;
        status = FindApp(signature, &app);
        if (status != B_OK)
            return status;
    }
    return Launch(&app, initialMessage, appTeam);
}
