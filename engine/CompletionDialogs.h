#pragma once

// What the end of the install pass asks and tells the user, and the texts it
// does so in. Both are interfaces so that the engine needs no window: the
// installer shows the platform's alerts and reads its localized texts, tests
// answer for themselves.

#include <string>
#include <vector>

#include <InterfaceDefs.h>
#include <SupportDefs.h>

class oLocalize;

class CompletionDialogs {
public:
    virtual ~CompletionDialogs() = default;

    // A modal question with an empty title and the information icon: the
    // index of the button pressed (0 for button0), -1 when it was closed
    // without an answer. With button1 null there is one button.
    virtual int32 Ask(
        const std::string& text, const char* button0, const char* button1, button_width width)
        = 0;
    // A message with one OK button, waited for.
    virtual void Info(const std::string& text) = 0;
    virtual void Error(const std::string& text) = 0;
    // Whether programs, documents and folders can be shown to the user (a
    // desktop is there); without one they are named, not started.
    virtual bool HasDesktop() const { return true; }
    // Whether the items marked to run once installed are run at all.
    virtual bool Launches() const { return true; }
};

// The platform's alerts (BAlert::Go, synchronous on the calling thread).
class AlertDialogs : public CompletionDialogs {
public:
    int32 Ask(const std::string& text, const char* button0, const char* button1,
        button_width width) override;
    void Info(const std::string& text) override;
    void Error(const std::string& text) override;
};

class InstallTexts {
public:
    virtual ~InstallTexts() = default;

    // The text of a localized id, and the same text for use as a format of
    // the English arguments (see oLocalize::GetFormat).
    virtual std::string Text(int32 id) = 0;
    virtual std::string Format(int32 id) = 0;
};

// The installer's own texts, in its current language.
class LocalizedInstallTexts : public InstallTexts {
public:
    explicit LocalizedInstallTexts(oLocalize& localize);
    std::string Text(int32 id) override;
    std::string Format(int32 id) override;

private:
    oLocalize& fLocalize;
};

// A format with one "%s" filled in ("%%" is a percent sign); the format is
// never handed to printf.
std::string FormatWithText(const std::string& format, const std::string& argument);
// The same with each "%s" in turn filled by the next argument.
std::string FormatWithTexts(const std::string& format, const std::vector<std::string>& arguments);
