#include "GalleryInstaller.h"
#include "GalleryToolkit.h"

#include <Bitmap.h>
#include <Box.h>
#include <Button.h>
#include <Invoker.h>
#include <ListView.h>
#include <Message.h>
#include <Path.h>
#include <ScrollView.h>
#include <View.h>
#include <Window.h>

#include <LibRect.h>
#include <LibStringView.h>

#include <InstallImage.h>
#include <InstallListItem.h>
#include <ReplaceAlert.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>

namespace brenvik::gallery {

namespace {

// The row owns a private folder of sample files: the files of the list (so
// that each row has the icon of its kind) and the two versions of a file
// that the replace dialog compares. The folder goes with the row.
class InstallerRow : public BView {
public:
    explicit InstallerRow(BRect frame)
        : BView(frame, "installer", B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW)
    {
        SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
        const char* temp = std::getenv("TMPDIR");
        std::string pattern = std::string(temp != nullptr && temp[0] != '\0' ? temp : "/tmp")
            + "/brenvik-gallery-XXXXXX";
        if (mkdtemp(pattern.data()) != nullptr)
            fFolder = pattern;
    }

    ~InstallerRow() override
    {
        if (!fFolder.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(fFolder, ignored);
        }
    }

    // A sample file below the row's folder, made with its folders; empty
    // when it cannot be made.
    std::string MakeFile(const std::string& relative, const std::string& content, time_t modified)
    {
        if (fFolder.empty())
            return std::string();
        std::filesystem::path path = std::filesystem::path(fFolder) / relative;
        std::error_code error;
        std::filesystem::create_directories(path.parent_path(), error);
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file << content;
        file.close();
        if (!file)
            return std::string();
        struct timespec times[2] = { { modified, 0 }, { modified, 0 } };
        utimensat(AT_FDCWD, path.c_str(), times, 0);
        return path.string();
    }

    std::string MakeFolder(const std::string& relative)
    {
        if (fFolder.empty())
            return std::string();
        std::filesystem::path path = std::filesystem::path(fFolder) / relative;
        std::error_code error;
        std::filesystem::create_directories(path, error);
        return error ? std::string() : path.string();
    }

private:
    std::string fFolder;
};

// 9 December 2025, 11:40 and a day later, 15:20 (UTC).
constexpr time_t kOldDate = 1765280400;
constexpr time_t kNewDate = 1765380000;

// A list that deletes its rows with it.
class FileList : public BListView {
public:
    explicit FileList(BRect frame)
        : BListView(frame, "gallery_files", B_MULTIPLE_SELECTION_LIST)
    {
    }

    ~FileList() override
    {
        for (int32 i = CountItems() - 1; i >= 0; i--)
            delete RemoveItem(i);
    }
};

// The replace dialog of the gallery: it writes the state of its check box
// into the message that carries its answer, since the dialog is gone when
// the answer arrives.
class GalleryReplaceAlert : public ReplaceAlert {
public:
    GalleryReplaceAlert(const BPath& from, const BPath& to, const char* language, BInvoker* invoker)
        : ReplaceAlert(from, to, true, language)
        , fInvoker(invoker)
    {
    }

