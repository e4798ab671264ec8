#pragma once

// ReplaceAlert: asks whether an item that is about to be installed may
// replace an item of the same name at its destination. It shows the facts
// of both side by side (icon, dates, size, kind, folder, version), in one of
// ten languages, and can offer a check box that makes the answer hold for
// the rest of the installation.
//
// The dialog is modal and synchronous, and may be run from any thread (the
// install pass runs it on its worker): construct it with new and call
// Go(applyToAll). It returns 0 for "Don't Replace" and 1 for "Replace" (-1
// when it went away unanswered because the program quit), and fills in
// whether the check box was on when it closed. The dialog deletes itself,
// as every alert does; the check box's state is handed back through Go so
// that it outlives the dialog.
//
// Keys: Tab reaches the check box first (it stands above the buttons), then
// "Don't Replace" and "Replace"; Space ticks the box or presses the focused
// button. Enter replaces (the default button); Escape keeps the existing item,
// the answer that loses nothing; D and R press their buttons.

#include <Alert.h>
#include <Path.h>

#include <LibString.h>

#include <atomic>
#include <ctime>
#include <memory>
#include <string>

class BCheckBox;
class LibLocaleDateTime;
struct ReplaceAlertTexts;

class ReplaceAlert : public BAlert {
public:
    // Sent by the check box each time it is toggled.
    static constexpr uint32 kMsgApplyToAll = 1000;

    // `from` is the new item, `to` the existing one; `offer` adds the check
    // box; `language` is a language code ("en", "de", ...). `fromFolder`,
    // when given, is shown as the new item's folder: where it comes from,
    // rather than where it waits to be placed. `title` names the window
    // (the product's name); without one it takes the program's alert title.
    ReplaceAlert(const BPath& from, const BPath& to, const bool& offer, const char* language,
        const char* fromFolder = nullptr, const char* title = nullptr);
    ~ReplaceAlert() override;

    void MessageReceived(BMessage* message) override;

    // Shows the dialog and waits for a button; returns its index and sets
    // `applyToAll` to the check box's final state (false without one).
    int32 Go(bool& applyToAll);
    using BAlert::Go;

    // The answer in one piece, for callers that would rather not hold the
    // dialog at all.
    struct Answer {
        int32 button;
        bool applyToAll;
    };
    static Answer Ask(const BPath& from, const BPath& to, const bool& offer, const char* language,
        const char* fromFolder = nullptr, const char* title = nullptr);

    // The size of an item as the dialog shows it: its data only (a folder's
    // with everything in it), never its attributes; the exact count of
    // bytes beside a rounded one.
    static LibString SizeText(int64 bytes);
    // The question with its end: a text that ends without a full stop, a
    // question or an exclamation mark gets a question mark.
    static std::string Ended(std::string question);

    // Whether the check box is on now.
    bool ApplyToAll() const { return fApplyToAll->load(); }

    // The button indices.
    static constexpr int32 kDontReplace = 0;
    static constexpr int32 kReplace = 1;

private:
    // What the dialog shows of one item, as texts.
    struct Facts {
        LibString created;
        LibString modified;
        LibString size;
        LibString kind;
        LibString folder;
        LibString version;
        // The modification time, to tell which item is newer.
        bool hasModified = false;
        struct timespec modifiedAt = {};
    };
    static Facts ReadFacts(const BPath& path, const LibLocaleDateTime& dates);
    static float ValueWidth(const Facts& to, const Facts& from);
    // Marks the modification date of the newer item, when one is newer.
    static void MarkNewer(Facts& to, Facts& from, const char* marker);

    void FitWidth(float valueWidth);
    void AddQuestion(const BPath& to, const ReplaceAlertTexts& texts);
    void AddFacts(BView* parent, const char* side, const Facts& facts, float top,
        const ReplaceAlertTexts& texts, float valueWidth);

    BCheckBox* fCheckBox;
    // Shared with Go, which reads it after the dialog is gone.
    std::shared_ptr<std::atomic<bool>> fApplyToAll;
};
