#include "ScriptTargets.h"
#include "InstallNames.h"

#include <cctype>
#include <cstring>
#include <mutex>
#include <set>
#include <unistd.h>

#include <Path.h>
#include <PathHelpers.h>
#include <StorageScope.h>

#include "InstallLock.h"
#include "ScriptBlock.h"
#include "ScriptEditor.h"
#include "ShellAssignments.h"

using BPrivate::FolderOf;
using BPrivate::StorageScope;

namespace {

std::mutex sBackupLock;
std::set<std::string> sBackedUp;

std::string BootFolder()
{
    BPath path;
    if (find_directory(B_USER_BOOT_DIRECTORY, &path) != B_OK)
        return "";
    return path.Path();
}

std::string BootScriptHeader(const std::string& folder)
{
    std::string environment = BPrivate::JoinPath(folder, ScriptTargets::kSetupEnvironment);
    return "#!/bin/sh\n"
           "# UserBootscript: run by Brenvik's autostart entry when a desktop session starts.\n"
           "# Software installed with Brenvik keeps its lines here between \"#BEGIN_\" and\n"
           "# \"#END_\" lines, which its de-installer removes; lines outside them are yours.\n"
           "if [ -r "
        + ShellQuoted(environment) + " ]; then . " + ShellQuoted(environment) + "; fi\n";
}

std::string SetupEnvironmentHeader()
{
    return "# UserSetupEnvironment: read by login shells and by UserBootscript.\n"
           "# Software installed with Brenvik keeps its lines here between \"#BEGIN_\" and\n"
           "# \"#END_\" lines, which its de-installer removes; lines outside them are yours.\n";
}

std::string MirrorHeader(const std::string& tag, const char* script)
{
    return "# Written by Brenvik for the block \"" + tag + "\" of " + script
        + "; its de-installer removes it.\n";
}

// Quotes one argument of an Exec line of a desktop entry, then escapes the
// whole as a string value of the entry file.
std::string ExecArgument(const std::string& argument)
{
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    std::string value;
    for (char c : quoted) {
        if (c == '\\')
            value += "\\\\";
        else if (c == '%')
            value += "%%";
        else if (c == '\n')
            value += "\\n";
        else
            value += c;
    }
    return value;
}

void WriteAutostartEntry(ScriptEditor& editor, const std::string& bootScript)
{
    ScriptFileChange change;
    change.role = ScriptFileChange::kAutostart;
    change.path = ScriptTargets::AutostartPath();
    std::string entry = ScriptTargets::AutostartEntry(bootScript);
    std::string old;
    InstallLock lock;
    status_t status = lock.InitCheck();
    if (status == B_OK)
        status = ScriptFile::MakeFolders(FolderOf(change.path), &change.createdFolders);
    if (status == B_OK) {
        change.existed = ScriptFile::Read(change.path, &old) == B_OK;
        change.created = !change.existed;
        change.removeWhenEmpty = true;
        // An entry that is there already stays as it is: the user may have
        // turned it off (Hidden=true), and that choice is theirs.
        if (!change.existed) {
            status = ScriptFile::Replace(change.path, entry, 0644);
            change.changed = status == B_OK;
        }
    }
    if (status != B_OK) {
        editor.Fail(status, change.path);
        return;
    }
    if (change.created)
        editor.Note("\t\tRun when a desktop session starts by " + change.path + "\n");
    editor.Edit()->files.push_back(std::move(change));
}

} // namespace

std::string ConfigFolder()
{
    return StorageScope::XdgFolder("XDG_CONFIG_HOME", ".config");
}

std::string SystemPath(const char* path)
{
    return StorageScope::SystemRoot() + path;
}

bool NeedsBackup(const std::string& path)
{
    std::lock_guard<std::mutex> guard(sBackupLock);
    return sBackedUp.insert(path).second;
}

ScriptEditor::ScriptEditor(ScriptEdit* edit, const std::string& contents)
    : fEdit(edit)
    , fContents(contents)
{
}

bool ScriptEditor::Write(ScriptFileChange::Role role, const std::string& path,
    const std::string& tag, const std::string& contents, const ScriptFile::Options& options)
{
    ScriptFileChange change;
    change.role = role;
    status_t status = ScriptFile::Write(path, tag, contents, options, &change);
    if (status != B_OK) {
        Fail(status, change.path.empty() ? path : change.path);
        return false;
    }
    fEdit->files.push_back(std::move(change));
    return true;
}

