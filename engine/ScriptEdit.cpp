#include "ScriptEdit.h"

#include <Message.h>

namespace {

// Field names of the archived forms.
const char* const kRole = "role";
const char* const kPath = "path";
const char* const kTag = "tag";
const char* const kBlock = "block";
const char* const kSeparator = "separator_added";
const char* const kExisted = "existed";
const char* const kCreated = "created";
const char* const kRemoveWhenEmpty = "remove_when_empty";
const char* const kEmptyText = "empty_text";
const char* const kChanged = "changed";
const char* const kBackup = "backup";
const char* const kBackupSha256 = "backup_sha256";
const char* const kCreatedFolderField = "created_folder";
const char* const kScript = "script";
const char* const kStatus = "status";
const char* const kStartUpFolder = "startup_folder";
const char* const kFile = "file";
const char* const kNote = "note";

// Adds every value, stopping at the first failure.
class Writer {
public:
    explicit Writer(BMessage* archive)
        : fArchive(archive)
        , fStatus(B_OK)
    {
    }

    void String(const char* name, const std::string& value)
    {
        if (fStatus == B_OK)
            fStatus = fArchive->AddString(name, value);
    }
    void Bool(const char* name, bool value)
    {
        if (fStatus == B_OK)
            fStatus = fArchive->AddBool(name, value);
    }
    void Int32(const char* name, int32 value)
    {
        if (fStatus == B_OK)
            fStatus = fArchive->AddInt32(name, value);
    }
    void Message(const char* name, const BMessage& value)
    {
        if (fStatus == B_OK)
            fStatus = fArchive->AddMessage(name, &value);
    }
    void Fail(status_t status)
    {
        if (fStatus == B_OK)
            fStatus = status;
    }
    status_t Status() const { return fStatus; }

private:
    BMessage* fArchive;
    status_t fStatus;
};

bool FindBool(const BMessage& archive, const char* name)
{
    bool value = false;
    return archive.FindBool(name, &value) == B_OK && value;
}

std::string FindString(const BMessage& archive, const char* name)
{
    std::string value;
    archive.FindString(name, &value);
    return value;
}

std::vector<std::string> FindStrings(const BMessage& archive, const char* name)
{
    std::vector<std::string> values;
    std::string value;
    for (int32 index = 0; archive.FindString(name, index, &value) == B_OK; index++)
        values.push_back(value);
    return values;
}

} // namespace

status_t ScriptFileChange::Archive(BMessage* archive) const
{
    Writer writer(archive);
    writer.Int32(kRole, role);
    writer.String(kPath, path);
    writer.String(kTag, tag);
    writer.String(kBlock, block);
    writer.Bool(kSeparator, separatorAdded);
    writer.Bool(kExisted, existed);
    writer.Bool(kCreated, created);
    writer.Bool(kRemoveWhenEmpty, removeWhenEmpty);
    writer.String(kEmptyText, emptyText);
    writer.Bool(kChanged, changed);
    writer.String(kBackup, backup);
    writer.String(kBackupSha256, backupSha256);
    for (const std::string& folder : createdFolders)
        writer.String(kCreatedFolderField, folder);
    return writer.Status();
}

status_t ScriptFileChange::Restore(const BMessage& archive)
{
    int32 value = 0;
    if (archive.FindInt32(kRole, &value) != B_OK || value < kScript || value > kAutostart)
        return B_BAD_DATA;
    if (archive.FindString(kPath, &path) != B_OK || path.empty())
        return B_BAD_DATA;
    role = Role(value);
    tag = FindString(archive, kTag);
    block = FindString(archive, kBlock);
    separatorAdded = FindBool(archive, kSeparator);
    existed = FindBool(archive, kExisted);
    created = FindBool(archive, kCreated);
    removeWhenEmpty = FindBool(archive, kRemoveWhenEmpty);
    emptyText = FindString(archive, kEmptyText);
    changed = FindBool(archive, kChanged);
    backup = FindString(archive, kBackup);
    backupSha256 = FindString(archive, kBackupSha256);
    createdFolders = FindStrings(archive, kCreatedFolderField);
    return B_OK;
}

status_t ScriptEdit::Archive(BMessage* archive) const
{
    Writer writer(archive);
    writer.String(kScript, script);
    writer.String(kTag, tag);
    writer.String(kPath, path);
    writer.Int32(kStatus, status);
    writer.Bool(kStartUpFolder, startUpFolder);
    for (const ScriptFileChange& file : files) {
        BMessage fileArchive;
        writer.Fail(file.Archive(&fileArchive));
        writer.Message(kFile, fileArchive);
    }
    for (const std::string& note : notes)
        writer.String(kNote, note);
    return writer.Status();
}

status_t ScriptEdit::Restore(const BMessage& archive)
{
    if (archive.FindString(kScript, &script) != B_OK || archive.FindString(kTag, &tag) != B_OK)
        return B_BAD_DATA;
    path = FindString(archive, kPath);
    int32 value = B_OK;
    archive.FindInt32(kStatus, &value);
    status = value;
    startUpFolder = FindBool(archive, kStartUpFolder);
    files.clear();
    BMessage fileArchive;
    for (int32 index = 0; archive.FindMessage(kFile, index, &fileArchive) == B_OK; index++) {
        ScriptFileChange file;
        if (file.Restore(fileArchive) != B_OK)
            return B_BAD_DATA;
        files.push_back(std::move(file));
    }
    notes = FindStrings(archive, kNote);
    return B_OK;
}
