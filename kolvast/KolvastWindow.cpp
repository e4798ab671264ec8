#include "KolvastWindow.h"

#include <Alert.h>
#include <Application.h>
#include <Button.h>
#include <CheckBox.h>
#include <Font.h>
#include <ListItem.h>
#include <ListView.h>
#include <Messenger.h>
#include <ScrollView.h>
#include <StringView.h>

#include <StorageScope.h>

#include "KolvastUnattended.h"

std::atomic<int> KolvastWindow::sExitStatus { KolvastUnattended::kExitNoRecord };

namespace {

constexpr float kWidth = 520;
constexpr float kHeight = 380;
constexpr uint32 kMsgCancel = 'KVcn';

} // namespace

// A bar that fills from the left as the removal goes on.
class KolvastProgressView : public BView {
public:
    explicit KolvastProgressView(BRect frame)
        : BView(frame, "progress", B_FOLLOW_LEFT | B_FOLLOW_BOTTOM, B_WILL_DRAW)
        , fFraction(0)
    {
    }

    void SetFraction(float fraction)
    {
        fFraction = fraction < 0 ? 0 : fraction > 1 ? 1 : fraction;
        Invalidate();
    }

    void Draw(BRect) override
    {
        BRect bounds = Bounds();
        SetHighColor(152, 152, 152);
        StrokeRect(bounds);
        bounds.InsetBy(1, 1);
        SetHighColor(255, 255, 255);
        FillRect(bounds);
        if (fFraction > 0) {
            BRect done = bounds;
            done.right = done.left + (bounds.Width()) * fFraction;
            SetHighColor(80, 120, 200);
            FillRect(done);
        }
    }

private:
    float fFraction;
};