    void MessageReceived(BMessage* message) override
    {
        ReplaceAlert::MessageReceived(message);
        if (message->what == kMsgApplyToAll && fInvoker->Message() != nullptr)
            fInvoker->Message()->ReplaceBool("apply_to_all", ApplyToAll());
    }

private:
    // Owned by the alert once it is shown.
    BInvoker* fInvoker;
};

// A 150 × 200 picture as a product would bring one: a sky that lightens
// towards the horizon, a sun, and the sea below.
std::unique_ptr<BBitmap> MakePicture()
{
    auto picture = std::make_unique<BBitmap>(
        BRect(0, 0, InstallImage::kWidth - 1, InstallImage::kHeight - 1), B_RGB32);
    uint8* bits = static_cast<uint8*>(picture->Bits());
    const int width = int(InstallImage::kWidth);
    const int height = int(InstallImage::kHeight);
    const int horizon = 130;
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            uint8* pixel = bits + y * picture->BytesPerRow() + x * 4;
            int red;
            int green;
            int blue;
            int dx = x - 100;
            int dy = y - 95;
            if (y < horizon && dx * dx + dy * dy <= 18 * 18) {
                red = 255;
                green = 214;
                blue = 64;
            } else if (y < horizon) {
                red = 60 + y;
                green = 110 + y * 3 / 4;
                blue = 200 + y / 3;
            } else {
                // Waves: a lighter line every eight rows.
                bool crest = (y - horizon) % 8 == 0 && (x + y) % 24 < 16;
                red = crest ? 120 : 20;
                green = crest ? 170 : 80 + (height - y) / 2;
                blue = crest ? 220 : 150;
            }
            pixel[0] = uint8(blue);
            pixel[1] = uint8(green);
            pixel[2] = uint8(red);
            pixel[3] = 255;
        }
    }
    return picture;
}

BView* BuildAbout(BRect frame, const char* name, const char* label)
{
    BBox* box = LabelledBox(frame, name, label);
    float left = std::floor((frame.Width() - InstallImage::kWidth) / 2);
    box->AddChild(new InstallImage(BPoint(left, 22), false));
    return box;
}

void FillAbout(BView* box, bool withPicture)
{
    InstallImage* image
        = box != nullptr ? dynamic_cast<InstallImage*>(box->FindView("InstallImage")) : nullptr;
    if (image == nullptr)
        return;
    image->SetAppName("Brenvik Demo");
    image->SetVersion("Version 1.2.0");
    image->SetDate("December 9, 2026");
    image->SetCompany("Tarsel Software");
    image->SetEmail("help@tarsel.example");
    if (withPicture) {
        BMessage archive;
        if (MakePicture()->Archive(&archive, true) == B_OK)
            image->SetImage(archive);
    }
}

BView* BuildFileList(InstallerRow* row, BRect frame)
{
    BBox* box = LabelledBox(frame, "gallery_file_list", "File list");
    FileList* list = new FileList(LibRect(14, 24, 164, 4 * FileListItem::kItemHeight + 3));
    struct Row {
        const char* path;
        const char* content;
        FileListItem::FileType type;
        bool selected;
        bool fullPath;
    };
    const Row rows[] = {
        { "files/Brenvik Demo",
            "\x7f"
            "ELF\x02\x01\x01",
            FileListItem::kApplication, true, false },
        { "files/Read Me First.txt", "Read me.\n", FileListItem::kPlainFile, false, false },
        { "files/Sounds", nullptr, FileListItem::kFolder, true, false },
        { "files/Demo_settings", "key=value\n", FileListItem::kPlainFile, true, true },
    };
    for (const Row& entry : rows) {
        std::string path = entry.content != nullptr
            ? row->MakeFile(entry.path, entry.content, kOldDate)
            : row->MakeFolder(entry.path);
        // The last row shows a whole path, as the installer shows a file
        // that goes outside the installation folder; the path is the same on
        // every machine.
        InstallListItem* item = new InstallListItem(path.c_str(), false, entry.fullPath);
        item->SetType(entry.type);
        if (entry.fullPath) {
            BMessage record;
            record.AddString("file_name", "/boot/home/config/settings/Brenvik/Demo_settings");
            item->Read(record);
        }
        list->AddItem(item);
    }
    for (int32 i = 0; i < list->CountItems(); i++) {
        if (rows[i].selected)
            list->Select(i, true);
    }
    box->AddChild(new BScrollView("gallery_files_scroll", list, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0,
        false, true, B_FANCY_BORDER));
    float top = 4 * FileListItem::kItemHeight + 40;
    box->AddChild(new LibStringView(
        LibRect(14, top, frame.Width() - 28, 15), "gallery_files_note", "Grey rows: installed"));
    box->AddChild(new LibStringView(LibRect(14, top + 18, frame.Width() - 28, 15),
        "gallery_files_note2", "White rows: left out"));
    return box;
}

