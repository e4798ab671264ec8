#include "InstallCompletion.h"

#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include <Actions.h>
#include <Descriptor.h>
#include <Mime.h>
#include <StorageScope.h>

#include <LibEntry.h>
#include <LibFileType.h>

#include "InstallerFormat.h"

using BPrivate::Actions;
namespace Field = InstallerFormat::Field;

namespace {

std::string StringOf(const BMessage& message, const char* name)
{
    std::string value;
    message.FindString(name, &value);
    return value;
}

bool BoolOf(const BMessage& message, const char* name)
{
    bool value = false;
    return message.FindBool(name, &value) == B_OK && value;
}

std::string LeafOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool StartsWithInterpreterLine(const std::string& path)
{
    char start[2] = { 0, 0 };
    BPrivate::Descriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    return fd.IsValid() && read(fd.Get(), start, 2) == 2 && start[0] == '#' && start[1] == '!';
}

// Anything with a "#!" line, or text, is a script, as the shell on BeOS took
// every item that was not a program; other files are documents.
bool IsScript(const std::string& path, const std::string& type)
{
    return StartsWithInterpreterLine(path) || type.rfind("text/", 0) == 0
        || type == "application/x-shellscript" || type == "application/x-sh";
}

} // namespace

InstallCompletion::InstallCompletion(
    const BMessage& configuration, InstallTexts& texts, CompletionDialogs& dialogs, LogSink log)
    : fConfiguration(configuration)
    , fTexts(texts)
    , fDialogs(dialogs)
    , fLog(std::move(log))
{
}

std::vector<InstallCompletion::Launch> InstallCompletion::AutoLaunch()
{
    std::vector<Launch> launches;
    BMessage instructions;
    if (fConfiguration.FindMessage(Field::kInstallInstructions, &instructions) != B_OK)
        return launches;
    BMessage item;
    for (int32 index = 0; instructions.FindMessage(Field::kInstallFile, index, &item) == B_OK;
         index++) {
        BMessage meta;
        if (!BoolOf(item, Field::kInstallToSystem)
            || item.FindMessage(Field::kInstallMeta, &meta) != B_OK
            || StringOf(meta, Field::kAutoLaunch) != InstallerFormat::kTrue)
            continue;
        // An item this pass did not place still names the file it was made
        // from (a path of the author's machine, or one in the author's
        // project), which is not the installed one. A placed item's path is
        // absolute: nothing is ever looked up from the current folder.
        std::string path = StringOf(item, Field::kFileName);
        if (path.empty() || path[0] != '/' || !BoolOf(item, Field::kPlacedByPass))
            continue;
        if (!fDialogs.Launches()) {
            fLog("\tDid not run " + path + ": running items is turned off\n");
            launches.push_back({ path, Launch::kDeclined, -1 });
            continue;
        }
        // Whether to ask is decided for each item by its own reason.
        std::string reason = StringOf(meta, Field::kAutoLaunchReason);
        if (!reason.empty() && !Confirm(path, reason)) {
            fLog("\tDid not run " + path + ": the user chose to run it later\n");
            launches.push_back({ path, Launch::kDeclined, -1 });
            continue;
        }
        launches.push_back(Run(path));
    }
    return launches;
}

bool InstallCompletion::Confirm(const std::string& path, const std::string& reason)
{
    std::string text = fTexts.Text(TextId::kRunQuestionStart) + path
        + fTexts.Text(TextId::kRunQuestionEnd) + "\n\n" + reason;
    std::string later = fTexts.Text(TextId::kLater);
    std::string run = fTexts.Text(TextId::kRun);
    return fDialogs.Ask(text, later.c_str(), run.c_str(), B_WIDTH_AS_USUAL) == 1;
}

InstallCompletion::Launch InstallCompletion::Run(const std::string& path)
{
    entry_ref ref;
    if (access(path.c_str(), F_OK) != 0 || !LibGetEntryRef(path.c_str(), ref)) {
        fLog("\tUnable to run " + path + ": it is not there\n");
        Fail(path);
        return { path, Launch::kFailed, -1 };
    }
    char type[B_MIME_TYPE_LENGTH];
    LibGetMimeType(ref, type, false);
    if (std::strcmp(type, B_APP_MIME_TYPE) == 0)
        return Start(path, true);
    if (IsScript(path, type))
        return RunScript(path);
    return Start(path, false);
}

