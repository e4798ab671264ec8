// EditScriptFile for ".profile", and the login hook of UserSetupEnvironment:
// the login files of the shells people use.

#include <cstdlib>
#include <pwd.h>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

#include <Environment.h>
#include <PathHelpers.h>
#include <StorageScope.h>

#include "ScriptBlock.h"
#include "ScriptEditor.h"
#include "ScriptTargets.h"
#include "ShellAssignments.h"

using BPrivate::JoinPath;
using BPrivate::StorageScope;

namespace {

struct LoginFile {
    std::string path;
    ScriptFileChange::Role role;
};

bool Exists(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

// Whether a bash or zsh login file reads ~/.profile itself (as many do:
// ". ~/.profile", "source $HOME/.profile", "emulate sh -c '. ~/.profile'");
// a copy of the block there would run it twice.
bool ReadsProfile(const std::string& path)
{
    std::string resolved;
    std::string text;
    if (ScriptFile::Resolve(path, &resolved) != B_OK || ScriptFile::Read(resolved, &text) != B_OK)
        return false;
    static const std::regex kSourcing(
        R"((^|[;&|'"(\s])(\.|source)\s+["']?(~|\$HOME|\$\{HOME\})/\.profile(["'\s;)]|$))");
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        size_t first = line.find_first_not_of(" \t");
        bool comment = first != std::string::npos && line[first] == '#';
        if (!comment && std::regex_search(line, kSourcing))
            return true;
        start = end + 1;
    }
    return false;
}

std::string LoginShellName()
{
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size_t(size > 0 ? size : 16384));
    struct passwd entry;
    struct passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr
        || found->pw_shell == nullptr)
        return "";
    std::string shell = found->pw_shell;
    size_t slash = shell.rfind('/');
    return slash == std::string::npos ? shell : shell.substr(slash + 1);
}

std::string ZshFolder()
{
    const char* folder = BPrivate::Environment::Get("ZDOTDIR");
    return folder != nullptr && folder[0] == '/' ? std::string(folder) : StorageScope::Home();
}

// ~/.profile, then the login files that a shell reads instead of it.
std::vector<LoginFile> UserLoginFiles()
{
    std::string home = StorageScope::Home();
    std::vector<LoginFile> files = { { JoinPath(home, ".profile"), ScriptFileChange::kScript } };
    // bash reads the first of these that exists, and then not ~/.profile.
    for (const char* name : { ".bash_profile", ".bash_login" }) {
        std::string path = JoinPath(home, name);
        if (!Exists(path))
            continue;
        if (!ReadsProfile(path))
            files.push_back({ path, ScriptFileChange::kCopy });
        break;
    }
    // zsh reads ~/.profile only when it emulates sh.
    std::string zprofile = JoinPath(ZshFolder(), ".zprofile");
    bool exists = Exists(zprofile);
    if ((exists || LoginShellName() == "zsh") && !(exists && ReadsProfile(zprofile)))
        files.push_back({ zprofile, ScriptFileChange::kCopy });
    return files;
}

ScriptFile::Options UserFileOptions(const std::string& path)
{
    ScriptFile::Options options;
    options.backup = NeedsBackup(path);
    return options;
}

ScriptFile::Options DropInOptions(const std::string& header)
{
    ScriptFile::Options options;
    options.header = header;
    options.managed = true;
    options.createFolders = true;
    return options;
}

std::string DropInHeader(const std::string& tag)
{
    return "# Written by Brenvik for the block \"" + tag + "\" of " + ScriptTargets::kProfile
        + "; its de-installer removes it.\n";
}

void WriteFishMirror(ScriptEditor& editor)
{
    std::string folder
        = BPrivate::StorageScope::IsSystem() ? SystemPath("/etc/fish") : ConfigFolder() + "/fish";
    std::string program
        = BPrivate::StorageScope::IsSystem() ? SystemPath("/usr/bin/fish") : "/usr/bin/fish";
    if (!Exists(folder) && access(program.c_str(), X_OK) != 0)
        return;
    std::vector<ShellAssignments::Assignment> assignments;
    if (!ShellAssignments::Parse(editor.Contents(), &assignments)) {
        editor.Note("\t\tfish does not read the block: it is shell code, not only variables\n");
        return;
    }
    std::string lines = ShellAssignments::ToFish(assignments);
    if (!lines.empty())
        lines.pop_back();
    std::string path
        = folder + "/conf.d/brenvik-" + ScriptTargets::TagFileName(editor.Tag()) + ".fish";
    if (editor.Write(ScriptFileChange::kMirror, path, editor.Tag(), lines,
            DropInOptions(DropInHeader(editor.Tag()))))
        editor.Note("\t\tVariables also set for fish in " + path + "\n");
}

} // namespace

const char* const kHookFileHeader
    = "# Written by Brenvik: login shells read UserSetupEnvironment through this file.\n";

void EditProfile(ScriptEditor& editor)
{
    if (BPrivate::StorageScope::IsSystem()) {
        std::string path
            = ScriptTargets::ScriptPath(B_USER_DIRECTORY, ScriptTargets::kProfile, editor.Tag());
        if (editor.Write(
                ScriptFileChange::kScript, path, DropInOptions(DropInHeader(editor.Tag()))))
            editor.Edit()->path = editor.Edit()->files.back().path;
        if (Exists(SystemPath("/etc/zsh")))
            editor.Note("\t\tzsh login shells do not read /etc/profile.d\n");
        WriteFishMirror(editor);
        return;
    }
    for (const LoginFile& file : UserLoginFiles()) {
        if (!editor.Write(file.role, file.path, UserFileOptions(file.path)))
            continue;
        const ScriptFileChange& change = editor.Edit()->files.back();
        if (file.role == ScriptFileChange::kScript)
            editor.Edit()->path = change.path;
        else
            editor.Note("\t\tAlso added to " + change.path + "\n");
    }
    WriteFishMirror(editor);
}

void WriteProfileHook(ScriptEditor& editor, const std::string& path)
{
    std::string quoted = ShellQuoted(path);
    std::string hook = "if [ -r " + quoted + " ]; then . " + quoted + "; fi";
    std::vector<LoginFile> files;
    ScriptFile::Options systemOptions = DropInOptions(kHookFileHeader);
    if (BPrivate::StorageScope::IsSystem())
        files.push_back({ SystemPath("/etc/profile.d/brenvik.sh"), ScriptFileChange::kHook });
    else
        files = UserLoginFiles();
    for (const LoginFile& file : files) {
        ScriptFile::Options options
            = BPrivate::StorageScope::IsSystem() ? systemOptions : UserFileOptions(file.path);
        if (!editor.Write(
                ScriptFileChange::kHook, file.path, ScriptTargets::kHookTag, hook, options))
            continue;
        const ScriptFileChange& change = editor.Edit()->files.back();
        if (change.changed)
            editor.Note("\t\tLogin shells read it through " + change.path + "\n");
    }
}
