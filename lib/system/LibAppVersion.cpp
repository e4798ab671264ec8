#include "LibAppVersion.h"

#include <cstring>
#include <sys/stat.h>

#include <AppFileInfo.h>
#include <AppInfo.h>
#include <Application.h>
#include <File.h>
#include <Message.h>
#include <Mime.h>
#include <Path.h>

#include "LibStringList.h"

namespace {

// The running application's executable, or "" without an application.
std::string RunningExecutable()
{
    app_info info;
    if (be_app == nullptr || be_app->GetAppInfo(&info) != B_OK)
        return std::string();
    BPath path(&info.ref);
    return path.InitCheck() == B_OK ? path.Path() : std::string();
}

// Only regular files can hold a version record. Anything else is not
// opened at all: opening a named pipe would wait for a writer forever.
bool IsRegularFile(const char* path)
{
    struct stat info;
    return path != nullptr && stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

void CopyText(char* field, size_t size, const char* text)
{
    std::memset(field, 0, size);
    if (text != nullptr)
        std::strncpy(field, text, size - 1);
}

const char* VarietyWord(uint32 variety)
{
    static const char* const kWords[] = { " Dev", " Alpha", " Beta", " Gamma", " Gold" };
    return variety < std::size(kWords) ? kWords[variety] : "";
}

} // namespace

bool LibSetAppVersion(const uint32& major, const uint32& middle, const uint32& minor,
    const char* shortInfo, const char* longInfo, const uint32& variety, const uint32& internal)
{
    std::string path = RunningExecutable();
    return !path.empty()
        && LibSetAppVersion(
            path.c_str(), major, middle, minor, shortInfo, longInfo, variety, internal);
}

bool LibSetAppVersion(const char* path, const uint32& major, const uint32& middle,
    const uint32& minor, const char* shortInfo, const char* longInfo, const uint32& variety,
    const uint32& internal)
{
    if (path == nullptr)
        return false;
    BFile file(path, B_READ_WRITE);
    BAppFileInfo appInfo(&file);
    if (file.InitCheck() != B_OK || appInfo.InitCheck() != B_OK)
        return false;
    version_info version = {};
    version.major = major;
    version.middle = middle;
    version.minor = minor;
    version.variety = variety;
    version.internal = internal;
    CopyText(version.short_info, sizeof(version.short_info), shortInfo);
    CopyText(version.long_info, sizeof(version.long_info), longInfo);
    return appInfo.SetVersionInfo(&version, B_APP_VERSION_KIND) == B_OK;
}

LibString LibGetAppVersion(const char* path)
{
    std::string file = path != nullptr ? std::string(path) : RunningExecutable();
    LibString text;
    if (!IsRegularFile(file.c_str()))
        return text;
    BFile executable(file.c_str(), B_READ_ONLY);
    BAppFileInfo appInfo(&executable);
    version_info version;
    if (executable.InitCheck() != B_OK || appInfo.InitCheck() != B_OK
        || appInfo.GetVersionInfo(&version, B_APP_VERSION_KIND) != B_OK)
        return text;
    text.Formatted("%u.%u.%u%s", unsigned(version.major), unsigned(version.middle),
        unsigned(version.minor), VarietyWord(version.variety));
    if (version.internal != 0) {
        LibString number;
        number.Formatted(" %u", unsigned(version.internal));
        text.Concat(number);
    }
    return text;
}

void LibGetAppSignature(const entry_ref& ref, char* signature)
{
    if (signature == nullptr)
        return;
    signature[0] = '\0';
    BPath path(&ref);
    if (path.InitCheck() != B_OK || !IsRegularFile(path.Path()))
        return;
    BFile file(&ref, B_READ_ONLY);
    BAppFileInfo appInfo(&file);
    char type[B_MIME_TYPE_LENGTH];
    if (file.InitCheck() != B_OK || appInfo.InitCheck() != B_OK || appInfo.GetType(type) != B_OK
        || std::strcmp(type, B_APP_MIME_TYPE) != 0)
        return;
    if (appInfo.GetSignature(signature) != B_OK)
        signature[0] = '\0';
}

int32 LibGetAppSupportedTypes(LibStringList& types)
{
    std::string path = RunningExecutable();
    return path.empty() ? 0 : LibGetAppSupportedTypes(path.c_str(), types);
}

int32 LibGetAppSupportedTypes(const char* path, LibStringList& types)
{
    if (!IsRegularFile(path))
        return 0;
    BFile file(path, B_READ_ONLY);
    BAppFileInfo appInfo(&file);
    BMessage message;
    if (file.InitCheck() != B_OK || appInfo.InitCheck() != B_OK
        || appInfo.GetSupportedTypes(&message) != B_OK)
        return 0;
    const char* type;
    for (int32 i = 0; message.FindString("types", i, &type) == B_OK; i++)
        types.Add(type);
    return int32(types.Size());
}

bool LibSetAppSupportedTypes(LibStringList& types)
{
    std::string path = RunningExecutable();
    return !path.empty() && LibSetAppSupportedTypes(path.c_str(), types);
}

bool LibSetAppSupportedTypes(const char* path, LibStringList& types)
{
    if (path == nullptr)
        return false;
    BMessage message;
    for (LibString* type = types.First(); type != nullptr; type = types.Next())
        message.AddString("types", static_cast<const char*>(*type));
    BFile file(path, B_READ_WRITE);
    BAppFileInfo appInfo(&file);
    return file.InitCheck() == B_OK && appInfo.InitCheck() == B_OK
        && appInfo.SetSupportedTypes(&message) == B_OK;
}
