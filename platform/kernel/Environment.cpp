#include "Environment.h"

#include <cstdlib>
#include <cstring>
#include <sys/auxv.h>
#include <unistd.h>

namespace BPrivate {

namespace {

bool HasPrefix(const char* name, const char* prefix)
{
    return std::strncmp(name, prefix, std::strlen(prefix)) == 0;
}

// The variables that say where a program reads and writes.
bool SteersFolders(const char* name)
{
    return HasPrefix(name, "BRENVIK_") || HasPrefix(name, "XDG_") || std::strcmp(name, "HOME") == 0
        || std::strcmp(name, "TMPDIR") == 0 || std::strcmp(name, "ZDOTDIR") == 0;
}

// The variables that say which programs a name runs.
bool SteersPrograms(const char* name)
{
    return std::strcmp(name, "PATH") == 0;
}

// The variables that would let a caller act in a root program's place.
bool ActsForTheUser(const char* name)
{
    return std::strcmp(name, "BRENVIK_UI_SCRIPT") == 0
        || std::strcmp(name, "BRENVIK_ACTIONS_LOG") == 0;
}

} // namespace

Environment::Process Environment::Current()
{
    Process process;
    process.realUid = getuid();
    process.effectiveUid = geteuid();
    process.realGid = getgid();
    process.effectiveGid = getegid();
    process.secureExecution = getauxval(AT_SECURE) != 0;
    process.startedBySudo = std::getenv("SUDO_UID") != nullptr;
    return process;
}

bool Environment::IsSecure(const Process& process)
{
    return process.secureExecution || process.realUid != process.effectiveUid
        || process.realGid != process.effectiveGid;
}

bool Environment::Trusts(const char* name, const Process& process)
{
    if (name == nullptr)
        return false;
    if (IsSecure(process) && (SteersFolders(name) || SteersPrograms(name)))
        return false;
    return !(process.effectiveUid == 0 && process.startedBySudo && ActsForTheUser(name));
}

const char* Environment::Get(const char* name)
{
    if (!Trusts(name, Current()))
        return nullptr;
    return std::getenv(name);
}

const char* Environment::SearchPath()
{
    const char* path = Get("PATH");
    return path != nullptr ? path : kSystemSearchPath;
}

} // namespace BPrivate
