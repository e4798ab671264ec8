#include "ReplaceAlert.h"

#include <CheckBox.h>
#include <Node.h>
#include <StringView.h>
#include <TextView.h>
#include <UIDriver.h>

#include <TestSandbox.h>
#include <ViewsTestSupport.h>

#include "ReplaceAlertTexts.h"

#include <LocalizedTextTable.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace brenvik::test;

namespace {

constexpr time_t kCreated = 1765280400; // 9 December 2025, 11:40:00 UTC
constexpr time_t kModified = 1765290000; // 9 December 2025, 14:20:00 UTC

std::string WriteFile(const std::string& path, size_t size, time_t created, time_t modified)
{
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    EXPECT_GE(fd, 0) << path;
    std::string contents(size, 'x');
    EXPECT_EQ(write(fd, contents.data(), contents.size()), ssize_t(contents.size()));
    close(fd);
    BNode node(path.c_str());
    node.SetCreationTime(created);
    node.SetModificationTime(modified);
    return path;
}

std::string MakeFolders(std::string folder, std::initializer_list<const char*> parts)
{
    for (const char* part : parts) {
        folder += std::string("/") + part;
        mkdir(folder.c_str(), 0755);
    }
    return folder;
}

class ReplaceAlertTest : public testing::Test {
protected:
    void SetUp() override
    {
        setenv("TZ", "UTC", 1);
        tzset();
        std::string root = MakeTempFolder("replace");
        // Deep enough that the folder lines show only their fixed ends.
        fToFolder = MakeFolders(root, { "boot", "apps", "Brenvik Demo", "Documentation" });
        fFromFolder = MakeFolders(root, { "boot", "var", "tmp", "Documentation" });
        fTo = WriteFile(fToFolder + "/Read Me.txt", 2048, kCreated, kModified);
        fFrom = WriteFile(fFromFolder + "/Read Me.txt", 3 * 1048576 / 2, kCreated + 86400,
            kModified + 86400 + 3600);
    }

    // Runs UI driver lines on a thread of their own while the dialog waits.
    static std::thread Drive(std::vector<std::string> lines)
    {
        return std::thread([lines] {
            std::string failure;
            EXPECT_EQ(BPrivate::UIDriver::RunScript(lines, &failure), B_OK) << failure;
        });
    }

    ReplaceAlert* Make(bool offer = true, const char* language = "en")
    {
        return new ReplaceAlert(
            BPath(fFrom.c_str()), BPath(fTo.c_str()), offer, language, nullptr, "Tarsel Notes");
    }

