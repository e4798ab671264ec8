#include "ReplaceAlert.h"

#include <CheckBox.h>
#include <Entry.h>
#include <Font.h>
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
#include <cstring>
#include <string>
#include <sys/stat.h>

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
// What the library calls a kind it has no name for.
constexpr const char* kUnknownKind = "Unknown";

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

ReplaceAlert::ReplaceAlert(const BPath& from, const BPath& to, const bool& offer,
    const char* language, const char* fromFolder, const char* title)
    : BAlert(title, "", ReplaceAlertTextsFor(language).keep, ReplaceAlertTextsFor(language).replace,
        nullptr, B_WIDTH_FROM_WIDEST, B_WARNING_ALERT)
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
    Facts toFacts = ReadFacts(to, dates);
    Facts fromFacts = ReadFacts(from, dates);
    if (fromFolder != nullptr && *fromFolder != '\0')
        fromFacts.folder = fromFolder;
    MarkNewer(toFacts, fromFacts, texts.newer);
    float valueWidth = ValueWidth(toFacts, fromFacts);
    FitWidth(valueWidth);
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
    AddFacts(text, "to", toFacts, top, texts, valueWidth);
    float separator = top + kFactRows * kRowHeight;
    text->AddChild(
        new BStringView(LibRect(0, separator, kSeparatorWidth, kRowHeight), "with", texts.with));
    float fromTop = separator + kRowHeight;
    text->AddChild(new BitmapView(BPoint(0, fromTop + kIconOffset), "from_image", from.Path()));
    AddFacts(text, "from", fromFacts, fromTop, texts, valueWidth);

    if (fCheckBox != nullptr) {
        fCheckBox->MoveTo(0, fromTop + kFactRows * kRowHeight + kCheckBoxGap);
        text->AddChild(fCheckBox);
    }
}

void ReplaceAlert::FitWidth(float valueWidth)
{
    // An alert is as wide as its buttons need; the facts and the check box
    // may need more. The window then grows rather than cut them off.
    float needed = kValueLeft + valueWidth;
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
    std::string question = Ended(Substitute(texts.question, KindWord(to, texts), leaf));
    TextView()->SetText(question.c_str());
}

ReplaceAlert::Facts ReplaceAlert::ReadFacts(const BPath& path, const LibLocaleDateTime& dates)
{
    const char* file = path.Path() != nullptr ? path.Path() : "";
    Facts facts;
    facts.created = dates.Format(LibCreationDate(file, true));
    facts.modified = dates.Format(LibLastModifiedDate(file, true));
    // What the user compares is the data: the attributes (its type, the
    // installation's tag) would make equal files look different.
    facts.size = SizeText(LibEntrySize(file, false));
    // The kind by name where there is one ("Folder"), else the MIME type the
    // item carries or its contents show ("text/plain").
    char kind[B_MIME_TYPE_LENGTH] = "";
    entry_ref ref;
    if (LibGetEntryRef(file, ref)) {
        char described[B_MIME_TYPE_LENGTH] = "";
        LibGetMimeType(ref, described, true);
        if (std::strcmp(described, kUnknownKind) == 0 && LibGetMimeType(ref, kind, false)
            && kind[0] != '\0') {
            // The type found is more than "Unknown".
        } else {
            std::strcpy(kind, described);
        }
    }
    facts.kind = kind;
    struct stat info;
    if (stat(file, &info) == 0 || lstat(file, &info) == 0) {
        facts.hasModified = true;
        facts.modifiedAt = info.st_mtim;
    }
    LibGetParentPath(file, facts.folder);
    facts.version = LibGetAppVersion(file);
    return facts;
}

float ReplaceAlert::ValueWidth(const Facts& to, const Facts& from)
{
    // The facts are set in a small font; a long date in it may still be
    // wider than the usual column, and is then given the room it needs
    // rather than lose its end. The folder is cut to its column instead.
    BFont font(be_plain_font);
    font.SetSize(kFontSize);
    float width = kValueWidth;
    for (const Facts* facts : { &to, &from }) {
        for (const LibString* text :
            { &facts->created, &facts->modified, &facts->size, &facts->kind, &facts->version })
            width = std::max(width, std::ceil(font.StringWidth(*text)) + 2);
    }
    return width;
}

void ReplaceAlert::MarkNewer(Facts& to, Facts& from, const char* marker)
{
    if (!to.hasModified || !from.hasModified || marker == nullptr || marker[0] == '\0')
        return;
    auto later = [](const timespec& a, const timespec& b) {
        return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
    };
    Facts* newer = later(to.modifiedAt, from.modifiedAt) ? &to
        : later(from.modifiedAt, to.modifiedAt)          ? &from
                                                         : nullptr;
    if (newer == nullptr)
        return;
    newer->modified.Concat(" ");
    newer->modified.Concat(marker);
}

LibString ReplaceAlert::SizeText(int64 bytes)
{
    uint64 count = uint64(std::max<int64>(0, bytes));
    std::string exact = std::to_string(count) + " bytes";
    if (count < 1024)
        return LibString(exact.c_str());
    LibString text;
    LibBytesToString(count, text, 1);
    text.Concat((" (" + exact + ")").c_str());
    return text;
}

std::string ReplaceAlert::Ended(std::string question)
{
    while (!question.empty() && question.back() == ' ')
        question.pop_back();
    if (!question.empty() && std::strchr(".?!", question.back()) == nullptr)
        question += '?';
    return question;
}

void ReplaceAlert::AddFacts(BView* parent, const char* side, const Facts& facts, float top,
    const ReplaceAlertTexts& texts, float valueWidth)
{
    std::string prefix(side);
    struct Row {
        const char* name;
        const char* label;
        const char* value;
    };
    const Row rows[] = {
        { "creation", texts.created, facts.created },
        { "modified", texts.modified, facts.modified },
        { "size", texts.size, facts.size },
        { "kind", texts.kind, facts.kind },
        { "path", texts.path, facts.folder },
        { "version", texts.version, facts.version },
    };
    float y = top;
    for (const Row& row : rows) {
        std::string name = prefix + "_" + row.name;
        parent->AddChild(
            Label(LibRect(kLabelLeft, y, kLabelWidth, kRowHeight), name + "_label", row.label));
        if (row.value == (const char*)facts.folder) {
            // The folder keeps its end, which names it best, when it is cut.
            LibStringView* folderView = new LibStringView(
                LibRect(kValueLeft, y, kPathWidth, kRowHeight), name.c_str(), "");
            folderView->SetFontSize(kFontSize);
            folderView->SetTruncatedText(facts.folder, B_TRUNCATE_BEGINNING);
            parent->AddChild(folderView);
        } else {
            parent->AddChild(
                Value(LibRect(kValueLeft, y, valueWidth, kRowHeight), name, row.value));
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

ReplaceAlert::Answer ReplaceAlert::Ask(const BPath& from, const BPath& to, const bool& offer,
    const char* language, const char* fromFolder, const char* title)
{
    Answer answer { -1, false };
    answer.button
        = (new ReplaceAlert(from, to, offer, language, fromFolder, title))->Go(answer.applyToAll);
    return answer;
}