InstallCompletion::Launch InstallCompletion::Start(const std::string& path, bool program)
{
    if (BPrivate::StorageScope::IsSystem()) {
        fLog("\tDid not start " + path
            + ": the installer runs as root, and would start it as root\n");
        fProblems.push_back(FormatWithText(fTexts.Format(TextId::kUnableToRun), LeafOf(path)));
        return { path, Launch::kSkipped, -1 };
    }
    if (!fDialogs.HasDesktop()) {
        fLog("\tDid not start " + path + ": there is no desktop\n");
        fDialogs.Info(FormatWithText(fTexts.Format(TextId::kNotStartedNoDesktop), path));
        return { path, Launch::kSkipped, -1 };
    }
    status_t status = program ? Actions::Launch(path.c_str()) : Actions::Open(path.c_str());
    if (status != B_OK) {
        fLog("\tUnable to start " + path + "\n");
        Fail(path);
        return { path, Launch::kFailed, -1 };
    }
    fLog("\tStarted " + path + "\n");
    return { path, Launch::kStarted, -1 };
}

InstallCompletion::Launch InstallCompletion::RunScript(const std::string& path)
{
    int exitStatus = -1;
    status_t status = Actions::RunScript(path.c_str(), &exitStatus);
    // 126 and 127 are the shell's own: the script could not be run at all.
    if (status != B_OK || exitStatus == 126 || exitStatus == 127) {
        fLog("\tUnable to run " + path + "\n");
        Fail(path);
        return { path, Launch::kFailed, exitStatus };
    }
    // While actions are logged the script does not run and has no status.
    if (exitStatus >= 0)
        fLog("\tRan " + path + ", exit status " + std::to_string(exitStatus) + "\n");
    else
        fLog("\tRan " + path + "\n");
    return { path, Launch::kRan, exitStatus };
}

void InstallCompletion::Fail(const std::string& path)
{
    std::string text = FormatWithText(fTexts.Format(TextId::kUnableToRun), LeafOf(path));
    fDialogs.Error(text);
    fProblems.push_back(text);
}

std::string InstallCompletion::Message(const std::vector<std::string>& problems, bool restart)
{
    std::string message;
    if (problems.empty()) {
        message = fTexts.Text(TextId::kSuccess);
    } else {
        message = fTexts.Text(TextId::kInstallationComplete) + "\n";
        for (const std::string& problem : problems)
            message += "\n" + problem;
    }
    std::string comments = StringOf(fConfiguration, Field::kCompleteComments);
    if (!comments.empty())
        message += "\n\n" + comments;
    if (restart)
        message += fTexts.Text(TextId::kNeedsRestart);
    return message;
}

bool InstallCompletion::Complete(
    const std::string& installFolder, const std::vector<std::string>& problems)
{
    std::vector<std::string> all = problems;
    all.insert(all.end(), fProblems.begin(), fProblems.end());
    bool restart = false;
    if (BoolOf(fConfiguration, Field::kCompleteRestart)) {
        std::string message = Message(all, true);
        std::string later = fTexts.Text(TextId::kRestartLater);
        std::string now = fTexts.Text(TextId::kRestartNow);
        if (Actions::CanRestart()) {
            restart = fDialogs.Ask(message, later.c_str(), now.c_str(), B_WIDTH_FROM_WIDEST) == 1;
        } else {
            // Nobody may restart the machine from here (no logind, or its
            // answer was no): the user is told, and restarts later.
            fLog("\tThe system cannot be restarted from the installer\n");
            fDialogs.Ask(message, later.c_str(), nullptr, B_WIDTH_FROM_WIDEST);
        }
    } else {
        fDialogs.Info(Message(all, false));
    }
    if (BoolOf(fConfiguration, Field::kCompleteDisplayFolder))
        OpenFolder(installFolder);
    return restart;
}

void InstallCompletion::OpenFolder(const std::string& folder)
{
    if (BPrivate::StorageScope::IsSystem()) {
        fLog("\tDid not open " + folder + ": the installer runs as root\n");
        return;
    }
    if (!fDialogs.HasDesktop()) {
        fDialogs.Info(FormatWithText(fTexts.Format(TextId::kInstalledIn), folder));
        return;
    }
    if (!LibOpenEntry(folder.c_str()))
        fLog("\tUnable to open " + folder + "\n");
}
