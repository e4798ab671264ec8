// The de-installer that the pass puts into the installation folder, and the
// places where the pass hands over to the script editor.

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
    if (step < 0)
        return;
    std::string error;
    if (!fEntries->ExtractEntry(kDeinstallerId, path.c_str(), true)) {
        error = fEntries->EntryErrorText();
    } else {
        chmod(path.c_str(), 0755);
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
    // TODO(pass-scripts): BuildStartupString with this folder, and
    // EditScriptFile of the boot script under the tag "StartUpFolder",
    // recorded in fRecord (InstallRecord::kKindScript, startup_block true).
}

void InstallPass::EditScripts()
{
    // TODO(pass-scripts): for "edit_bootscript", "edit_setup_env" and
    // "edit_profile", in that order and each only when it is true:
    // EditScriptFile with its tag and contents, recorded in fRecord
    // (InstallRecord::kKindScript), then the log line
    // "\tAdded script tab %s to %s\n" with the tag and the real path of the
    // file that was edited.
}
