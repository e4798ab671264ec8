#include "InstallAnswers.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <Descriptor.h>
#include <Errors.h>

#include <LibConvert.h>
#include <LibString.h>
#include <LocalizedTextTable.h>

#include "InstallConfig.h"
#include "InstallServices.h"
#include "InstallerFormat.h"
#include "SmallFile.h"

namespace Field = InstallerFormat::Field;

namespace {

constexpr const char* kLicense = "license";
constexpr const char* kInstallType = "install_type";
constexpr const char* kFile = "file";
constexpr const char* kDestination = "destination";
constexpr const char* kCollisions = "collisions";
constexpr const char* kLaunch = "launch";
constexpr const char* kLanguage = "language";

constexpr const char* kCollisionNames[] = { "keep", "replace", "rename", "fail" };

std::string Trimmed(const std::string& text)
{
    size_t start = text.find_first_not_of(" \t\r");
    if (start == std::string::npos)
        return std::string();
    size_t end = text.find_last_not_of(" \t\r");
    return text.substr(start, end - start + 1);
}

InstallAnswers::Problem MakeProblem(
    const std::string& key, int line, int32 text, const std::string& detail = std::string())
{
    InstallAnswers::Problem problem;
    problem.key = key;
    problem.line = line;
    problem.text = text;
    problem.detail = detail;
    return problem;
}

// One "key = value" line into the answers; what is wrong (an empty problem
// when nothing) with a key or value the file may not hold.
InstallAnswers::Problem TakeLine(const std::string& key, const std::string& value,
    InstallAnswers* answers, std::vector<std::string>* seen)
{
    bool repeatable = key == kFile;
    bool known = false;
    for (const char* name :
        { kLicense, kInstallType, kFile, kDestination, kCollisions, kLaunch, kLanguage })
        known = known || key == name;
    if (!known)
        return MakeProblem(key, 0, TextId::kAnswerUnknownKey);
    for (const std::string& earlier : *seen) {
        if (earlier == key && !repeatable)
            return MakeProblem(key, 0, TextId::kAnswerRepeated);
    }
    seen->push_back(key);
    if (value.empty())
        return MakeProblem(key, 0, TextId::kAnswerNoValue);
    if (key == kLicense) {
        if (value != "accept" && value != "decline")
            return MakeProblem(key, 0, TextId::kAnswerBadValue, "accept, decline");
        answers->licenseAccepted = value == "accept";
    } else if (key == kInstallType) {
        answers->installType = value;
    } else if (key == kFile) {
        answers->files.push_back(value);
    } else if (key == kDestination) {
        if (value[0] != '/')
            return MakeProblem(key, 0, TextId::kAnswerNotAbsolute);
        answers->destination = value;
    } else if (key == kCollisions) {
        bool found = false;
        for (int policy = 0; policy < 4; policy++) {
            if (value == kCollisionNames[policy]) {
                answers->collisions = InstallAnswers::collision_policy(policy);
                found = true;
            }
        }
        if (!found)
            return MakeProblem(key, 0, TextId::kAnswerBadValue, "replace, keep, rename, fail");
    } else if (key == kLaunch) {
        if (value != "yes" && value != "no")
            return MakeProblem(key, 0, TextId::kAnswerBadValue, "yes, no");
        answers->launch = value == "yes";
    } else if (key == kLanguage) {
        if (LocalizedTextTable::LanguageIndex(value.c_str()) < 0)
            return MakeProblem(
                key, 0, TextId::kAnswerBadValue, "en, fr, es, de, it, no, sv, da, nl, pt");
        answers->language = value;
    }
    return InstallAnswers::Problem();
}

bool IsDirectory(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool MarkFiles(const std::vector<std::string>& files, InstallConfig& config, std::string* unknown)
{
    config.SelectGroup(nullptr);
    for (const std::string& name : files) {
        if (config.FindInstallFile(name.c_str()) < 0) {
            *unknown = name;
            return false;
        }
        config.MarkInstallFile(name.c_str(), true);
    }
    return true;
}

// The rule "Prompt" of every item and link, which no one would answer, set
// to the rule the answers give.
void SetPromptRules(InstallConfig& config, const char* rule)
{
    BMessage instructions;
    if (config.FindMessage(Field::kInstallInstructions, &instructions) != B_OK)
        return;
    BMessage item;
    for (int32 i = 0; instructions.FindMessage(Field::kInstallFile, i, &item) == B_OK; i++) {
        BMessage meta;
        if (item.FindMessage(Field::kInstallMeta, &meta) != B_OK)
            continue;
        for (const char* field : { Field::kDestinationExists, Field::kLinkExists }) {
            if (IsKeyword(meta.GetString(field, ""), InstallerFormat::kPrompt))
                meta.ReplaceString(field, rule);
        }
        item.ReplaceMessage(Field::kInstallMeta, &meta);
        instructions.ReplaceMessage(Field::kInstallFile, i, &item);
    }
    config.ReplaceMessage(Field::kInstallInstructions, &instructions);
}

} // namespace

InstallAnswers::Problem InstallAnswers::Parse(const std::string& text, InstallAnswers* answers)
{
    *answers = InstallAnswers();
    std::vector<std::string> seen;
    size_t start = 0;
    int number = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = Trimmed(text.substr(start, end - start));
        start = end + 1;
        number++;
        if (line.empty() || line[0] == '#')
            continue;
        size_t equals = line.find('=');
        if (equals == std::string::npos)
            return MakeProblem(line, number, TextId::kAnswerNotKeyValue);
        std::string key = Trimmed(line.substr(0, equals));
        Problem problem = TakeLine(key, Trimmed(line.substr(equals + 1)), answers, &seen);
        if (!problem.empty()) {
            problem.line = number;
            return problem;
        }
    }
    if (!answers->installType.empty() && !answers->files.empty())
        return MakeProblem(kInstallType, 0, TextId::kAnswerTypeAndFiles);
    return Problem();
}

