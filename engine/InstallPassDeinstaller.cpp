// The de-installer that the pass puts into the installation folder, and the
// edits of the user's start-up scripts: the start-up folder block and the
// product's own blocks, each recorded so that the de-installer can take out
// exactly what was written.

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include <Resources.h>
#include <Sha256.h>
#include <TypeConstants.h>
#include <Volume.h>

#include <LibNode.h>

#include "InstallConfig.h"
#include "InstallNames.h"
#include "InstallPass.h"
#include "InstallerFormat.h"
#include "ScriptBlock.h"
#include "ScriptEditor.h"
#include "ScriptTargets.h"

using namespace InstallerFormat;

// The de-installer's own configuration: who the product is, its picture, the
// tags of its script blocks, and (ours) the install record and the language.
BMessage InstallPass::DeinstallerConfiguration()
{
    BMessage configuration;
    for (const char* field : { Field::kAppName, Field::kVersion, Field::kReleaseDate,
             Field::kCompany, Field::kSupportEmail })
        configuration.AddString(field, fConfig.GetString(field, ""));
    BMessage image;
    if (fConfig.FindMessage(Field::kAboutImage, &image) == B_OK)
        configuration.AddMessage(Field::kAboutImage, &image);
    for (const char* edit : { Field::kEditBootscript, Field::kEditSetupEnv, Field::kEditProfile }) {
        bool on = fConfig.GetBool(edit);
        configuration.AddBool(edit, on);
        // The tag's field is the flag's name with "_tag" ("edit_profile_tag").
        std::string tag = std::string(edit) + "_tag";
        if (on)
            configuration.AddString(tag.c_str(), fConfig.GetString(tag.c_str(), ""));
    }
    configuration.AddString(InstallRecord::kConfigRecordPath, fRecord.JournalPath().c_str());
    configuration.AddString(InstallRecord::kConfigRecordId, fRecord.Id().c_str());
    // Also here, for file systems that refuse the "language" attribute.
    configuration.AddString(
        InstallRecord::kFieldLanguage, static_cast<const char*>(fTexts->Language()));
    return configuration;
}

void InstallPass::CreateDeinstaller()
{
    std::string name = std::string(fConfig.GetString(Field::kAppName, "")) + " "
        + fConfig.GetString(Field::kVersion, "") + " Deinstaller";
    if (!IsSafeComponent(name)) {
        fConfig.Log("\tNo de-installer: \"%s\" cannot be a file name\n", Printable(name).c_str());
        AddFailure("the de-installer: \"" + Printable(name) + "\" cannot be a file name");
        return;
    }
    std::string path = fInstallFolder + "/" + name;
    BMessage fields;
    fields.AddString(InstallRecord::kFieldPath, path.c_str());
    int32 step = fRecord.Begin(InstallRecord::kKindDeinstaller, fields);
    if (step < 0) {
        // Without its step in the record the de-installer could not be
        // removed again, so it is not made.
        fConfig.Log("\tNo de-installer: the install record cannot be written\n");
        AddFailure("the de-installer: the install record cannot be written");
        return;
    }
    std::string error;
    if (!fEntries->ExtractEntry(kDeinstallerId, path.c_str(), true)) {
        error = fEntries->EntryErrorText();
    } else {
        chmod(path.c_str(), CreationMode(0755));
        BMessage configuration = DeinstallerConfiguration();
        BResources resources;
        status_t status = resources.SetTo(path.c_str(), 2, false);
        if (status == B_OK)
            status = WriteConfiguration(resources, configuration);
        if (status == B_OK)
            status = resources.Sync();
        if (status != B_OK)
            error = std::string("its configuration cannot be written: ") + resources.ErrorText();
        resources.Unset();
        LibNode(path.c_str()).WriteStringAttr(kLanguageAttribute, fTexts->Language());
    }
    if (!error.empty()) {
        fRecord.Failed(step, B_ERROR, error.c_str());
        fConfig.Log("\tThe de-installer could not be made: %s\n", Printable(error).c_str());
        AddFailure("the de-installer: " + error);
        return;
    }
    BMessage result;
    std::string digest;
    struct stat info;
    if (BPrivate::Sha256::HashFile(path.c_str(), &digest) == B_OK)
        result.AddData(InstallRecord::kFieldSha256, B_RAW_TYPE, digest.data(), digest.size());
    if (lstat(path.c_str(), &info) == 0) {
        result.AddInt64(InstallRecord::kFieldSize, int64(info.st_size));
        result.AddInt32(InstallRecord::kFieldMode, int32(info.st_mode & 07777));
    }
    fRecord.Done(step, &result);
}

