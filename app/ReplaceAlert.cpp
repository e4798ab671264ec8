#include "ReplaceAlert.h"

#include <CheckBox.h>
#include <Entry.h>
#include <StringView.h>
#include <TextView.h>

#include <LibAppVersion.h>
#include <LibColors.h>
#include <LibConvert.h>
#include <LibEntry.h>
#include <LibEntryDate.h>
#include <LibFileOperations.h>
#include <LibFileType.h>
#include <LibLocaleDateTime.h>
#include <LibRect.h>
#include <LibStringView.h>

#include "BitmapView.h"
#include "ReplaceAlertTexts.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// The layout, in the coordinates of the alert's text view: the facts of the
// existing item ("to") from row 35, the separator, then the facts of the
// new item ("from"), each row 15 pixels high.
constexpr float kRowHeight = 15;
constexpr float kFirstRow = 35;
constexpr float kLabelLeft = 40;
constexpr float kLabelWidth = 65;
constexpr float kValueLeft = 110;
constexpr float kValueWidth = 150;
constexpr float kPathWidth = 135;
constexpr float kFactRows = 6;
constexpr float kIconOffset = 30;
constexpr float kSeparatorWidth = 50;
constexpr float kCheckBoxGap = 5;
constexpr float kCheckBoxWidth = 300;
constexpr float kFontSize = 10;
constexpr float kExtraHeight = 220;
constexpr float kCheckBoxHeight = 20;
// Free room kept right of the widest fact or of the check box.
constexpr float kRightRoom = 10;

// Replaces each "%s" of `format` in turn by the next text. The formats are
// our own; the texts (a file name among them) are never read as formats.
std::string Substitute(const char* format, const char* first, const char* second)
{
    std::string result;
    const char* texts[2] = { first, second };
    int next = 0;
    for (const char* p = format; *p != '\0'; p++) {
        if (p[0] == '%' && p[1] == 's' && next < 2) {
            result += texts[next++];
            p++;
        } else {
            result += *p;
        }
    }
    return result;
}

const char* KindWord(const BPath& to, const ReplaceAlertTexts& texts)
{
    BEntry entry(to.Path() != nullptr ? to.Path() : "", false);
    if (entry.IsFile())
        return texts.fileWord;
    if (entry.IsDirectory())
        return texts.folderWord;
    if (entry.IsSymLink())
        return texts.linkWord;
    return texts.fileWord;
}

BStringView* Label(BRect frame, const std::string& name, const char* text)
{
    BStringView* view = new BStringView(frame, name.c_str(), text);
    view->SetFontSize(kFontSize);
    view->SetHighColor(red_color);
    return view;
}

BStringView* Value(BRect frame, const std::string& name, const char* text)
{
    BStringView* view = new BStringView(frame, name.c_str(), text);
    view->SetFontSize(kFontSize);
    return view;
}

} // namespace

ReplaceAlert::ReplaceAlert(
    const BPath& from, const BPath& to, const bool& offer, const char* language)
    : BAlert("ReplaceAlert", "", ReplaceAlertTextsFor(language).keep,
        ReplaceAlertTextsFor(language).replace, nullptr, B_WIDTH_FROM_WIDEST, B_WARNING_ALERT)
    , fCheckBox(nullptr)
    , fApplyToAll(std::make_shared<std::atomic<bool>>(false))
{
    const ReplaceAlertTexts& texts = ReplaceAlertTextsFor(language);
    LibLocaleDateTime dates;
    dates.SetSeperator(", ");
    dates.SetFormat("W, M D Y");
    dates.SetShowSeconds(true);

    if (offer) {
        fCheckBox = new BCheckBox(LibRect(0, 0, kCheckBoxWidth, kRowHeight), "future_collisions",
            texts.applyToAll, new BMessage(kMsgApplyToAll));
        fCheckBox->SetFontSize(kFontSize);
    }
    FitWidth();
    AddQuestion(to, texts);
    SetShortcut(kDontReplace, 'd');
    SetShortcut(kReplace, 'r');

    // A question that needs more lines than there is room for above the
    // facts (a long name) moves the facts down rather than run into them.
    BTextView* text = TextView();
    float questionHeight = text->TextHeight(0, text->CountLines() - 1);
    float shift = std::max(0.0f, std::ceil(questionHeight + 2 - kFirstRow));
    ResizeBy(0, kExtraHeight + shift + (offer ? kCheckBoxHeight : 0));

    float top = kFirstRow + shift;
    text->AddChild(new BitmapView(BPoint(0, top + 2 * kRowHeight), "to_image", to.Path()));
    AddFacts(text, "to", to, top, texts, dates);
    float separator = top + kFactRows * kRowHeight;
    text->AddChild(
        new BStringView(LibRect(0, separator, kSeparatorWidth, kRowHeight), "with", texts.with));
    float fromTop = separator + kRowHeight;
    text->AddChild(new BitmapView(BPoint(0, fromTop + kIconOffset), "from_image", from.Path()));
    AddFacts(text, "from", from, fromTop, texts, dates);

    if (fCheckBox != nullptr) {
        fCheckBox->MoveTo(0, fromTop + kFactRows * kRowHeight + kCheckBoxGap);
        text->AddChild(fCheckBox);
    }
}

