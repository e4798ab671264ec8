// Actions: the file manager's messages, and its registration as a service
// that BMessenger reaches by signature.

#include "Actions.h"

#include <mutex>
#include <sys/stat.h>

#include <AppDefs.h>
#include <Message.h>
#include <Path.h>
#include <Port.h>

namespace BPrivate {

namespace {

constexpr uint32 kShowInfo = 'Tinf';

} // namespace

status_t Actions::HandleFileManagerMessage(const BMessage* message)
{
    if (message == nullptr)
        return B_BAD_VALUE;
    if (message->what != B_REFS_RECEIVED && message->what != kShowInfo)
        return B_BAD_VALUE;
    status_t result = B_OK;
    entry_ref ref;
    int32 handled = 0;
    for (int32 index = 0; message->FindRef("refs", index, &ref) == B_OK; index++) {
        // A reference that names nothing (the sender could not form it) is
        // skipped; the others are still opened.
        BPath path(&ref);
        struct stat info;
        if (path.InitCheck() != B_OK || lstat(path.Path(), &info) != 0) {
            result = B_ENTRY_NOT_FOUND;
            continue;
        }
        status_t status;
        if (message->what == kShowInfo)
            status = ShowInfo(path.Path());
        else if (S_ISDIR(info.st_mode))
            status = OpenFolder(path.Path());
        else
            status = Open(path.Path());
        if (status != B_OK)
            result = status;
        handled++;
    }
    return handled == 0 && result == B_OK ? B_BAD_VALUE : result;
}

void Actions::RegisterDesktopServices()
{
    static std::once_flag registered;
    std::call_once(registered, [] {
        std::shared_ptr<Port> port = Port::CreateService(
            [](std::unique_ptr<BMessage> message) {
                return HandleFileManagerMessage(message.get());
            },
            "file manager");
        Port::RegisterSignature(kFileManagerSignature, port->Id());
    });
}

} // namespace BPrivate