void ScriptEditor::Fail(status_t status, const std::string& path)
{
    if (fEdit->status == B_OK)
        fEdit->status = status;
    Note("\t\tUnable to edit " + path + ": " + StatusText(status) + "\n");
}

void EditBootScript(ScriptEditor& editor)
{
    std::string folder = BootFolder();
    std::string path = BPrivate::JoinPath(folder, ScriptTargets::kBootScript);
    ScriptFile::Options options;
    options.header = BootScriptHeader(folder);
    options.mode = 0755;
    options.managed = true;
    options.createFolders = true;
    options.markAsText = true;
    if (editor.Write(ScriptFileChange::kScript, path, options))
        WriteAutostartEntry(editor, editor.Edit()->files.back().path);
}

void EditSetupEnvironment(ScriptEditor& editor)
{
    std::string path = BPrivate::JoinPath(BootFolder(), ScriptTargets::kSetupEnvironment);
    ScriptFile::Options options;
    options.header = SetupEnvironmentHeader();
    options.managed = true;
    options.createFolders = true;
    options.markAsText = true;
    if (!editor.Write(ScriptFileChange::kScript, path, options))
        return;
    WriteProfileHook(editor, editor.Edit()->files.back().path);

    std::vector<ShellAssignments::Assignment> assignments;
    std::string lines;
    if (!ShellAssignments::Parse(editor.Contents(), &assignments)
        || !ShellAssignments::ToEnvironmentD(assignments, &lines)) {
        editor.Note("\t\tThe block is shell code, not only variables: programs that no login "
                    "shell starts do not see it\n");
        return;
    }
    if (!lines.empty())
        lines.pop_back();
    std::string mirror = (BPrivate::StorageScope::IsSystem() ? SystemPath("/etc/environment.d")
                                                             : ConfigFolder() + "/environment.d")
        + "/60-brenvik-" + ScriptTargets::TagFileName(editor.Tag()) + ".conf";
    ScriptFile::Options mirrorOptions;
    mirrorOptions.header = MirrorHeader(editor.Tag(), ScriptTargets::kSetupEnvironment);
    mirrorOptions.managed = true;
    mirrorOptions.createFolders = true;
    if (editor.Write(ScriptFileChange::kMirror, mirror, editor.Tag(), lines, mirrorOptions))
        editor.Note("\t\tVariables also set for the session in " + mirror + "\n");
}

std::string ScriptTargets::ScriptPath(
    const directory_which& folder, const char* fileName, const std::string& tag)
{
    if (fileName == nullptr)
        return "";
    if (folder == B_USER_DIRECTORY && std::strcmp(fileName, kProfile) == 0
        && BPrivate::StorageScope::IsSystem())
        return SystemPath("/etc/profile.d") + "/brenvik-" + TagFileName(tag) + ".sh";
    BPath path;
    if (find_directory(folder, &path) != B_OK)
        return "";
    std::string file = BPrivate::JoinPath(path.Path(), fileName);
    std::string resolved;
    return ScriptFile::Resolve(file, &resolved) == B_OK ? resolved : file;
}

std::string ScriptTargets::AutostartPath()
{
    std::string folder = BPrivate::StorageScope::IsSystem() ? SystemPath("/etc/xdg/autostart")
                                                            : ConfigFolder() + "/autostart";
    return folder + "/" + kAutostartName;
}

std::string ScriptTargets::AutostartEntry(const std::string& bootScriptPath)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Brenvik start-up script\n"
           "Comment=Runs UserBootscript, the start-up script of software installed with "
           "Brenvik\n"
           "Exec=/bin/sh "
        + ExecArgument(bootScriptPath)
        + "\n"
          "X-Brenvik-Managed=true\n";
}

std::string ScriptTargets::TagFileName(const std::string& tag)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string name;
    for (unsigned char c : tag) {
        if (std::isalnum(c) || c == '.' || c == '_' || c == '-') {
            name += char(c);
        } else {
            name += '%';
            name += kHex[c >> 4];
            name += kHex[c & 15];
        }
    }
    return name;
}

void ScriptTargets::BeginPass()
{
    std::lock_guard<std::mutex> guard(sBackupLock);
    sBackedUp.clear();
}

