#include "TerminalDialogs.h"

#include <TextIds.h>
#include <oLocalize.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kDefaultColumns = 80;
constexpr int kDefaultRows = 24;

std::string Lowered(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return text;
}

std::string Trimmed(const std::string& text)
{
    size_t start = text.find_first_not_of(" \t\r");
    if (start == std::string::npos)
        return std::string();
    return text.substr(start, text.find_last_not_of(" \t\r") - start + 1);
}

} // namespace

TerminalIO::TerminalIO(int in, FILE* out, FILE* err)
    : fIn(in)
    , fOut(out)
    , fErr(err)
    , fTerminal(isatty(fileno(out)) != 0)
{
}

void TerminalIO::Line(const std::string& text)
{
    EndProgress();
    std::fprintf(fOut, "%s\n", text.c_str());
    std::fflush(fOut);
}

void TerminalIO::ErrorLine(const std::string& text)
{
    EndProgress();
    std::fflush(fOut);
    std::fprintf(fErr, "%s\n", text.c_str());
    std::fflush(fErr);
}

namespace {

std::atomic<bool> sInterruptNoted { false };
static_assert(std::atomic<bool>::is_always_lock_free);

// How long a question waits on its input between two looks at a noted stop.
constexpr int kInterruptPollMs = 100;

} // namespace

void TerminalIO::NoteInterrupt()
{
    sInterruptNoted.store(true);
}

void TerminalIO::ClearInterrupt()
{
    sInterruptNoted.store(false);
}

