#include "FileListItem.h"

#include <Entry.h>
#include <Font.h>
#include <Message.h>
#include <Roster.h>
#include <View.h>

#include <InstallerFormat.h>
#include <LibBitmap.h>
#include <LibColors.h>
#include <LibFileOperations.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace Field = InstallerFormat::Field;

namespace {

const BRect kIconFrame(0, 0, 15, 15);

// Left margins of the row, and the room the icon takes before the text.
constexpr float kIndentedMargin = 16;
constexpr float kPlainMargin = 3;
constexpr float kTextOffset = 21;
// What Update keeps free besides the margin when it cuts the text.
constexpr float kTruncationSlack = 14 + 7;

} // namespace

FileListItem::FileListItem(const bool& indent, const bool& showFullPath)
    : BListItem(0, true)
    , fShowFullPath(showFullPath)
    , fIndent(indent)
    , fType(kPlainFile)
    , fTruncateMode(0)
{
    SetEmptyIcon();
    SetDisplayText();
}

FileListItem::FileListItem(const char* path, const bool& indent, const bool& showFullPath)
    : FileListItem(indent, showFullPath)
{
    SetPath(path);
}

FileListItem::FileListItem(const FileListItem& other, const bool& indent)
    : BListItem(0, true)
    , fShowFullPath(other.fShowFullPath)
    , fIndent(indent)
    , fPath(other.fPath)
    , fType(other.fType)
    , fTruncateMode(0)
{
    SetEmptyIcon();
    fIcon->ImportBits(other.fIcon.get());
    SetDisplayText();
}

FileListItem::~FileListItem() = default;

void FileListItem::SetEmptyIcon()
{
    fIcon = std::make_unique<LibBitmap>(kIconFrame, B_CMAP8);
    // A new bitmap's pixels are black; an item without an icon shows none.
    std::memset(fIcon->Bits(), B_TRANSPARENT_MAGIC_CMAP8, size_t(fIcon->BitsLength()));
}

float FileListItem::LeftMargin() const
{
    return fIndent ? kIndentedMargin : kPlainMargin;
}

float FileListItem::IconLeft() const
{
    return LeftMargin() + (fCheckBox ? kCheckBoxRoom : 0);
}

void FileListItem::SetCheckBox(bool checkBox)
{
    fCheckBox = checkBox;
}

void FileListItem::SetPath(const char* path)
{
    fIcon->SetTo(path, B_MINI_ICON);
    fPath.SetTo(path);
    SetDisplayText();
}

void FileListItem::SetShowFullPath(const bool& showFullPath)
{
    fShowFullPath = showFullPath;
    SetDisplayText();
}

void FileListItem::SetTruncateMode(const uint32& mode)
{
    fTruncateMode = mode;
    SetDisplayText();
}

void FileListItem::SetType(const FileType& type)
{
    fType = type;
}

void FileListItem::SetDisplayText()
{
    const char* text = fShowFullPath ? fPath.Path() : fPath.Leaf();
    fDisplayText = text != nullptr ? text : "";
}

status_t FileListItem::Execute()
{
    entry_ref ref;
    status_t status = get_ref_for_path(fPath.Path() != nullptr ? fPath.Path() : "", &ref);
    if (status != B_OK)
        return status;
    return be_roster->Launch(&ref);
}

void FileListItem::Write(BMessage& message)
{
    const char* path = fPath.Path() != nullptr ? fPath.Path() : "";
    message.AddString(Field::kFileName, path);
    message.AddInt8(Field::kFileType, int8(fType));
    int64 size = std::max<int64>(LibEntrySize(path, true), 0);
    message.AddInt32(Field::kFileSize, InstallerFormat::SaturatedSize32(uint64(size)));
    message.AddInt64(Field::kFileSize64, size);

    BEntry entry(path, true);
    time_t creation = 0;
    time_t modified = 0;
    time_t accessed = 0;
    entry.GetCreationTime(&creation);
    entry.GetModificationTime(&modified);
    entry.GetAccessTime(&accessed);
    message.AddInt64(Field::kFileCreation, int64(creation));
    message.AddInt64(Field::kFileModified, int64(modified));
    message.AddInt64(Field::kFileAccessed, int64(accessed));

    BMessage icon;
    if (fIcon->Archive(&icon, true) == B_OK)
        message.AddMessage(Field::kFileIcon, &icon);
}