    std::string fToFolder;
    std::string fFromFolder;
    std::string fTo;
    std::string fFrom;
};

struct AnswerCase {
    const char* name;
    std::vector<std::string> script;
    int32 button;
    bool applyToAll;
};

std::ostream& operator<<(std::ostream& stream, const AnswerCase& c)
{
    return stream << c.name;
}

class ReplaceAlertAnswerTest : public ReplaceAlertTest,
                               public testing::WithParamInterface<AnswerCase> { };

TEST_P(ReplaceAlertAnswerTest, GoReturnsTheButtonAndTheCheckBox)
{
    std::thread driver = Drive(GetParam().script);
    bool applyToAll = !GetParam().applyToAll;
    int32 button = Make()->Go(applyToAll);
    driver.join();
    EXPECT_EQ(button, GetParam().button);
    EXPECT_EQ(applyToAll, GetParam().applyToAll);
}

const char* kTick = "click-label Apply to all future collisions";

INSTANTIATE_TEST_SUITE_P(Answers, ReplaceAlertAnswerTest,
    testing::Values(AnswerCase { "replace", { "alert Replace" }, 1, false },
        AnswerCase { "keep", { "alert Don't Replace" }, 0, false },
        AnswerCase { "replace_all", { kTick, "alert Replace" }, 1, true },
        AnswerCase { "keep_all", { kTick, "alert Don't Replace" }, 0, true },
        AnswerCase { "ticked_and_unticked", { kTick, kTick, "alert Replace" }, 1, false },
        AnswerCase { "key_r", { kTick, "key r" }, 1, true },
        AnswerCase { "key_d", { "key d" }, 0, false },
        AnswerCase { "enter_replaces", { "key Enter" }, 1, false },
        AnswerCase { "escape_keeps", { kTick, "key Escape" }, 0, true },
        // The window's close box is no way around the question: it keeps.
        AnswerCase { "close_box_keeps", { kTick, "close Tarsel Notes" }, 0, true }),
    [](const testing::TestParamInfo<AnswerCase>& param) { return std::string(param.param.name); });

TEST_F(ReplaceAlertTest, AskHandsBackTheAnswerInOnePiece)
{
    std::thread driver = Drive(
        { "click-label Treffen Sie auf alle zukünftigen Zusammenstöße zu", "alert Ersetzen" });
    ReplaceAlert::Answer answer
        = ReplaceAlert::Ask(BPath(fFrom.c_str()), BPath(fTo.c_str()), true, "de");
    driver.join();
    EXPECT_EQ(answer.button, ReplaceAlert::kReplace);
    EXPECT_TRUE(answer.applyToAll);
}

// A view's text, looked up by name in a dialog that is not shown.
std::string TextOf(BAlert* alert, const char* name)
{
    BView* view = alert->FindView(name);
    if (BStringView* text = dynamic_cast<BStringView*>(view))
        return text->Text();
    if (BControl* control = dynamic_cast<BControl*>(view))
        return control->Label();
    return "<missing>";
}

TEST_F(ReplaceAlertTest, LaysTheFactsOutInFixedRows)
{
    ReplaceAlert* alert = Make(true, "en");
    EXPECT_STREQ(alert->Title(), "Tarsel Notes");
    EXPECT_EQ(alert->FindView("to_creation_label")->Frame(), BRect(40, 35, 105, 50));
    // The values take 150 pixels, or more when one needs more.
    BRect values = alert->FindView("to_creation")->Frame();
    EXPECT_EQ(values.LeftTop(), BPoint(110, 35));
    EXPECT_EQ(values.Height(), 15);
    EXPECT_GE(values.Width(), 150);
    EXPECT_EQ(alert->FindView("to_image")->Frame(), BRect(0, 65, 31, 96));
    EXPECT_EQ(alert->FindView("to_path")->Frame(), BRect(110, 95, 245, 110));
    EXPECT_EQ(alert->FindView("with")->Frame(), BRect(0, 125, 50, 140));
    EXPECT_EQ(alert->FindView("from_creation")->Frame(), values.OffsetByCopy(0, 105));
    EXPECT_EQ(alert->FindView("from_image")->Frame(), BRect(0, 170, 31, 201));
    EXPECT_EQ(alert->FindView("from_version_label")->Frame(), BRect(40, 215, 105, 230));
    EXPECT_EQ(alert->FindView("future_collisions")->Frame(), BRect(0, 235, 300, 250));

    EXPECT_EQ(TextOf(alert, "to_creation"), "Tue, Dec 9 2025, 11:40:00 AM");
    EXPECT_EQ(TextOf(alert, "to_modified"), "Tue, Dec 9 2025, 2:20:00 PM");
    EXPECT_EQ(TextOf(alert, "from_modified"), "Wed, Dec 10 2025, 3:20:00 PM (newer)");
    EXPECT_EQ(TextOf(alert, "to_size"), "2.0 KB (2048 bytes)");
    EXPECT_EQ(TextOf(alert, "from_size"), "1.5 MB (1572864 bytes)");
    // Text, as its contents show.
    EXPECT_EQ(TextOf(alert, "to_kind"), "text/plain");
    // The folders are cut at their beginning to fit.
    EXPECT_EQ(TextOf(alert, "to_path"),
        "\xE2\x80\xA6"
        "nvik Demo/Documentation");
    EXPECT_EQ(TextOf(alert, "from_path"),
        "\xE2\x80\xA6"
        "oot/var/tmp/Documentation");
    EXPECT_EQ(TextOf(alert, "to_version"), "");
    // No date, size or kind loses its end to the edge of its view, and the
    // text view has room for them all.
    for (const char* side : { "to", "from" }) {
        for (const char* fact : { "creation", "modified", "size", "kind", "version" }) {
            std::string name = std::string(side) + "_" + fact;
            BStringView* view = dynamic_cast<BStringView*>(alert->FindView(name.c_str()));
            ASSERT_NE(view, nullptr) << name;
            EXPECT_LE(view->StringWidth(view->Text()), view->Frame().Width()) << name;
            EXPECT_LE(view->Frame().right, alert->TextView()->Bounds().right) << name;
        }
    }
    EXPECT_EQ(alert->TextView()->Text(),
        std::string("The file 'Read Me.txt' already exists. Do you wish to replace existing?"));
    alert->Quit();
}

TEST_F(ReplaceAlertTest, WithoutATitleItTakesTheProgramsAlertTitle)
{
    ReplaceAlert* alert = new ReplaceAlert(BPath(fFrom.c_str()), BPath(fTo.c_str()), true, "en");
    EXPECT_EQ(std::string(alert->Title()), BAlert::DefaultTitle());
    EXPECT_NE(std::string(alert->Title()), "");
    alert->Quit();
}

// The sizes are the files' data: attributes (a type, the installation's
// tag) do not make equal files look different.
TEST_F(ReplaceAlertTest, SizesAreTheDataAloneAndTheNewerItemIsMarked)
{
    std::string older = WriteFile(fToFolder + "/small", 55, kCreated, kModified);
    std::string newer = WriteFile(fFromFolder + "/small", 45, kCreated, kModified + 60);
    std::string tag(80, 't');
    for (const std::string& path : { older, newer }) {
        BNode node(path.c_str());
        node.WriteAttr("user.test.tag", B_STRING_TYPE, 0, tag.c_str(), tag.size() + 1);
    }
    ReplaceAlert* alert = new ReplaceAlert(BPath(newer.c_str()), BPath(older.c_str()), true, "de");
    EXPECT_EQ(TextOf(alert, "to_size"), "55 bytes");
    EXPECT_EQ(TextOf(alert, "from_size"), "45 bytes");
    EXPECT_NE(TextOf(alert, "from_modified").find(" (neuer)"), std::string::npos);
    EXPECT_EQ(TextOf(alert, "to_modified").find("(neuer)"), std::string::npos);
    alert->Quit();

    // The existing item newer; then both of the same time: no mark.
    alert = new ReplaceAlert(BPath(older.c_str()), BPath(newer.c_str()), true, "en");
    EXPECT_NE(TextOf(alert, "to_modified").find(" (newer)"), std::string::npos);
    EXPECT_EQ(TextOf(alert, "from_modified").find("(newer)"), std::string::npos);
    alert->Quit();
    WriteFile(newer, 45, kCreated, kModified);
    alert = new ReplaceAlert(BPath(older.c_str()), BPath(newer.c_str()), true, "en");
    EXPECT_EQ(TextOf(alert, "to_modified").find("(newer)"), std::string::npos);
    EXPECT_EQ(TextOf(alert, "from_modified").find("(newer)"), std::string::npos);
    alert->Quit();
}

TEST(ReplaceAlertTextTest, SizesShowTheExactCountBesideARoundedOne)
{
    EXPECT_EQ(std::string(ReplaceAlert::SizeText(0)), "0 bytes");
    EXPECT_EQ(std::string(ReplaceAlert::SizeText(1023)), "1023 bytes");
    EXPECT_EQ(std::string(ReplaceAlert::SizeText(1536)), "1.5 KB (1536 bytes)");
    EXPECT_EQ(std::string(ReplaceAlert::SizeText(-1)), "0 bytes");
}

TEST(ReplaceAlertTextTest, AQuestionWithoutAnEndGetsAQuestionMark)
{
    EXPECT_EQ(
        ReplaceAlert::Ended("Do you wish to replace existing"), "Do you wish to replace existing?");
    EXPECT_EQ(ReplaceAlert::Ended("Möchten Sie das Existieren ersetzen."),
        "Möchten Sie das Existieren ersetzen.");
    EXPECT_EQ(ReplaceAlert::Ended("Replace it? "), "Replace it?");
    EXPECT_EQ(ReplaceAlert::Ended(""), "");
}

// However long the name and whatever the language, every line of the
// question stands above the facts.
TEST_F(ReplaceAlertTest, TheWholeQuestionShowsAboveTheFacts)
{
    std::string longName = fToFolder + "/" + std::string(40, 'n') + " " + std::string(60, 'm');
    WriteFile(longName, 10, kCreated, kModified);
    for (int32 i = 0; i < LocalizedTextTable::kLanguageCount; i++) {
        const char* code = LocalizedTextTable::LanguageCode(i);
        ReplaceAlert* alert
            = new ReplaceAlert(BPath(fFrom.c_str()), BPath(longName.c_str()), true, code);
        BTextView* text = alert->TextView();
        float bottom = text->TextHeight(0, text->CountLines() - 1);
        EXPECT_LE(bottom, alert->FindView("to_creation_label")->Frame().top) << code;
        EXPECT_LE(text->Bounds().Height(), alert->Bounds().Height()) << code;
        std::string shown = text->Text();
        EXPECT_TRUE(shown.back() == '?' || shown.back() == '.') << code << ": " << shown;
        alert->Quit();
    }
}

// The new item waits in a scratch folder; the dialog names where it comes
// from instead.
TEST_F(ReplaceAlertTest, TheNewItemsFolderIsWhereItComesFrom)
{
    ReplaceAlert* alert
        = new ReplaceAlert(BPath(fFrom.c_str()), BPath(fTo.c_str()), true, "en", "/payload/Docs");
    EXPECT_EQ(TextOf(alert, "from_path"), "/payload/Docs");
    alert->Quit();
}

TEST_F(ReplaceAlertTest, WithoutTheOfferTheDialogIsShorterAndHasNoCheckBox)
{
    ReplaceAlert* with = Make(true);
    ReplaceAlert* without = Make(false);
    EXPECT_EQ(with->Bounds().Height() - without->Bounds().Height(), 20);
    EXPECT_EQ(without->FindView("future_collisions"), nullptr);
    EXPECT_NE(with->FindView("future_collisions"), nullptr);
    with->Quit();

    std::thread driver = Drive({ "alert Replace" });
    bool applyToAll = true;
    EXPECT_EQ(without->Go(applyToAll), 1);
    driver.join();
    EXPECT_FALSE(applyToAll);
}

struct LanguageCase {
    const char* code;
    const char* keep;
    const char* replace;
    const char* sizeLabel;
    const char* applyToAll;
};

std::ostream& operator<<(std::ostream& stream, const LanguageCase& c)
{
    return stream << c.code;
}

class ReplaceAlertLanguageTest : public ReplaceAlertTest,
                                 public testing::WithParamInterface<LanguageCase> { };

TEST_P(ReplaceAlertLanguageTest, EveryTextIsInTheLanguage)
{
    ReplaceAlert* alert = Make(true, GetParam().code);
    const ReplaceAlertTexts& texts = ReplaceAlertTextsFor(GetParam().code);
    EXPECT_STREQ(alert->ButtonAt(0)->Label(), GetParam().keep);
    EXPECT_STREQ(alert->ButtonAt(1)->Label(), GetParam().replace);
    EXPECT_EQ(TextOf(alert, "to_size_label"), GetParam().sizeLabel);
    EXPECT_EQ(TextOf(alert, "from_size_label"), GetParam().sizeLabel);
    EXPECT_EQ(TextOf(alert, "future_collisions"), GetParam().applyToAll);
    EXPECT_EQ(TextOf(alert, "with"), texts.with);
    EXPECT_EQ(TextOf(alert, "from_version_label"), texts.version);
    std::string question = alert->TextView()->Text();
    EXPECT_NE(question.find(std::string(texts.fileWord) + " "), std::string::npos) << question;
    EXPECT_NE(question.find("'Read Me.txt'"), std::string::npos) << question;
    EXPECT_EQ(question.find('%'), std::string::npos) << question;
    alert->Quit();
}

INSTANTIATE_TEST_SUITE_P(Languages, ReplaceAlertLanguageTest,
    testing::Values(LanguageCase { "en", "Don't Replace", "Replace",
                        "Size :", "Apply to all future collisions" },
        LanguageCase { "fr", "Font pas Replacer", "Replacer",
            "Taille :", "Appliquez-vous à toutes les futures collisions" },
        LanguageCase { "es", "Hacer no Sustituir", "Sustituir",
            "Talla :", "Apliqúese a todas las colisiones futuras" },
        LanguageCase { "de", "Ausführen nicht Ersetzen", "Ersetzen",
            "Größe :", "Treffen Sie auf alle zukünftigen Zusammenstöße zu" },
        LanguageCase { "it", "Fare non Sostituire", "Sostituire",
            "Formato :", "Applichisi a tutti gli scontri futuri" },
        LanguageCase { "no", "Ikke gjør det Ombytte", "Ombytte",
            "Størrelse :", "Henvende seg til alle fremtid sammenstøtet" },
        LanguageCase { "sv", "Icke gör det Ombytta", "Ombytta",
            "Storleken :", "Hänvände sig till alla framtida sammanstöt" },
        LanguageCase { "da", "Lad være Skifte ud", "Skifte ud",
            "Nummer :", "Henvende sig til al senere sammenstød" },
        LanguageCase { "nl", "Verrichten niet Vervangen", "Vervangen",
            "Spanwijdte :", "Toepassen voor helemaal toekomstig botsing" },
        LanguageCase { "pt", "Não substitua", "Substitua",
            "Tamanho :", "Aplique a todas as colisões futuras" },
        // Codes outside the ten, and codes that only begin like one of them.
        LanguageCase {
            "ja", "Don't Replace", "Replace", "Size :", "Apply to all future collisions" },
        LanguageCase { "", "Don't Replace", "Replace", "Size :", "Apply to all future collisions" },
        LanguageCase {
            "dee", "Don't Replace", "Replace", "Size :", "Apply to all future collisions" }),
    [](const testing::TestParamInfo<LanguageCase>& param) {
        return param.param.code[0] != '\0' ? std::string(param.param.code) : std::string("empty");
    });

TEST_F(ReplaceAlertTest, ANullLanguageIsEnglish)
{
    ReplaceAlert* alert = Make(true, nullptr);
    EXPECT_STREQ(alert->ButtonAt(1)->Label(), "Replace");
    alert->Quit();
}

struct KindCase {
    const char* name;
    const char* question;
};

std::ostream& operator<<(std::ostream& stream, const KindCase& c)
{
    return stream << c.name;
}

class ReplaceAlertKindTest : public ReplaceAlertTest,
                             public testing::WithParamInterface<KindCase> { };

TEST_P(ReplaceAlertKindTest, TheQuestionNamesTheKindOfTheExistingItem)
{
    std::string folder = MakeTempFolder("kinds");
    std::string existing = folder + "/Sounds";
    std::string kind = GetParam().name;
    int made = 0;
    if (kind == "folder")
        made = mkdir(existing.c_str(), 0755);
    else if (kind == "link")
        made = symlink(fTo.c_str(), existing.c_str());
    else if (kind == "dangling_link")
        made = symlink("/nowhere/at/all", existing.c_str());
    else if (kind == "pipe")
        made = mkfifo(existing.c_str(), 0644);
    ASSERT_EQ(made, 0);
    ReplaceAlert* alert
        = new ReplaceAlert(BPath(fFrom.c_str()), BPath(existing.c_str()), true, "en");
    EXPECT_EQ(std::string(alert->TextView()->Text()), GetParam().question);
    alert->Quit();
}

INSTANTIATE_TEST_SUITE_P(Kinds, ReplaceAlertKindTest,
    testing::Values(KindCase { "folder",
                        "The folder 'Sounds' already exists. Do you wish to replace existing?" },
        KindCase {
            "link", "The symbolic link 'Sounds' already exists. Do you wish to replace existing?" },
        KindCase { "dangling_link",
            "The symbolic link 'Sounds' already exists. Do you wish to replace existing?" },
        KindCase { "pipe", "The file 'Sounds' already exists. Do you wish to replace existing?" },
        KindCase {
            "missing", "The file 'Sounds' already exists. Do you wish to replace existing?" }),
    [](const testing::TestParamInfo<KindCase>& param) { return std::string(param.param.name); });

TEST_F(ReplaceAlertTest, ANameWithPercentSignsIsShownAsItIs)
{
    std::string odd = fToFolder + "/100%s %d %n.txt";
    WriteFile(odd, 10, kCreated, kModified);
    ReplaceAlert* alert = new ReplaceAlert(BPath(fFrom.c_str()), BPath(odd.c_str()), true, "de");
    EXPECT_EQ(std::string(alert->TextView()->Text()),
        "Das datei '100%s %d %n.txt' existiert bereits  Möchten Sie das Existieren ersetzen.");
    alert->Quit();
}

// The dialog as the user sees it, photographed while it waits for an answer.
testing::AssertionResult ShowAndPhotograph(ReplaceAlert* alert, const char* golden)
{
    testing::AssertionResult result = testing::AssertionFailure() << "the dialog never showed";
    AlertAnswerer answerer([&](const ShownAlert& shown) {
        BLooper* looper = nullptr;
        shown.messenger.Target(&looper);
        result = MatchesGolden(golden, Snapshot(dynamic_cast<BWindow*>(looper)));
        Display().InjectKey(shown.displayId, "d");
    });
    bool applyToAll = true;
    int32 button = alert->Go(applyToAll);
    answerer.Join();
    if (button != 0 || applyToAll)
        return testing::AssertionFailure() << "answered " << button << ", " << applyToAll;
    return result;
}

TEST_F(ReplaceAlertTest, GoldenEnglish)
{
    EXPECT_TRUE(ShowAndPhotograph(Make(true, "en"), "views/replace-en"));
}

TEST_F(ReplaceAlertTest, GoldenGermanWithALongName)
{
    std::string longName = fToFolder
        + "/Brenvik Demo Benutzerhandbuch mit allen Anhängen und Beispielen (zweite, "
          "überarbeitete Ausgabe).pdf";
    WriteFile(longName, 734003, kCreated, kModified);
    ReplaceAlert* alert
        = new ReplaceAlert(BPath(fFrom.c_str()), BPath(longName.c_str()), true, "de");
    EXPECT_TRUE(ShowAndPhotograph(alert, "views/replace-de-long-name"));
}

TEST_F(ReplaceAlertTest, GoldenWithoutTheCheckBox)
{
    EXPECT_TRUE(ShowAndPhotograph(Make(false, "en"), "views/replace-en-no-offer"));
}

// Windows made while one lives are drawn at `scale`, as on a screen of that
// scale factor.
class ScaledWindows {
public:
    explicit ScaledWindows(float scale)
        : fPrevious(Display().Scale())
    {
        Display().ScaleNewWindows(scale);
    }
    ~ScaledWindows() { Display().ScaleNewWindows(fPrevious); }
    ScaledWindows(const ScaledWindows&) = delete;
    ScaledWindows& operator=(const ScaledWindows&) = delete;

private:
    float fPrevious;
};

TEST_F(ReplaceAlertTest, GoldenEnglishAtTwiceTheScale)
{
    ScaledWindows scaled(2);
    EXPECT_TRUE(ShowAndPhotograph(Make(true, "en"), "views/replace-en-2x"));
}

TEST_F(ReplaceAlertTest, GoldenGermanAtOneAndAHalfTheScale)
{
    ScaledWindows scaled(1.5f);
    EXPECT_TRUE(ShowAndPhotograph(Make(true, "de"), "views/replace-de-1.5x"));
}

// The install pass asks from its worker thread; the installer window goes
// on drawing meanwhile, and the answer with its check box comes back to the
// worker.
TEST_F(ReplaceAlertTest, AWorkerAsksWhileTheWindowKeepsDrawing)
{
    TestWindow window(BRect(100, 100, 199, 199));
    CountingView* view = ShowDrawingWindow(window);
    ASSERT_NE(view, nullptr);

    std::atomic<int32> button { -2 };
    std::atomic<bool> applyToAll { false };
    std::thread worker([&] {
        ReplaceAlert::Answer answer
            = ReplaceAlert::Ask(BPath(fFrom.c_str()), BPath(fTo.c_str()), true, "en");
        button = answer.button;
        applyToAll = answer.applyToAll;
    });
    ShownAlert shown;
    ASSERT_TRUE(FindShownAlert(&shown));
    int32 before = view->draws;
    EXPECT_TRUE(WaitUntil([&] { return view->draws > before + 3; }));
    EXPECT_EQ(button.load(), -2);
    std::thread driver = Drive({ kTick, "alert Don't Replace" });
    driver.join();
    worker.join();
    EXPECT_EQ(button.load(), 0);
    EXPECT_TRUE(applyToAll.load());
}

} // namespace