bool TerminalIO::Ask(const std::string& prompt, std::string* answer)
{
    EndProgress();
    answer->clear();
    // After Ctrl+C every question is left unanswered: the pass is stopping.
    if (fInterrupted)
        return false;
    std::fputs(prompt.c_str(), fOut);
    std::fflush(fOut);
    for (;;) {
        // A stop signal ends the question, whichever thread it reached.
        if (sInterruptNoted.load()) {
            std::fputc('\n', fOut);
            fInterrupted = true;
            return false;
        }
        pollfd input = { fIn, POLLIN, 0 };
        int ready = poll(&input, 1, kInterruptPollMs);
        if (ready == 0 || (ready < 0 && errno == EINTR))
            continue;
        char c;
        ssize_t n = ready < 0 ? -1 : read(fIn, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return !answer->empty();
        if (c == '\n')
            break;
        answer->push_back(c);
    }
    *answer = Trimmed(*answer);
    return true;
}

void TerminalIO::Progress(const std::string& text)
{
    if (!fTerminal) {
        Line(text);
        return;
    }
    std::string shown = text.substr(0, size_t(std::max(Columns() - 1, 1)));
    std::fprintf(fOut, "\r%s\033[K", shown.c_str());
    std::fflush(fOut);
    fProgressOpen = true;
}

void TerminalIO::EndProgress()
{
    if (!fProgressOpen)
        return;
    std::fputc('\n', fOut);
    fProgressOpen = false;
}

int TerminalIO::Columns() const
{
    struct winsize size = {};
    if (ioctl(fileno(fOut), TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    const char* columns = std::getenv("COLUMNS");
    return columns != nullptr && std::atoi(columns) > 0 ? std::atoi(columns) : kDefaultColumns;
}

int TerminalIO::Rows() const
{
    struct winsize size = {};
    if (ioctl(fileno(fOut), TIOCGWINSZ, &size) == 0 && size.ws_row > 0)
        return size.ws_row;
    return kDefaultRows;
}

TerminalDialogs::TerminalDialogs(TerminalIO& io, oLocalize& texts, const InstallAnswers* answers)
    : fIO(io)
    , fTexts(texts)
    , fAnswers(answers)
{
}

std::string TerminalDialogs::Text(int32 id)
{
    return static_cast<const char*>(fTexts.GetText(id));
}

std::string JsonString(const std::string& text)
{
    std::string quoted = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += char(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            quoted += escaped;
        } else {
            quoted += char(c);
        }
    }
    return quoted + "\"";
}

void TerminalDialogs::Say(const std::string& text)
{
    if (fJson)
        fIO.Line("{\"step\":\"message\",\"text\":" + JsonString(text) + "}");
    else
        fIO.Line(text);
}

void TerminalDialogs::Error(const std::string& text)
{
    fIO.ErrorLine(text);
}

void TerminalDialogs::Info(const std::string& text)
{
    Say(text);
}

int32 TerminalDialogs::Choose(
    const std::string& text, const std::vector<std::string>& buttons, alert_kind kind)
{
    (void)kind;
    if (buttons.empty())
        return -1;
    if (fAnswers != nullptr) {
        // Nobody is there to answer: go on past what is only suggested,
        // run what the answers say may run, and otherwise take the first
        // button, which declines.
        int32 chosen = 0;
        for (size_t i = 0; i < buttons.size(); i++) {
            if (buttons[i] == Text(TextId::kContinue)
                || (fAnswers->launch && buttons[i] == Text(TextId::kRun)))
                chosen = int32(i);
        }
        Say(buttons.size() > 1 ? text + "\n  -> " + buttons[size_t(chosen)] : text);
        return chosen;
    }
    fIO.Line(text);
    if (buttons.size() == 1) {
        std::string unused;
        fIO.Ask("[" + buttons[0] + "] ", &unused);
        return 0;
    }
    for (size_t i = 0; i < buttons.size(); i++)
        fIO.Line("  " + std::to_string(i + 1) + ") " + buttons[i]);
    for (;;) {
        std::string answer;
        if (!fIO.Ask(Text(TextId::kWizardChoicePrompt), &answer))
            return 0;
        char* end = nullptr;
        long number = std::strtol(answer.c_str(), &end, 10);
        if (end != answer.c_str() && *end == '\0' && number >= 1
            && size_t(number) <= buttons.size())
            return int32(number - 1);
    }
}

bool TerminalDialogs::AskYesNo(const std::string& prompt)
{
    std::string answer;
    if (!fIO.Ask(prompt, &answer) || answer.empty())
        return false;
    answer = Lowered(answer);
    std::string yes = Lowered(Text(TextId::kWizardYes));
    return answer[0] == 'y' || (!yes.empty() && answer.compare(0, yes.size(), yes) == 0);
}

ReplaceAnswer TerminalDialogs::AskReplace(const std::string& newItem,
    const std::string& newItemFolder, const std::string& existingItem, bool offerApplyToAll,
    const std::string& language)
{
    (void)newItem;
    (void)newItemFolder;
    (void)language;
    ReplaceAnswer answer;
    if (fAnswers != nullptr) {
        switch (fAnswers->collisions) {
        case InstallAnswers::kCollisionReplace:
        case InstallAnswers::kCollisionRename:
            answer.replace = true;
            break;
        case InstallAnswers::kCollisionFail:
            fRefused = existingItem;
            if (fStop)
                fStop();
            break;
        case InstallAnswers::kCollisionKeep:
            break;
        }
        answer.applyToAll = true;
        return answer;
    }
    struct stat info;
    int32 kind = TextId::kReplaceDialogFile;
    if (lstat(existingItem.c_str(), &info) == 0)
        kind = S_ISLNK(info.st_mode) ? TextId::kReplaceDialogLink
            : S_ISDIR(info.st_mode)  ? TextId::kReplaceDialogFolder
                                     : TextId::kReplaceDialogFile;
    LibString question;
    // A localized format that GetFormat only hands out with the English
    // conversions (two strings).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    question.Formatted(static_cast<const char*>(fTexts.GetFormat(TextId::kReplaceDialogQuestion)),
        Text(kind).c_str(), existingItem.c_str());
#pragma GCC diagnostic pop
    int32 chosen = Choose(static_cast<const char*>(question),
        { Text(TextId::kReplaceDialogKeep), Text(TextId::kReplaceDialogReplace) }, kInfoKind);
    answer.replace = chosen == 1;
    if (offerApplyToAll)
        answer.applyToAll = AskYesNo(Text(TextId::kReplaceDialogApplyToAll) + "? [y/n] ");
    return answer;
}