InstallAnswers::Problem InstallAnswers::Read(const std::string& path, InstallAnswers* answers)
{
    std::string text;
    status_t status = ReadSmallFile(path, kMaxFileSize, &text);
    if (status != B_OK) {
        int error = status == B_BAD_TYPE || status == B_BAD_DATA ? EINVAL : errno;
        return MakeProblem(path, 0, TextId::kAnswerUnreadable, std::strerror(error));
    }
    return Parse(text, answers);
}

std::string InstallAnswers::Text() const
{
    std::string text = "# Answers of an installation; run it again with\n"
                       "# --unattended --answers FILE\n";
    text += std::string(kLicense) + " = " + (licenseAccepted ? "accept" : "decline") + "\n";
    if (!installType.empty())
        text += std::string(kInstallType) + " = " + installType + "\n";
    for (const std::string& file : files)
        text += std::string(kFile) + " = " + file + "\n";
    if (!destination.empty())
        text += std::string(kDestination) + " = " + destination + "\n";
    text += std::string(kCollisions) + " = " + CollisionName(collisions) + "\n";
    text += std::string(kLaunch) + " = " + (launch ? "yes" : "no") + "\n";
    if (!language.empty())
        text += std::string(kLanguage) + " = " + language + "\n";
    return text;
}

status_t InstallAnswers::Write(const std::string& path) const
{
    // A new file beside the old one, renamed over it: never written through
    // a link, never left half written.
    std::string temporary = path + ".new";
    unlink(temporary.c_str());
    BPrivate::Descriptor fd(
        open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!fd.IsValid())
        return StatusFromErrno(errno);
    std::string text = Text();
    size_t written = 0;
    while (written < text.size()) {
        ssize_t n = write(fd.Get(), text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            unlink(temporary.c_str());
            return B_IO_ERROR;
        }
        written += size_t(n);
    }
    if (fsync(fd.Get()) != 0 || rename(temporary.c_str(), path.c_str()) != 0) {
        status_t status = StatusFromErrno(errno);
        unlink(temporary.c_str());
        return status;
    }
    return B_OK;
}

const char* InstallAnswers::CollisionName(collision_policy policy)
{
    return kCollisionNames[int(policy) & 3];
}