BView* BuildReplace(BRect frame)
{
    BBox* box = LabelledBox(frame, "gallery_replace", "Replace dialog");
    box->AddChild(new LibStringView(
        LibRect(12, 24, frame.Width() - 24, 15), "replace_text", "Asked when an item exists:"));
    struct Choice {
        const char* label;
        const char* language;
    };
    const Choice choices[] = {
        { "English" B_UTF8_ELLIPSIS, "en" },
        { "Deutsch" B_UTF8_ELLIPSIS, "de" },
    };
    float top = 48;
    for (const Choice& choice : choices) {
        BMessage* message = new BMessage(kMsgShowReplace);
        message->AddString("language", choice.language);
        box->AddChild(new BButton(
            BRect(12, top, frame.Width() - 13, top + 24), choice.label, choice.label, message));
        top += 34;
    }
    box->AddChild(new LibStringView(
        LibRect(12, top + 4, frame.Width() - 24, 15), "replace_answer", "Answer: none yet"));
    return box;
}

} // namespace

BView* BuildInstallerViews(BRect frame)
{
    InstallerRow* row = new InstallerRow(frame);
    float height = frame.Height();
    constexpr float kColumn = 200;
    constexpr float kGap = 10;
    row->AddChild(
        BuildAbout(BRect(0, 0, kColumn - 1, height), "gallery_about_picture", "About: picture"));
    row->AddChild(BuildAbout(BRect(kColumn + kGap, 0, 2 * kColumn + kGap - 1, height),
        "gallery_about_texts", "About: texts"));
    row->AddChild(
        BuildFileList(row, BRect(2 * (kColumn + kGap), 0, 3 * kColumn + 2 * kGap - 1, height)));
    row->AddChild(BuildReplace(BRect(3 * (kColumn + kGap), 0, frame.Width(), height)));
    return row;
}

void FillInstallerViews(BView* row)
{
    if (row == nullptr)
        return;
    FillAbout(row->FindView("gallery_about_picture"), true);
    FillAbout(row->FindView("gallery_about_texts"), false);
}

void ShowReplaceDialog(BView* row, BWindow* window, const char* language)
{
    InstallerRow* installer = dynamic_cast<InstallerRow*>(row);
    if (installer == nullptr)
        return;
    // The installed file and the one the installation brings.
    std::string existing = installer->MakeFile(
        "installed/Documentation/Read Me.txt", std::string(2048, 'o'), kOldDate);
    std::string incoming = installer->MakeFile(
        "payload/Documentation/Read Me.txt", std::string(1536 * 1024, 'n'), kNewDate);
    if (existing.empty() || incoming.empty()) {
        HandleReplaceAnswer(row, nullptr);
        return;
    }
    BMessage* answer = new BMessage(kMsgReplaceAnswer);
    answer->AddBool("apply_to_all", false);
    BInvoker* invoker = new BInvoker(answer, BMessenger(window));
    ReplaceAlert* alert = new GalleryReplaceAlert(
        BPath(incoming.c_str()), BPath(existing.c_str()), language, invoker);
    alert->Go(invoker);
}

void HandleReplaceAnswer(BView* row, const BMessage* answer)
{
    LibStringView* text
        = row != nullptr ? dynamic_cast<LibStringView*>(row->FindView("replace_answer")) : nullptr;
    if (text == nullptr)
        return;
    if (answer == nullptr) {
        text->SetText("No sample files: see TMPDIR");
        return;
    }
    int32 which = answer->GetInt32("which", -1);
    std::string shown = which == ReplaceAlert::kReplace ? "Answer: Replace" : "Answer: Keep";
    if (answer->GetBool("apply_to_all", false))
        shown += ", to all";
    text->SetText(shown.c_str());
}

} // namespace brenvik::gallery