KolvastWindow::KolvastWindow(
    const KolvastTarget& target, const KolvastTexts& texts, bool recordRead)
    : BWindow(BRect(100, 100, 100 + kWidth, 100 + kHeight),
        (target.AppName() + " " + target.Version() + " Deinstaller").c_str(), B_TITLED_WINDOW,
        B_NOT_RESIZABLE | B_NOT_ZOOMABLE | B_QUIT_ON_WINDOW_CLOSE)
    , fTexts(texts)
    , fRecordPath(target.RecordPath())
    , fRecordRead(recordRead)
    , fRunning(false)
    , fFinished(false)
{
    BView* background = new BView(Bounds(), "background", B_FOLLOW_ALL, B_WILL_DRAW);
    background->SetViewColor(216, 216, 216);
    AddChild(background);

    BStringView* intro = new BStringView(
        BRect(15, 12, kWidth - 15, 28), "intro", texts.Text(TextId::kDeinstallerIntro));
    background->AddChild(intro);
    BStringView* product = new BStringView(BRect(30, 32, kWidth - 15, 50), "product",
        (target.AppName() + " " + target.Version()).c_str());
    product->SetFont(be_bold_font);
    background->AddChild(product);
    background->AddChild(
        new BStringView(BRect(30, 52, kWidth - 15, 68), "company", target.Company().c_str()));
    fHeading = new BStringView(
        BRect(15, 80, kWidth - 15, 96), "heading", texts.Text(TextId::kDeinstallerListHeading));
    background->AddChild(fHeading);

    fList = new BListView(BRect(17, 102, kWidth - 17 - 14, kHeight - 62), "items",
        B_SINGLE_SELECTION_LIST, B_FOLLOW_ALL);
    background->AddChild(new BScrollView("items_scroll", fList, B_FOLLOW_ALL, 0, false, true));

    fProgress = new KolvastProgressView(BRect(15, kHeight - 36, kWidth - 205, kHeight - 24));
    fProgress->Hide();
    background->AddChild(fProgress);
    fCancel = new BButton(BRect(kWidth - 195, kHeight - 42, kWidth - 110, kHeight - 18), "cancel",
        texts.Text(TextId::kDeinstallerCancel), new BMessage(kMsgCancel),
        B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
    background->AddChild(fCancel);
    fRemove = new BButton(BRect(kWidth - 100, kHeight - 42, kWidth - 15, kHeight - 18), "remove",
        texts.Text(TextId::kDeinstallerRemove), new BMessage(kMsgRemove),
        B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
    background->AddChild(fRemove);
    SetDefaultButton(fRemove);
    CenterOnScreen();

    if (!fRecordRead || fRemoval.SetTo(fRecordPath) != B_OK) {
        fHeading->SetText(texts.Text(TextId::kDeinstallerNoRecord));
        if (!fRemoval.Error().empty())
            fList->AddItem(new BStringItem(fRemoval.Error().c_str()));
        fRemove->SetEnabled(false);
        fCancel->SetLabel(texts.Text(TextId::kDeinstallerClose));
        fFinished = true;
    } else {
        ShowPlan();
    }
}

KolvastWindow::~KolvastWindow()
{
    if (fWorker.joinable())
        fWorker.join();
}

std::string KolvastWindow::Shown(const std::string& path) const
{
    return BPrivate::StorageScope::ShownPath(path);
}

void KolvastWindow::AddLine(const char* word, const std::string& path)
{
    // A word that brings its own colon ("Details:") gets no second one.
    std::string line(word);
    line += !line.empty() && line.back() == ':' ? " " : ": ";
    fList->AddItem(new BStringItem((line + Shown(path)).c_str()));
}

void KolvastWindow::ShowPlan()
{
    // The earlier installation the installation replaced stays in the trash
    // unless the user ticks the box.
    fRemoval.ChooseEarlierInstallation(false);
    InstallRemoval::Plan plan = fRemoval.MakePlan();
    for (const std::string& path : plan.remove)
        AddLine(fTexts.Text(TextId::kDeinstallerToRemove), path);
    for (const std::string& path : plan.restore)
        AddLine(fTexts.Text(TextId::kDeinstallerToRestore), path);
    if (plan.earlier.empty())
        return;
    // Room for the box under the list.
    BView* scroll = fList->Parent();
    scroll->ResizeBy(0, -24);
    BRect below = scroll->Frame();
    fPutBackEarlier = new BCheckBox(
        BRect(below.left, below.bottom + 4, kWidth - 15, below.bottom + 22), "put_back_earlier",
        fTexts.Text(TextId::kDeinstallerPutBackEarlier), nullptr, B_FOLLOW_LEFT | B_FOLLOW_BOTTOM);
    scroll->Parent()->AddChild(fPutBackEarlier);
}

void KolvastWindow::StartRemoval()
{
    if (fPutBackEarlier != nullptr) {
        fRemoval.ChooseEarlierInstallation(fPutBackEarlier->Value() == B_CONTROL_ON);
        fPutBackEarlier->SetEnabled(false);
    }
    fRemove->SetEnabled(false);
    fCancel->SetEnabled(false);
    fHeading->SetText(fTexts.Text(TextId::kDeinstallerRemoving));
    fProgress->Show();
    fRunning = true;
    BMessenger self(this);
    fRemoval.SetProgressHook([self](int32 done, int32 total, const std::string&) {
        BMessage progress(kMsgProgress);
        progress.AddFloat("fraction", total > 0 ? float(done) / float(total) : 1.0f);
        self.SendMessage(&progress);
    });
    // Asked on the removal's thread; the window goes on drawing meanwhile.
    std::string title = Title();
    fRemoval.SetTakenHook([this, title](const std::string& original, const std::string& movedTo) {
        std::string text = std::string(fTexts.Text(TextId::kDeinstallerTaken)) + "\n\n"
            + Shown(original) + "\n\n" + fTexts.Text(TextId::kDeinstallerToRestore) + ": "
            + Shown(movedTo);
        BAlert* alert
            = new BAlert(title.c_str(), text.c_str(), fTexts.Text(TextId::kDeinstallerKeepCurrent),
                fTexts.Text(TextId::kDeinstallerPutBackOld), nullptr, B_WIDTH_AS_USUAL,
                B_WARNING_ALERT);
        return alert->Go() == 1;
    });
    fWorker = std::thread([this, self] {
        fRemoval.Run();
        BMessage finished(kMsgFinished);
        self.SendMessage(&finished);
    });
}

void KolvastWindow::ShowReport()
{
    if (fWorker.joinable())
        fWorker.join();
    fRunning = false;
    fFinished = true;
    fProgress->SetFraction(1);
    fList->MakeEmpty();
    bool complete = fRemoval.Complete();
    fHeading->SetText(
        fTexts.Text(complete ? TextId::kDeinstallerDone : TextId::kDeinstallerIncomplete));
    static const int32 kWords[]
        = { TextId::kDeinstallerRemoved, TextId::kDeinstallerRestored, TextId::kDeinstallerKept,
              TextId::kDeinstallerLeft, TextId::kDeinstallerFailed, TextId::kDeinstallerProblem };
    // What needs the user's eye first.
    for (auto kind : { InstallRemoval::kOutcomeKept, InstallRemoval::kOutcomeFailed,
             InstallRemoval::kOutcomeProblem, InstallRemoval::kOutcomeLeft,
             InstallRemoval::kOutcomeRestored, InstallRemoval::kOutcomeRemoved }) {
        for (const InstallRemoval::Outcome& outcome : fRemoval.Outcomes()) {
            if (outcome.kind != kind)
                continue;
            AddLine(fTexts.Text(kWords[kind]), outcome.path);
            // Why, on a line of its own below; what is rare enough to have
            // no text of its own is said as the removal log says it.
            static const int32 kWhy[] = { 0, TextId::kDeinstallerWhyChanged,
                TextId::kDeinstallerWhyNotOurs, TextId::kDeinstallerWhyUserFiles,
                TextId::kDeinstallerWhyTaken, TextId::kDeinstallerEarlierInTrash };
            std::string why = outcome.why != InstallRemoval::kWhyOther
                ? fTexts.Text(kWhy[outcome.why])
                : kind == InstallRemoval::kOutcomeFailed || kind == InstallRemoval::kOutcomeProblem
                ? outcome.reason
                : std::string();
            if (!why.empty())
                fList->AddItem(new BStringItem(why.c_str(), 1));
        }
    }
    // The folder of the removal logs: the log's own name holds the install
    // id, which says nothing to a user.
    if (!fRemoval.LogPath().empty())
        AddLine(fTexts.Text(TextId::kDeinstallerLogAt), InstallRemoval::LogFolder());
    fCancel->Hide();
    fRemove->SetLabel(fTexts.Text(TextId::kDeinstallerClose));
    fRemove->SetMessage(new BMessage(B_QUIT_REQUESTED));
    fRemove->SetEnabled(true);
    sExitStatus = complete ? KolvastUnattended::kExitRemoved : KolvastUnattended::kExitIncomplete;
}

void KolvastWindow::MessageReceived(BMessage* message)
{
    switch (message->what) {
    case kMsgRemove:
        if (!fRunning && !fFinished)
            StartRemoval();
        break;
    case kMsgCancel:
        PostMessage(B_QUIT_REQUESTED);
        break;
    case kMsgProgress: {
        float fraction = 0;
        message->FindFloat("fraction", &fraction);
        fProgress->SetFraction(fraction);
    } break;
    case kMsgFinished:
        ShowReport();
        break;
    default:
        BWindow::MessageReceived(message);
    }
}

bool KolvastWindow::QuitRequested()
{
    // A removal half done is worse than one not started or finished.
    if (fRunning)
        return false;
    if (!fFinished)
        sExitStatus = KolvastUnattended::kExitIncomplete;
    return true;
}