void ReplaceAlert::FitWidth()
{
    // An alert is as wide as its buttons need; the facts and the check box
    // may need more. The window then grows rather than cut them off.
    float needed = kValueLeft + kValueWidth;
    if (fCheckBox != nullptr) {
        float checkBoxWidth = 0;
        fCheckBox->GetPreferredSize(&checkBoxWidth, nullptr);
        needed = std::max(needed, checkBoxWidth);
    }
    BTextView* text = TextView();
    float missing = std::ceil(needed + kRightRoom - text->Bounds().Width());
    if (missing <= 0)
        return;
    ResizeBy(missing, 0);
    text->SetTextRect(text->Bounds());
}

ReplaceAlert::~ReplaceAlert() = default;

void ReplaceAlert::AddQuestion(const BPath& to, const ReplaceAlertTexts& texts)
{
    const char* leaf = to.Leaf() != nullptr ? to.Leaf() : "";
    std::string question = Substitute(texts.question, KindWord(to, texts), leaf);
    TextView()->SetText(question.c_str());
}

void ReplaceAlert::AddFacts(BView* parent, const char* side, const BPath& path, float top,
    const ReplaceAlertTexts& texts, const LibLocaleDateTime& dates)
{
    const char* file = path.Path() != nullptr ? path.Path() : "";
    std::string prefix(side);

    LibString created = dates.Format(LibCreationDate(file, true));
    LibString modified = dates.Format(LibLastModifiedDate(file, true));
    LibString size;
    LibBytesToString(uint64(std::max<int64>(0, LibEntrySize(file, true))), size, 1);
    char kind[B_MIME_TYPE_LENGTH] = "";
    entry_ref ref;
    if (LibGetEntryRef(file, ref))
        LibGetMimeType(ref, kind, true);
    LibString folder;
    LibGetParentPath(file, folder);
    LibString version = LibGetAppVersion(file);

    struct Row {
        const char* name;
        const char* label;
        const char* value;
    };
    const Row rows[] = {
        { "creation", texts.created, created },
        { "modified", texts.modified, modified },
        { "size", texts.size, size },
        { "kind", texts.kind, kind },
        { "path", texts.path, folder },
        { "version", texts.version, version },
    };
    float y = top;
    for (const Row& row : rows) {
        std::string name = prefix + "_" + row.name;
        parent->AddChild(
            Label(LibRect(kLabelLeft, y, kLabelWidth, kRowHeight), name + "_label", row.label));
        BRect frame = LibRect(kValueLeft, y, kValueWidth, kRowHeight);
        if (row.value == (const char*)folder) {
            // The folder keeps its end, which names it best, when it is cut.
            LibStringView* folderView = new LibStringView(
                LibRect(kValueLeft, y, kPathWidth, kRowHeight), name.c_str(), "");
            folderView->SetFontSize(kFontSize);
            folderView->SetTruncatedText(folder, B_TRUNCATE_BEGINNING);
            parent->AddChild(folderView);
        } else {
            parent->AddChild(Value(frame, name, row.value));
        }
        y += kRowHeight;
    }
}

void ReplaceAlert::MessageReceived(BMessage* message)
{
    if (message->what == kMsgApplyToAll) {
        if (fCheckBox != nullptr)
            fApplyToAll->store(fCheckBox->Value() == B_CONTROL_ON);
        return;
    }
    BAlert::MessageReceived(message);
}

int32 ReplaceAlert::Go(bool& applyToAll)
{
    // The dialog is gone when BAlert::Go returns; the flag is not.
    std::shared_ptr<std::atomic<bool>> flag = fApplyToAll;
    int32 button = BAlert::Go();
    applyToAll = flag->load();
    return button;
}

ReplaceAlert::Answer ReplaceAlert::Ask(
    const BPath& from, const BPath& to, const bool& offer, const char* language)
{
    Answer answer { -1, false };
    answer.button = (new ReplaceAlert(from, to, offer, language))->Go(answer.applyToAll);
    return answer;
}
