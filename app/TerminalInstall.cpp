#include "TerminalInstall.h"

#include <Path.h>

#include <CompletionDialogs.h>
#include <InstallRecord.h>
#include <InstallRecordReader.h>
#include <InstallerFormat.h>
#include <LibAppResource.h>
#include <LibConvert.h>
#include <LocalizedTextTable.h>
#include <RollBackOffer.h>
#include <TextIds.h>

#include "DefaultDestination.h"
#include "InstallerIntegrity.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <set>
#include <sys/stat.h>

namespace Field = InstallerFormat::Field;

namespace {

constexpr const char* kInstallerName = "brenvik-installer";
// A progress bar is drawn when the terminal has room for it beside the
// counts.
constexpr int kBarColumns = 24;
constexpr int kColumnsForBar = 72;

// The pass that a signal asks to stop.
std::atomic<InstallConfig*> sRunning { nullptr };

void OnStopSignal(int)
{
    TerminalIO::NoteInterrupt();
    InstallConfig* config = sRunning.load();
    if (config != nullptr)
        config->RequestStop();
}

// Ctrl+C, a closed terminal and SIGTERM stop the pass the way the Stop button
// does, for as long as this object lives. A question that waits for its
// answer ends too (and keeps what exists), whichever thread the signal
// reached.
class StopSignals {
public:
    explicit StopSignals(InstallConfig& config)
    {
        sRunning.store(&config);
        TerminalIO::ClearInterrupt();
        struct sigaction action = {};
        action.sa_handler = OnStopSignal;
        sigemptyset(&action.sa_mask);
        for (size_t i = 0; i < kCount; i++)
            sigaction(kSignals[i], &action, &fOld[i]);
    }
    ~StopSignals()
    {
        for (size_t i = 0; i < kCount; i++)
            sigaction(kSignals[i], &fOld[i], nullptr);
        sRunning.store(nullptr);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    static constexpr size_t kCount = 3;
    static constexpr int kSignals[kCount] = { SIGINT, SIGTERM, SIGHUP };
    struct sigaction fOld[kCount] = {};
};

// The two-letter code of the user's locale settings, when it is one of the
// ten ("" otherwise).
std::string LocaleLanguage()
{
    for (const char* name : { "LC_ALL", "LC_MESSAGES", "LANG" }) {
        const char* value = std::getenv(name);
        if (value == nullptr || value[0] == '\0')
            continue;
        std::string code(value, std::min<size_t>(std::strlen(value), 2));
        // Norwegian Bokmål and Nynorsk read the Norwegian texts.
        if (code == "nb" || code == "nn")
            code = "no";
        return LocalizedTextTable::LanguageIndex(code.c_str()) >= 0 ? code : std::string();
    }
    return std::string();
}

std::string Bytes(uint64 bytes)
{
    LibString text;
    LibBytesToString(bytes, text, 1);
    return static_cast<const char*>(text);
}

bool IsFolder(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Exists(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

std::vector<std::string> GroupNames(const InstallConfig& config)
{
    std::vector<std::string> names;
    BMessage groups;
    config.FindMessage(Field::kGroups, &groups);
    const char* name = nullptr;
    for (int32 i = 0; groups.FindString(Field::kGroupName, i, &name) == B_OK; i++)
        names.emplace_back(name);
    return names;
}

} // namespace

TerminalInstall::TerminalInstall(
    const InstallerOptions& options, const std::string& installerPath, int in, FILE* out, FILE* err)
    : fOptions(options)
    , fInstallerPath(installerPath)
    , fIO(in, out, err)
{
}

TerminalInstall::~TerminalInstall() = default;

bool TerminalInstall::Load()
{
    LoadTexts();
    std::unique_ptr<LibAppResource> resources = fInstallerPath.empty()
        ? std::make_unique<LibAppResource>(uint32(0))
        : std::make_unique<LibAppResource>(fInstallerPath.c_str(), uint32(0));
    if (resources->InitCheck() != B_OK || fConfig.Load(*resources) != B_OK) {
        fIO.ErrorLine(
            "Error obtaining configuration in installer. The installer was improperly built.");
        return false;
    }
    if (!fInstallerPath.empty())
        fConfig.SetInstallerPath(fInstallerPath.c_str());
    return true;
}

std::string TerminalInstall::Described(const InstallAnswers::Problem& problem)
{
    return problem.detail.empty() ? Text(problem.text) : Formatted(problem.text, problem.detail);
}

void TerminalInstall::SetLanguage(const std::string& code)
{
    // For this run only: the pass's own texts find it too.
    fTexts->SetLanguageForRun(code.c_str());
}

std::string TerminalInstall::Text(int32 id)
{
    return static_cast<const char*>(fTexts->GetText(id));
}

std::string TerminalInstall::Formatted(int32 id, const std::string& argument)
{
    return FormatWithText(static_cast<const char*>(fTexts->GetFormat(id)), argument);
}

int TerminalInstall::PrintHelp(const char* program)
{
    LoadTexts();
    const char* leaf = std::strrchr(program, '/');
    fIO.Line(Formatted(TextId::kUsage, leaf != nullptr ? leaf + 1 : program));
    fIO.Line(Text(TextId::kOptions));
    return InstallerOptions::kExitInstalled;
}

int TerminalInstall::PrintVersion()
{
    if (!Load())
        return InstallerOptions::kExitFailed;
    fIO.Line(std::string(fConfig.GetString(Field::kAppName, "")) + " "
        + fConfig.GetString(Field::kVersion, ""));
    fIO.Line(std::string(kInstallerName) + " " + std::to_string(InstallerFormat::kVersionMajor)
        + "." + std::to_string(InstallerFormat::kVersionMiddle) + "."
        + std::to_string(InstallerFormat::kVersionMinor));
    return InstallerOptions::kExitInstalled;
}

void TerminalInstall::LoadTexts()
{
    if (fTexts != nullptr)
        return;
    fTexts = fInstallerPath.empty() ? std::make_unique<oLocalize>()
                                    : std::make_unique<oLocalize>(fInstallerPath.c_str());
    fTexts->ObtainLanguage();
    std::string code = fOptions.language.empty() ? LocaleLanguage() : fOptions.language;
    if (!code.empty())
        SetLanguage(code);
}

void TerminalInstall::SayNoFrontEnd()
{
    LoadTexts();
    fIO.ErrorLine(std::string(kInstallerName) + ": " + Text(TextId::kNoFrontEnd));
}

bool TerminalInstall::IsTrusted()
{
    LoadTexts();
    fTrust = CheckInstaller(fInstallerPath, *fTexts);
    std::string problem = fTrust.problem;
    if (problem.empty())
        problem = RequiredKeyProblem(fTrust.seal, fOptions.requiredKey, *fTexts);
    if (problem.empty())
        return true;
    fIO.ErrorLine(std::string(kInstallerName) + ": " + problem);
    return false;
}

int TerminalInstall::Verify()
{
    if (!IsTrusted())
        return InstallerOptions::kExitFailed;
    if (fTrust.seal.what != InstallerSignature::Seal::kSigned) {
        fIO.Line(Text(TextId::kVerifiedUnsigned));
        return InstallerOptions::kExitUnsigned;
    }
    fIO.Line(Formatted(TextId::kVerifiedSigned, SignatureLine(fTrust.seal, *fTexts)));
    fIO.Line(InstallerSignature::ShownFingerprint(fTrust.seal.publicKey, true));
    return InstallerOptions::kExitInstalled;
}

void TerminalInstall::SayWrongOption(const std::string& option)
{
    LoadTexts();
    fIO.ErrorLine(std::string(kInstallerName) + ": " + Formatted(TextId::kBadOption, option));
}

// The wizard: the window's steps as questions, then the same pass.
int TerminalInstall::RunWizard()
{
    if (!Load())
        return InstallerOptions::kExitFailed;
    fIO.Line(std::string(fConfig.GetString(Field::kAppName, "")) + " "
        + fConfig.GetString(Field::kVersion, ""));
    const char* company = fConfig.GetString(Field::kCompany, "");
    if (company[0] != '\0')
        fIO.Line(company);
    fIO.Line(SignatureLine(fTrust.seal, *fTexts));
    fIO.Line("");
    if (!ShowLicense() || !ChooseFiles() || !ChooseDestination()) {
        fIO.Line(Text(TextId::kWizardNotInstalled));
        return InstallerOptions::kExitFailed;
    }
    fAnswers.language = static_cast<const char*>(fTexts->Language());
    fAnswers.launch = true;
    int status = Check(fAnswers);
    if (status != 0)
        return status;
    TerminalDialogs dialogs(fIO, *fTexts);
    if (!dialogs.AskYesNo(Text(TextId::kWizardConfirm))) {
        fIO.Line(Text(TextId::kWizardNotInstalled));
        return InstallerOptions::kExitFailed;
    }
    RecordAnswers();
    OfferRollBack(true);
    return RunPass(nullptr);
}

bool TerminalInstall::ShowLicense()
{
    std::string license = fConfig.GetString(Field::kLicense, "");
    fAnswers.licenseAccepted = true;
    if (license.empty())
        return true;
    fIO.Line(Text(TextId::kLicenseBox) + ":");
    int page = std::max(fIO.Rows() - 2, 4);
    int columns = std::max(fIO.Columns(), 20);
    int shown = 0;
    size_t start = 0;
    bool paging = fIO.IsTerminal();
    while (start <= license.size()) {
        size_t end = license.find('\n', start);
        if (end == std::string::npos)
            end = license.size();
        std::string line = license.substr(start, end - start);
        start = end + 1;
        int rows = std::max(1, int((line.size() + size_t(columns) - 1) / size_t(columns)));
        if (paging && shown + rows > page) {
            std::string answer;
            if (!fIO.Ask(Text(TextId::kWizardMore), &answer))
                return false;
            // "q" leaves the rest of the licence unshown.
            if (answer == "q" || answer == "Q")
                break;
            shown = 0;
        }
        fIO.Line(line);
        shown += rows;
    }
    TerminalDialogs dialogs(fIO, *fTexts);
    fAnswers.licenseAccepted = dialogs.AskYesNo(Text(TextId::kWizardAcceptLicense));
    return fAnswers.licenseAccepted;
}

bool TerminalInstall::ChooseFiles()
{
    std::vector<std::string> types = GroupNames(fConfig);
    if (!types.empty()) {
        fIO.Line(Text(TextId::kGroupLabel) + ":");
        for (size_t i = 0; i < types.size(); i++)
            fIO.Line("  " + std::to_string(i + 1) + ") " + types[i]);
        size_t chosen = 0;
        for (;;) {
            std::string answer;
            if (!fIO.Ask(Formatted(TextId::kWizardTypePrompt, types[chosen]), &answer))
                return false;
            if (answer.empty())
                break;
            long number = std::atol(answer.c_str());
            if (number >= 1 && size_t(number) <= types.size()) {
                chosen = size_t(number - 1);
                break;
            }
        }
        fConfig.SelectGroup(types[chosen].c_str());
        fAnswers.installType = types[chosen];
    }
    std::set<std::string> typeFiles;
    for (;;) {
        ListFiles();
        std::string answer;
        if (!fIO.Ask(Text(TextId::kWizardFilesPrompt), &answer))
            return false;
        if (answer.empty()) {
            if (fConfig.CountSelectedFiles() > 0)
                break;
            fIO.Line(Text(TextId::kWizardNothingTicked));
            continue;
        }
        // Numbers separated by spaces or commas, each ticking or unticking
        // its file.
        for (char& c : answer) {
            if (c == ',')
                c = ' ';
        }
        const char* cursor = answer.c_str();
        char* end = nullptr;
        for (long number = std::strtol(cursor, &end, 10); end != cursor;
             number = std::strtol(cursor, &end, 10)) {
            cursor = end;
            BMessage item;
            BMessage instructions;
            fConfig.FindMessage(Field::kInstallInstructions, &instructions);
            if (number < 1
                || instructions.FindMessage(Field::kInstallFile, int32(number - 1), &item) != B_OK)
                continue;
            std::string name = LeafOf(item.GetString(Field::kFileName, ""));
            fConfig.MarkInstallFile(name.c_str(), !item.GetBool(Field::kInstallToSystem));
            fAnswers.installType.clear();
        }
    }
    if (fAnswers.installType.empty()) {
        BMessage instructions;
        fConfig.FindMessage(Field::kInstallInstructions, &instructions);
        BMessage item;
        for (int32 i = 0; instructions.FindMessage(Field::kInstallFile, i, &item) == B_OK; i++) {
            if (item.GetBool(Field::kInstallToSystem))
                fAnswers.files.emplace_back(LeafOf(item.GetString(Field::kFileName, "")));
        }
    }
    return true;
}

void TerminalInstall::ListFiles()
{
    fIO.Line(Text(TextId::kFilesLabel) + ":");
    BMessage instructions;
    fConfig.FindMessage(Field::kInstallInstructions, &instructions);
    BMessage item;
    for (int32 i = 0; instructions.FindMessage(Field::kInstallFile, i, &item) == B_OK; i++) {
        char line[512];
        std::snprintf(line, sizeof line, "  [%c] %2d  %-32s %10s",
            item.GetBool(Field::kInstallToSystem) ? 'x' : ' ', int(i + 1),
            LeafOf(item.GetString(Field::kFileName, "")),
            Bytes(InstallerFormat::RecordedFileSize(item)).c_str());
        fIO.Line(line);
    }
    fIO.Line("      = " + Bytes(InstallAnswersCheck::NeededBytes(fConfig)));
}

bool TerminalInstall::ChooseDestination()
{
    std::string destination = DefaultDestination(fConfig);
    for (;;) {
        std::string shown = destination.empty() ? std::string("/") : destination;
        SystemProbe::Space space;
        MachineProbe probe;
        std::string nearest = InstallAnswersCheck::NearestExisting(shown);
        if (!nearest.empty() && probe.FreeSpace(nearest, &space) == B_OK)
            fIO.Line(Formatted(TextId::kWizardFreeSpace, Bytes(space.freeBytes)));
        std::string answer;
        if (!fIO.Ask(Formatted(TextId::kWizardDestinationPrompt, shown), &answer))
            return false;
        if (answer.empty() && !destination.empty())
            break;
        if (!answer.empty() && answer[0] == '~') {
            const char* home = std::getenv("HOME");
            answer = std::string(home != nullptr ? home : "") + answer.substr(1);
        }
        if (!answer.empty() && answer[0] == '/') {
            destination = answer;
            break;
        }
        fIO.Line(Formatted(TextId::kAnswersUnusable, Text(TextId::kAnswerNotAbsolute)));
    }
    // Without a trailing slash, as a path is shown and recorded.
    while (destination.size() > 1 && destination.back() == '/')
        destination.pop_back();
    fAnswers.destination = destination;
    // As in the window: an installation folder that is there already is
    // replaced (into the trash, which the de-installer empties back) only
    // when the user says so.
    std::string created = fConfig.GetString(Field::kCreatedFolder, "");
    if (!created.empty() && Exists(destination + "/" + created)) {
        TerminalDialogs dialogs(fIO, *fTexts);
        if (dialogs.Choose(Text(TextId::kFolderExistsStart) + created
                    + Text(TextId::kFolderExistsEnd) + Text(TextId::kAskReplace),
                { Text(TextId::kCancel), Text(TextId::kReplace) }, InstallDialogs::kInfoKind)
            != 1)
            return ChooseDestination();
    }
    return true;
}

int TerminalInstall::RunUnattended()
{
    InstallAnswers::Problem problem = InstallAnswers::Read(fOptions.answersPath, &fAnswers);
    if (!Load())
        return InstallerOptions::kExitFailed;
    if (problem.empty() && !fAnswers.language.empty() && fOptions.language.empty())
        SetLanguage(fAnswers.language);
    if (!problem.empty()) {
        std::string where = fOptions.answersPath;
        if (problem.line > 0)
            where += ":" + std::to_string(problem.line);
        fIO.ErrorLine(Formatted(
            TextId::kAnswersUnusable, where + ": " + problem.key + ": " + Described(problem)));
        return InstallerOptions::kExitUsage;
    }
    int status = Check(fAnswers);
    if (status != 0)
        return status;
    if (fOptions.jsonProgress) {
        bool isSigned = fTrust.seal.what == InstallerSignature::Seal::kSigned;
        fIO.Line(std::string("{\"step\":\"signature\",\"signed\":") + (isSigned ? "true" : "false")
            + (isSigned ? ",\"publisher\":" + JsonString(fTrust.seal.publisher) + ",\"key\":"
                        + JsonString(InstallerSignature::Fingerprint(fTrust.seal.publicKey))
                        : std::string())
            + "}");
    } else {
        fIO.Line(SignatureLine(fTrust.seal, *fTexts));
    }
    if (AlreadyInstalled()) {
        std::string folder
            = fConfig.DestinationPath() + "/" + fConfig.GetString(Field::kCreatedFolder, "");
        std::string said = Formatted(TextId::kAlreadyInstalled, folder);
        if (fOptions.jsonProgress) {
            fIO.Line("{\"step\":\"status\",\"text\":" + JsonString(said) + "}");
            fIO.Line("{\"step\":\"end\",\"status\":0}");
        } else {
            fIO.Line(said);
        }
        return InstallerOptions::kExitInstalled;
    }
    if (fAnswers.collisions == InstallAnswers::kCollisionFail && fConfig.DoesDestinationExist()) {
        fIO.ErrorLine(Formatted(TextId::kCollisionRefused,
            fConfig.DestinationPath() + "/" + fConfig.GetString(Field::kCreatedFolder, "")));
        return InstallerOptions::kExitFailed;
    }
    RecordAnswers();
    OfferRollBack(false);
    return RunPass(&fAnswers);
}

int TerminalInstall::Check(const InstallAnswers& answers)
{
    MachineProbe probe;
    InstallAnswers::Problem problem;
    InstallAnswersCheck::verdict verdict
        = InstallAnswersCheck::Apply(answers, fConfig, probe, &problem);
    if (verdict == InstallAnswersCheck::kAnswersFine)
        return 0;
    fIO.ErrorLine(Formatted(TextId::kAnswersUnusable, problem.key + ": " + Described(problem)));
    switch (verdict) {
    case InstallAnswersCheck::kAnswersInvalid:
        return InstallerOptions::kExitUsage;
    case InstallAnswersCheck::kNotEnoughSpace:
        return InstallerOptions::kExitRequirements;
    default:
        return InstallerOptions::kExitFailed;
    }
}

bool TerminalInstall::AlreadyInstalled()
{
    std::string folder
        = fConfig.DestinationPath() + "/" + fConfig.GetString(Field::kCreatedFolder, "");
    if (!IsFolder(folder))
        return false;
    std::string version = fConfig.GetString(Field::kVersion, "");
    for (const std::string& journal : InstallRecordReader::FindRecords(
             InstallRecord::RecordsFolder(), fConfig.GetString(Field::kAppName, ""), folder)) {
        InstallRecordReader record;
        if (record.ReadFile(journal.c_str()) != B_OK
            || record.EndState() != InstallRecord::kStateFinished || record.Failures() != 0
            || !record.SupersededBy().empty() || record.IgnoredBytes() != 0
            || version != record.Header().GetString(Field::kVersion, ""))
            continue;
        // Whole: every item it placed is still there.
        bool whole = true;
        for (const InstallRecordReader::Step& step : record.Steps()) {
            if (step.kind == InstallRecord::kKindItem
                && step.state == InstallRecordReader::kStepDone)
                whole = whole && Exists(step.begun.GetString(InstallRecord::kFieldPath, ""));
        }
        if (whole)
            return true;
    }
    return false;
}

void TerminalInstall::OfferRollBack(bool ask)
{
    std::vector<std::string> unfinished
        = RollBackOffer::Find(fConfig.GetString(Field::kAppName, ""));
    if (unfinished.empty())
        return;
    if (ask) {
        TerminalDialogs dialogs(fIO, *fTexts);
        if (dialogs.Choose(Text(TextId::kRollBackQuestion),
                { Text(TextId::kRollBackLeave), Text(TextId::kRollBackUndo) },
                InstallDialogs::kWarningKind)
            != 1)
            return;
    }
    // Unattended, an earlier run that did not finish is undone before this
    // one, so that a repeated run converges on one whole installation.
    std::string report;
    if (!RollBackOffer::RollBackAll(unfinished, &report) && !report.empty())
        fIO.ErrorLine(report);
}

int TerminalInstall::RunPass(const InstallAnswers* answers)
{
    fConfig.ClearStopRequest();
    auto dialogs = std::make_unique<TerminalDialogs>(fIO, *fTexts, answers);
    TerminalDialogs* asked = dialogs.get();
    asked->SetJson(fOptions.jsonProgress);
    asked->SetStopRequest([this] { fConfig.RequestStop(); });
    fConfig.SetDialogs(std::move(dialogs));
    fConfig.SetStatusObserver([this](const char* text) {
        if (fOptions.jsonProgress)
            fIO.Line("{\"step\":\"status\",\"text\":" + JsonString(text) + "}");
        else if (!fIO.IsTerminal() || fOptions.what == InstallerOptions::kUnattended)
            fIO.Line(text);
    });
    fConfig.SetProgressObserver(
        [this](const InstallProgress& progress) { ReportProgress(progress); });
    status_t result;
    {
        StopSignals signals(fConfig);
        result = fConfig.Action();
    }
    fIO.EndProgress();
    if (!asked->RefusedCollision().empty()) {
        // "collisions = fail": nothing of this run stays.
        std::string report;
        if (!fConfig.RecordPath().empty()
            && !RollBackOffer::RollBackAll({ fConfig.RecordPath() }, &report) && !report.empty())
            fIO.ErrorLine(report);
        fIO.ErrorLine(Formatted(TextId::kCollisionRefused, asked->RefusedCollision()));
        if (fOptions.jsonProgress)
            fIO.Line("{\"step\":\"end\",\"status\":1}");
        return InstallerOptions::kExitFailed;
    }
    int status;
    InstallConfig::pass_outcome outcome = fConfig.Outcome();
    if (outcome == InstallConfig::kOutcomeSucceeded)
        status = InstallerOptions::kExitInstalled;
    else if (outcome == InstallConfig::kOutcomeAborted || result == InstallConfig::kPassNoSpace)
        status = InstallerOptions::kExitRequirements;
    else if (outcome == InstallConfig::kOutcomeStopped)
        status = InstallerOptions::kExitStopped;
    else
        status = InstallerOptions::kExitFailed;
    if (fOptions.jsonProgress)
        fIO.Line("{\"step\":\"end\",\"status\":" + std::to_string(status) + "}");
    return status;
}

void TerminalInstall::ReportProgress(const InstallProgress& progress)
{
    if (fConfig.StopRequested() && !fStopSaid) {
        fStopSaid = true;
        fIO.Line(Text(TextId::kWizardStopping));
    }
    if (fOptions.jsonProgress) {
        fIO.Line("{\"step\":\"item\",\"item\":" + std::to_string(progress.item) + ",\"total\":"
            + std::to_string(progress.total) + ",\"name\":" + JsonString(progress.name)
            + ",\"done\":" + (progress.itemDone ? "true" : "false")
            + ",\"bytes\":" + std::to_string(progress.bytesDone)
            + ",\"total_bytes\":" + std::to_string(progress.bytesTotal) + "}");
        return;
    }
    if (!fIO.IsTerminal() || fOptions.what == InstallerOptions::kUnattended)
        return;
    std::string counts = std::to_string(progress.item) + "/" + std::to_string(progress.total) + "  "
        + Bytes(progress.bytesDone) + " / " + Bytes(progress.bytesTotal) + "  " + progress.name;
    if (fIO.Columns() >= kColumnsForBar && progress.bytesTotal > 0) {
        int filled = int(progress.bytesDone * kBarColumns / progress.bytesTotal);
        counts = "[" + std::string(size_t(filled), '#')
            + std::string(size_t(kBarColumns - filled), '.') + "] " + counts;
    }
    fIO.Progress(counts);
}

void TerminalInstall::RecordAnswers()
{
    if (fOptions.recordPath.empty())
        return;
    InstallAnswers answers = fAnswers;
    if (answers.destination.empty())
        answers.destination = fConfig.DestinationPath();
    if (answers.language.empty())
        answers.language = static_cast<const char*>(fTexts->Language());
    if (answers.Write(fOptions.recordPath) != B_OK)
        fIO.ErrorLine(
            std::string(kInstallerName) + ": " + fOptions.recordPath + ": " + std::strerror(errno));
}
