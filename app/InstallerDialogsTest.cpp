#include "InstallerDialogs.h"

#include <UIDriver.h>

#include <TestSandbox.h>
#include <ViewsTestSupport.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <thread>
#include <unistd.h>

using namespace brenvik::test;

namespace {

std::string MakeFile(const std::string& path)
{
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    EXPECT_GE(fd, 0) << path;
    close(fd);
    return path;
}

struct ReplaceCase {
    const char* name;
    bool offer;
    std::vector<std::string> script;
    bool replace;
    bool applyToAll;
};

std::ostream& operator<<(std::ostream& stream, const ReplaceCase& c)
{
    return stream << c.name;
}

class InstallerDialogsReplaceTest : public testing::TestWithParam<ReplaceCase> { };

// The pass asks on its worker; the answer comes back in the engine's terms.
TEST_P(InstallerDialogsReplaceTest, TheWorkerGetsTheAnswerWithItsCheckBox)
{
    std::string folder = MakeTempFolder("collide");
    std::string existing = MakeFile(folder + "/Demo");
    std::string incoming = MakeFile(MakeTempFolder("incoming") + "/Demo");
    InstallerDialogs dialogs("Tarsel Notes");
    ReplaceAnswer answer;
    std::thread worker([&] {
        answer = dialogs.AskReplace(incoming, "/payload", existing, GetParam().offer, "de");
    });
    // Titled with the product.
    std::vector<std::string> script = GetParam().script;
    script.insert(script.begin(), "wait-window Tarsel Notes");
    std::string failure;
    EXPECT_EQ(BPrivate::UIDriver::RunScript(script, &failure), B_OK) << failure;
    worker.join();
    EXPECT_EQ(answer.replace, GetParam().replace);
    EXPECT_EQ(answer.applyToAll, GetParam().applyToAll);
}

const char* kTickGerman = "click-label Treffen Sie auf alle zukünftigen Zusammenstöße zu";

INSTANTIATE_TEST_SUITE_P(Answers, InstallerDialogsReplaceTest,
    testing::Values(
        ReplaceCase { "replace_all", true, { kTickGerman, "alert Ersetzen" }, true, true },
        ReplaceCase {
            "keep_all", true, { kTickGerman, "alert Ausführen nicht Ersetzen" }, false, true },
        ReplaceCase { "replace_once", true, { "alert Ersetzen" }, true, false },
        ReplaceCase {
            "keep_without_offer", false, { "alert Ausführen nicht Ersetzen" }, false, false }),
    [](const testing::TestParamInfo<ReplaceCase>& param) { return std::string(param.param.name); });

TEST(InstallerDialogsTest, ErrorsAndInformationAreTheLibrarysBoxes)
{
    InstallerDialogs dialogs;
    {
        AlertAnswerer answerer(AlertAnswerer::Key("o"));
        dialogs.Error("Unable to create installation folder '100% Demo'. Unable to install files.");
        const ShownAlert& shown = answerer.Join();
        EXPECT_EQ(shown.type, B_STOP_ALERT);
        EXPECT_EQ(shown.text,
            "Unable to create installation folder '100% Demo'. Unable to install files.");
        EXPECT_EQ(shown.labels, std::vector<std::string> { "OK" });
    }
    {
        AlertAnswerer answerer(AlertAnswerer::Key("\n"));
        dialogs.Info("Installation successfully completed.");
        const ShownAlert& shown = answerer.Join();
        EXPECT_EQ(shown.type, B_INFO_ALERT);
        EXPECT_EQ(shown.text, "Installation successfully completed.");
    }
}

} // namespace