std::string ScriptTargets::ContentsProblem(const std::string& script, const std::string& contents)
{
    std::string line;
    int32 number = ScriptBlock::FindMarkerLine(contents, &line);
    if (number == 0)
        return std::string();
    size_t first = line.find_first_not_of(" \t\r\v\f");
    size_t last = line.find_last_not_of(" \t\r\v\f");
    line = first == std::string::npos ? std::string() : line.substr(first, last - first + 1);
    return "line " + std::to_string(number) + " of the lines for " + script
        + " reads as a block marker (\"" + Printable(line)
        + "\"): a line that starts with \"#BEGIN_\" or \"#END_\" could open or close another "
          "product's block in the user's scripts";
}

bool ScriptTargets::IsOwnHeader(
    const std::string& text, const std::string& path, const std::string& tag)
{
    if (text.empty())
        return false;
    for (const std::string& header :
        { BootScriptHeader(BootFolder()), BootScriptHeader(FolderOf(path)),
            SetupEnvironmentHeader(), MirrorHeader(tag, kSetupEnvironment),
            MirrorHeader(tag, kProfile), std::string(kHookFileHeader) }) {
        if (text == header)
            return true;
    }
    return false;
}

namespace {

// A block of a script that has no Linux counterpart of its own: edited where
// find_directory puts the folder.
void EditPlainScript(ScriptEditor& editor, const directory_which& folder, const char* fileName)
{
    BPath path;
    status_t status = find_directory(folder, &path);
    if (status != B_OK) {
        editor.Fail(status, fileName);
        return;
    }
    std::string file = BPrivate::JoinPath(path.Path(), fileName);
    ScriptFile::Options options;
    options.backup = NeedsBackup(file);
    if (editor.Write(ScriptFileChange::kScript, file, options))
        editor.Edit()->path = editor.Edit()->files.back().path;
}

// Null contents: only the block of the script's own file goes.
status_t RemoveOnly(ScriptEdit* edit)
{
    ScriptFileChange change;
    change.path = edit->path;
    change.tag = edit->tag;
    status_t status = ScriptFile::Remove(change);
    if (status != B_OK) {
        edit->status = status;
        edit->notes.push_back(
            "\t\tUnable to edit " + edit->path + ": " + StatusText(status) + "\n");
    }
    return status;
}

} // namespace

status_t EditScriptFile(const directory_which& folder, const char* fileName, const char* tag,
    const char* contents, ScriptEdit* edit)
{
    ScriptEdit local;
    ScriptEdit* result = edit != nullptr ? edit : &local;
    *result = ScriptEdit();
    result->script = fileName != nullptr ? fileName : "";
    result->tag = tag != nullptr ? tag : "";
    if (BPrivate::CheckEntryName(result->script) != B_OK || result->script == "."
        || result->script == ".." || ScriptBlock::CheckTag(result->tag) != B_OK) {
        result->status = B_BAD_VALUE;
        result->notes.push_back("\t\tThe script name or tag cannot be used; nothing was edited\n");
        return result->status;
    }
    result->path = ScriptTargets::ScriptPath(folder, fileName, result->tag);
    bool bootFolder = folder == B_USER_BOOT_DIRECTORY;
    result->startUpFolder = bootFolder && result->script == ScriptTargets::kBootScript
        && result->tag == ScriptTargets::kStartUpFolderTag;
    if (contents == nullptr)
        return RemoveOnly(result);
    std::string problem = ScriptTargets::ContentsProblem(result->script, contents);
    if (!problem.empty()) {
        result->status = B_BAD_DATA;
        result->notes.push_back("\t\tNothing was edited: " + problem + "\n");
        return result->status;
    }

    // One lock over all the files of the edit, so that another installer
    // never sees the script without its copies.
    InstallLock lock;
    if (lock.InitCheck() != B_OK) {
        result->status = lock.InitCheck();
        result->notes.push_back(
            std::string("\t\tUnable to edit the scripts: ") + StatusText(result->status) + "\n");
        return result->status;
    }
    ScriptEditor editor(result, contents);
    if (bootFolder && result->script == ScriptTargets::kBootScript)
        EditBootScript(editor);
    else if (bootFolder && result->script == ScriptTargets::kSetupEnvironment)
        EditSetupEnvironment(editor);
    else if (folder == B_USER_DIRECTORY && result->script == ScriptTargets::kProfile)
        EditProfile(editor);
    else
        EditPlainScript(editor, folder, fileName);
    if (!result->files.empty() && result->files.front().role == ScriptFileChange::kScript)
        result->path = result->files.front().path;
    return result->status;
}