void FileListItem::Read(const BMessage& message)
{
    // The path names the file on the machine that wrote the record, so
    // the icon comes from the record, not from the path.
    // An installer names an item by its path in the author's project
    // ("payload/Notes.app"), of which only the leaf matters here: it is
    // taken from "/", never from the current folder, which has nothing to do
    // with it and may even be gone.
    const char* path = nullptr;
    if (message.FindString(Field::kFileName, &path) == B_OK && path != nullptr)
        fPath.SetTo(path[0] == '/' ? path : "/", path[0] == '/' ? nullptr : path);
    int8 type = 0;
    if (message.FindInt8(Field::kFileType, &type) == B_OK)
        fType = FileType(type);
    BMessage archive;
    if (message.FindMessage(Field::kFileIcon, &archive) == B_OK) {
        auto icon = std::make_unique<LibBitmap>(&archive);
        // A damaged archive keeps the old icon rather than leaving none.
        if (icon->InitCheck() == B_OK)
            fIcon = std::move(icon);
    }
    SetDisplayText();
}

void FileListItem::Update(BView* owner, const BFont* font)
{
    SetHeight(kItemHeight);
    if (fTruncateMode == 0 || owner == nullptr || font == nullptr)
        return;
    // Cut from the whole text each time, so that a list that grows wider
    // shows more of it again.
    SetDisplayText();
    float width = owner->Frame().Width() - IconLeft() - kTruncationSlack;
    const char* in[1] = { fDisplayText };
    std::vector<char> out(size_t(fDisplayText.Length()) + 4);
    char* results[1] = { out.data() };
    font->GetTruncatedStrings(in, 1, fTruncateMode, width, results);
    fDisplayText = out.data();
}

// A sunken white box, 13 points square, centred on the row; ticked, it
// holds a black tick two points thick, drawn point by point so that it is
// crisp at every scale.
void FileListItem::DrawCheckBox(BView* owner, BRect frame) const
{
    float x = LeftMargin();
    float y = std::floor(frame.top + (frame.Height() - 12) / 2);
    BRect box(x, y, x + 12, y + 12);
    owner->SetHighColor(dark_grey_color);
    owner->StrokeLine(BPoint(box.left, box.bottom), BPoint(box.left, box.top));
    owner->StrokeLine(BPoint(box.left, box.top), BPoint(box.right, box.top));
    owner->SetHighColor(white_color);
    owner->StrokeLine(BPoint(box.right, box.top + 1), BPoint(box.right, box.bottom));
    owner->StrokeLine(BPoint(box.left + 1, box.bottom), BPoint(box.right, box.bottom));
    box.InsetBy(1, 1);
    owner->SetHighColor(black_color);
    owner->StrokeLine(BPoint(box.left, box.bottom), BPoint(box.left, box.top));
    owner->StrokeLine(BPoint(box.left, box.top), BPoint(box.right, box.top));
    owner->SetHighColor(grey_color);
    owner->StrokeLine(BPoint(box.right, box.top + 1), BPoint(box.right, box.bottom));
    owner->StrokeLine(BPoint(box.left + 1, box.bottom), BPoint(box.right, box.bottom));
    box = BRect(box.left + 1, box.top + 1, box.right - 1, box.bottom - 1);
    owner->SetHighColor(white_color);
    owner->FillRect(box);
    if (!IsSelected())
        return;
    // Down from the left to the lowest point, then up to the right.
    owner->SetHighColor(black_color);
    static constexpr float kTick[][2]
        = { { 1, 4 }, { 2, 5 }, { 3, 6 }, { 4, 5 }, { 5, 4 }, { 6, 3 }, { 7, 2 } };
    for (const auto& point : kTick) {
        float px = box.left + point[0];
        float py = box.top + point[1];
        owner->FillRect(BRect(px, py, px, py + 1));
    }
}

void FileListItem::DrawItem(BView* owner, BRect frame, bool)
{
    float left = IconLeft();
    rgb_color background = IsSelected() && !fCheckBox ? grey_color : owner->ViewColor();
    owner->SetHighColor(background);
    owner->FillRect(frame);
    owner->SetLowColor(background);
    if (fCheckBox)
        DrawCheckBox(owner, frame);

    owner->SetHighColor(black_color);
    owner->SetDrawingMode(B_OP_OVER);
    owner->DrawBitmap(fIcon.get(), BPoint(left - 1, frame.top + 1));
    owner->SetDrawingMode(B_OP_COPY);

    BPoint where(left + kTextOffset, frame.bottom - 4);
    if (!fShowFullPath) {
        owner->DrawString(fDisplayText, where);
        return;
    }
    // The folders in grey, the leaf in black right behind them. A text
    // without a "/" (a bare name, or a path cut before its last folder) is
    // all leaf.
    LibString folders;
    LibString leaf(fDisplayText);
    if (fDisplayText.Contain('/')) {
        folders = fDisplayText;
        folders.ToLast('/', 0);
        leaf.FromLast('/', 1);
    }
    owner->SetHighColor(dark_grey_color);
    owner->DrawString(folders, where);
    owner->SetHighColor(black_color);
    owner->DrawString(leaf, BPoint(where.x + owner->StringWidth(folders), where.y));
}