InstallAnswersCheck::verdict InstallAnswersCheck::Apply(const InstallAnswers& answers,
    InstallConfig& config, SystemProbe& probe, InstallAnswers::Problem* why)
{
    *why = InstallAnswers::Problem();
    if (!answers.licenseAccepted && config.GetString(Field::kLicense, "")[0] != '\0') {
        *why = MakeProblem(kLicense, 0, TextId::kAnswerLicense);
        return kAnswersInvalid;
    }
    if (!answers.installType.empty()) {
        BMessage groups;
        config.FindMessage(Field::kGroups, &groups);
        bool known = false;
        const char* name = nullptr;
        for (int32 i = 0; groups.FindString(Field::kGroupName, i, &name) == B_OK; i++)
            known = known || answers.installType == name;
        if (!known) {
            *why = MakeProblem(kInstallType, 0, TextId::kAnswerUnknownType, answers.installType);
            return kAnswersInvalid;
        }
        config.SelectGroup(answers.installType.c_str());
    } else if (!answers.files.empty()) {
        std::string unknown;
        if (!MarkFiles(answers.files, config, &unknown)) {
            *why = MakeProblem(kFile, 0, TextId::kAnswerUnknownFile, unknown);
            return kAnswersInvalid;
        }
    } else {
        // Neither: the choice the window starts with, its first install type.
        BMessage groups;
        const char* first = nullptr;
        if (config.FindMessage(Field::kGroups, &groups) == B_OK
            && groups.FindString(Field::kGroupName, 0, &first) == B_OK)
            config.SelectGroup(first);
    }
    if (config.CountSelectedFiles() == 0) {
        *why = MakeProblem(kFile, 0, TextId::kAnswerNothingChosen);
        return kAnswersInvalid;
    }

    if (!answers.destination.empty()) {
        std::string nearest = NearestExisting(answers.destination);
        if (nearest.empty() || !IsDirectory(nearest) || access(nearest.c_str(), W_OK | X_OK) != 0
            || (nearest != answers.destination && !IsDirectory(answers.destination)
                && access(answers.destination.c_str(), F_OK) == 0)) {
            *why = MakeProblem(answers.destination, 0, TextId::kAnswerDestination);
            return kDestinationUnusable;
        }
        config.SetDestinationPath(answers.destination);
    }
    config.SetMakeDestination(true);

    std::string where = NearestExisting(config.DestinationPath());
    SystemProbe::Space space;
    if (!where.empty() && probe.FreeSpace(where, &space) == B_OK
        && space.freeBytes < NeededBytes(config)) {
        LibString needed;
        LibBytesToString(NeededBytes(config), needed, 1);
        *why = MakeProblem(where, 0, TextId::kAnswerNoSpace, static_cast<const char*>(needed));
        return kNotEnoughSpace;
    }

    if (answers.collisions == InstallAnswers::kCollisionRename)
        SetPromptRules(config, InstallerFormat::kRename);
    else if (answers.collisions == InstallAnswers::kCollisionReplace)
        SetPromptRules(config, InstallerFormat::kReplace);
    return kAnswersFine;
}

uint64 InstallAnswersCheck::NeededBytes(const InstallConfig& config)
{
    uint64 total = 0;
    if (config.IncludeDeinstaller())
        total += InstallerFormat::RecordedDeinstallerSize(config);
    BMessage instructions;
    config.FindMessage(Field::kInstallInstructions, &instructions);
    BMessage item;
    for (int32 i = 0; instructions.FindMessage(Field::kInstallFile, i, &item) == B_OK; i++) {
        if (item.GetBool(Field::kInstallToSystem))
            total += InstallerFormat::RecordedFileSize(item);
    }
    return total;
}

std::string InstallAnswersCheck::NearestExisting(const std::string& path)
{
    std::string current = path;
    while (!current.empty()) {
        struct stat info;
        if (lstat(current.c_str(), &info) == 0)
            return current;
        size_t slash = current.find_last_of('/');
        if (slash == std::string::npos)
            return std::string();
        current = slash == 0 ? std::string("/") : current.substr(0, slash);
        if (current == "/")
            return current;
    }
    return std::string();
}