void InstallPass::CreateStartupFolder()
{
    LibString folder;
    BVolume volume;
    if (!fConfig.GetNewPath("StartUp", fCustomFolders, volume, fSavedFolder.c_str(), folder)) {
        fConfig.Log("\tNo StartUp folder: its place is not known.\n");
        return;
    }
    fConfig.Log("\tCreating StartUp folder in %s.\n", static_cast<const char*>(folder));
    LibString block;
    fConfig.BuildStartupString(folder, block);
    ScriptEdit edit;
    EditScript(B_USER_BOOT_DIRECTORY, ScriptTargets::kBootScript, ScriptTargets::kStartUpFolderTag,
        static_cast<const char*>(block), false, &edit);
}

bool InstallPass::EditScript(const directory_which& folder, const char* script,
    const std::string& tag, const std::string& contents, bool announce, ScriptEdit* edit)
{
    bool startUpFolder = folder == B_USER_BOOT_DIRECTORY
        && std::strcmp(script, ScriptTargets::kBootScript) == 0
        && tag == ScriptTargets::kStartUpFolderTag;
    std::string path = ScriptTargets::ScriptPath(folder, script, tag);
    BMessage fields;
    fields.AddString(InstallRecord::kFieldPath, path.c_str());
    fields.AddString(InstallRecord::kFieldTag, tag.c_str());
    fields.AddString(InstallRecord::kFieldName, script);
    fields.AddBool(InstallRecord::kFieldStartupBlock, startUpFolder);
    // The block as it will be written: should the pass end before the step
    // is closed, the de-installer still finds the block in the script's own
    // file (the editor's full account replaces this once the step is done).
    fields.AddString(InstallRecord::kFieldBlock, ScriptBlock::Format(tag, contents).c_str());
    // The user's own files change here: the record says so before they do.
    int32 step = fRecord.Begin(InstallRecord::kKindScript, fields, InstallRecord::kRecordSync);
    if (step < 0) {
        fConfig.Log("\tUnable to add script tab %s to %s: the install record cannot be written\n",
            Printable(tag).c_str(), path.c_str());
        AddFailure("the script tab " + Printable(tag) + " in " + path
            + ": the install record cannot be written");
        return false;
    }
    status_t status = EditScriptFile(folder, script, tag.c_str(), contents.c_str(), edit);
    // What was written, also when a later file of the edit failed, so that
    // the de-installer takes out exactly that.
    BMessage archive;
    edit->Archive(&archive);
    if (status == B_OK) {
        fRecord.Done(step, &archive);
        if (announce)
            fConfig.Log("\tAdded script tab %s to %s\n", tag.c_str(), edit->path.c_str());
    } else {
        fRecord.Failed(step, status, StatusText(status), &archive);
        std::string where = edit->path.empty() ? path : edit->path;
        fConfig.Log("\tUnable to add script tab %s to %s: %s\n", Printable(tag).c_str(),
            where.c_str(), StatusText(status));
        AddFailure("the script tab " + Printable(tag) + " in " + where + ": " + StatusText(status));
    }
    for (const std::string& note : edit->notes)
        fConfig.Log("%s", note.c_str());
    return status == B_OK;
}

namespace {

struct ScriptField {
    const char* flag;
    const char* tag;
    const char* contents;
    directory_which folder;
    const char* script;
};

const ScriptField kScripts[] = {
    { Field::kEditBootscript, Field::kEditBootscriptTag, Field::kEditBootscriptContents,
        B_USER_BOOT_DIRECTORY, ScriptTargets::kBootScript },
    { Field::kEditSetupEnv, Field::kEditSetupEnvTag, Field::kEditSetupEnvContents,
        B_USER_BOOT_DIRECTORY, ScriptTargets::kSetupEnvironment },
    { Field::kEditProfile, Field::kEditProfileTag, Field::kEditProfileContents, B_USER_DIRECTORY,
        ScriptTargets::kProfile },
};

} // namespace

std::string InstallPass::ScriptContentsProblem()
{
    // Every script's contents, asked for or not: brenvik-build refuses them
    // all the same, so an installer that holds one was not made by it.
    for (const ScriptField& field : kScripts) {
        std::string problem
            = ScriptTargets::ContentsProblem(field.script, fConfig.GetString(field.contents, ""));
        if (!problem.empty())
            return "This installer cannot be used: " + problem + ". Nothing was installed.";
    }
    return std::string();
}

void InstallPass::EditScripts()
{
    for (const ScriptField& field : kScripts) {
        if (!fConfig.GetBool(field.flag) || fConfig.StopRequested())
            continue;
        std::string tag = fConfig.GetString(field.tag, "");
        ScriptEdit edit;
        EditScript(
            field.folder, field.script, tag, fConfig.GetString(field.contents, ""), true, &edit);
    }
}
