#include "LibFileType.h"

#include <cstring>

#include <Actions.h>
#include <AppDefs.h>
#include <Application.h>
#include <Entry.h>
#include <Message.h>
#include <MimeType.h>
#include <Node.h>
#include <NodeInfo.h>

#include "LibEntry.h"

namespace {

void CopyType(char* buffer, const char* type)
{
    std::strncpy(buffer, type, B_MIME_TYPE_LENGTH - 1);
    buffer[B_MIME_TYPE_LENGTH - 1] = '\0';
}

bool StoredOrGuessedType(const entry_ref& ref, char* type)
{
    BEntry entry(&ref);
    if (entry.InitCheck() != B_OK || !entry.Exists())
        return false;
    if (entry.IsSymLink()) {
        CopyType(type, B_SYMLINK_MIME_TYPE);
        return true;
    }
    BNode node(&ref);
    BNodeInfo info(&node);
    if (info.InitCheck() == B_OK && info.GetType(type) == B_OK && type[0] != '\0')
        return true;
    if (entry.IsDirectory()) {
        CopyType(type, B_DIRECTORY_MIME_TYPE);
        return true;
    }
    BMimeType guess;
    if (BMimeType::GuessMimeType(&ref, &guess) != B_OK || guess.Type() == nullptr)
        return false;
    CopyType(type, guess.Type());
    return true;
}

const char* KindOf(const char* type)
{
    if (std::strcmp(type, B_DIRECTORY_MIME_TYPE) == 0)
        return "Folder";
    if (std::strcmp(type, B_SYMLINK_MIME_TYPE) == 0)
        return "Symbolic Link";
    if (std::strcmp(type, B_APP_MIME_TYPE) == 0)
        return "Be Application";
    return "Unknown";
}

bool SendToFileManager(const char* path, uint32 what)
{
    entry_ref ref;
    if (!LibExists(path) || !LibGetEntryRef(path, ref))
        return false;
    BMessage message(what);
    message.AddRef("refs", &ref);
    return BPrivate::Actions::HandleFileManagerMessage(&message) == B_OK;
}

} // namespace

bool LibGetMimeType(const entry_ref& ref, char* type, const bool& descriptive)
{
    if (type == nullptr)
        return false;
    type[0] = '\0';
    bool found = StoredOrGuessedType(ref, type);
    if (!found)
        type[0] = '\0';
    if (descriptive)
        CopyType(type, KindOf(type));
    return found;
}

bool LibSetMimeType(const char* path, const char* type)
{
    if (path == nullptr || type == nullptr)
        return false;
    BNode node(path);
    BNodeInfo info(&node);
    return info.InitCheck() == B_OK && info.SetType(type) == B_OK;
}

bool LibSetFileType(const char* path, const char* type, const char* signature)
{
    if (!LibSetMimeType(path, type))
        return false;
    if (signature == nullptr) {
        if (be_app == nullptr)
            return true;
        signature = be_app->Signature();
    }
    BNode node(path);
    BNodeInfo info(&node);
    return info.InitCheck() == B_OK && info.SetPreferredApp(signature, B_OPEN) == B_OK;
}

bool LibOpenEntry(const char* path)
{
    return SendToFileManager(path, B_REFS_RECEIVED);
}

bool LibInfoEntry(const char* path)
{
    return SendToFileManager(path, 'Tinf');
}
