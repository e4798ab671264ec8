#pragma once

// The install pass's questions without a window. On a terminal they are
// asked and answered by number (the replace question as the dialog asks it,
// "apply to all" included); in an unattended run they are answered from the
// answer file and only said. Either way there is no desktop: programs and
// folders are named, not opened.

#include <InstallAnswers.h>
#include <InstallServices.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

class oLocalize;

// Where the front end writes and reads: the terminal's lines, and the one
// progress line that is rewritten in place and must be ended before
// anything else is written.
class TerminalIO {
public:
    TerminalIO(int in, FILE* out, FILE* err);

    // Writes text and a line end (ending an open progress line first).
    void Line(const std::string& text);
    void ErrorLine(const std::string& text);
    // Writes text with no line end (a prompt) and reads the answer's line.
    // False at the end of input or when a signal interrupted the reading
    // (this one or an earlier one).
    bool Ask(const std::string& prompt, std::string* answer);
    // Rewrites the progress line (a terminal only).
    void Progress(const std::string& text);
    void EndProgress();

    // Notes a stop signal, from its handler (async-signal-safe). The signal
    // may reach any thread, not the one reading an answer: a question that
    // waits sees the note within a tenth of a second.
    static void NoteInterrupt();
    static void ClearInterrupt();

    bool IsTerminal() const { return fTerminal; }
    int Columns() const;
    int Rows() const;

private:
    int fIn;
    FILE* fOut;
    FILE* fErr;
    bool fTerminal;
    bool fProgressOpen = false;
    bool fInterrupted = false;
};

class TerminalDialogs : public InstallDialogs {
public:
    // Asks on `io` in `texts`' language; with `answers`, asks nothing and
    // answers from them instead.
    TerminalDialogs(TerminalIO& io, oLocalize& texts, const InstallAnswers* answers = nullptr);

    void Error(const std::string& text) override;
    void Info(const std::string& text) override;
    int32 Choose(
        const std::string& text, const std::vector<std::string>& buttons, alert_kind kind) override;
    ReplaceAnswer AskReplace(const std::string& newItem, const std::string& newItemFolder,
        const std::string& existingItem, bool offerApplyToAll,
        const std::string& language) override;
    bool HasDesktop() const override { return false; }
    bool Launches() const override { return fAnswers == nullptr || fAnswers->launch; }

    // Whether the user answered yes to a [y/n] prompt: the language's letter
    // or "y".
    bool AskYesNo(const std::string& prompt);

    // The item that met "collisions = fail" (the pass was asked to stop
    // there), or "".
    const std::string& RefusedCollision() const { return fRefused; }
    // Messages as JSON objects ({"step":"message","text":...}), for
    // --progress json.
    void SetJson(bool json) { fJson = json; }
    // The request to stop a pass, when the answers make one.
    void SetStopRequest(std::function<void()> request) { fStop = std::move(request); }

private:
    std::string Text(int32 id);
    void Say(const std::string& text);

    TerminalIO& fIO;
    oLocalize& fTexts;
    const InstallAnswers* fAnswers;
    std::string fRefused;
    std::function<void()> fStop;
    bool fJson = false;
};

// A text as a JSON string, quotes included.
std::string JsonString(const std::string& text);
