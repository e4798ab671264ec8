#include <Roster.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

#include <AppDefs.h>
#include <AppFileInfo.h>
#include <Entry.h>
#include <File.h>
#include <Path.h>

#include "Actions.h"
#include "DesktopEntries.h"
#include <StorageTestUtils.h>

namespace {

using brenvik::test::MakeTempFolder;
using brenvik::test::SandboxRoot;

std::string ApplicationsFolder()
{
    return SandboxRoot() + "/home/.local/share/applications";
}

void WriteEntry(const std::string& leaf, const std::string& body)
{
    mkdir(ApplicationsFolder().c_str(), 0755);
    storage_test::WriteFile(
        ApplicationsFolder() + "/" + leaf, "[Desktop Entry]\nType=Application\n" + body);
}

std::string ExecutableScript(const std::string& folder, const char* leaf)
{
    std::string path = folder + "/" + leaf;
    storage_test::WriteFile(path, "#!/bin/sh\nexit 0\n");
    chmod(path.c_str(), 0755);
    return path;
}

TEST(RosterTest, GlobalRosterExists)
{
    ASSERT_NE(be_roster, nullptr);
}

TEST(RosterTest, FindsRegisteredApplicationWhileItCarriesTheSignature)
{
    SKIP_WITHOUT_XATTRS();
    std::string path = ExecutableScript(MakeTempFolder("roster"), "Velk");
    {
        BFile file(path.c_str(), B_READ_WRITE);
        BAppFileInfo info(&file);
        info.SetInfoLocation(B_USE_ATTRIBUTES);
        ASSERT_EQ(info.SetSignature("application/x-vnd.Tarsel.Velk"), B_OK);
    }
    entry_ref ref;
    ASSERT_EQ(get_ref_for_path(path.c_str(), &ref), B_OK);
    ASSERT_EQ(BMimeType("application/x-vnd.Tarsel.Velk").SetAppHint(&ref), B_OK);

    entry_ref found;
    ASSERT_EQ(be_roster->FindApp("APPLICATION/X-VND.TARSEL.VELK", &found), B_OK);
    EXPECT_EQ(found, ref);

    BNode node(path.c_str());
    ASSERT_EQ(node.RemoveAttr("BEOS:APP_SIG"), B_OK);
    EXPECT_EQ(
        be_roster->FindApp("application/x-vnd.Tarsel.Velk", &found), B_LAUNCH_FAILED_APP_NOT_FOUND);
}

TEST(RosterTest, FindsDesktopEntriesButNotHiddenOrBrokenOnes)
{
    WriteEntry("org.example.Viewer.desktop", "Name=Viewer\nExec=viewer\n");
    WriteEntry("signed.desktop", "Name=Signed\nX-Brenvik-Signature=application/x-vnd.Signed\n");
    WriteEntry("hidden.desktop",
        "Name=Hidden\nHidden=true\nX-Brenvik-Signature=application/x-vnd.Hidden\n");
    WriteEntry("broken.desktop",
        "Name=Broken\nTryExec=/no/such/program\nX-Brenvik-Signature=application/x-vnd.Broken\n");
    entry_ref found;
    ASSERT_EQ(be_roster->FindApp("org.example.Viewer", &found), B_OK);
    EXPECT_STREQ(BPath(&found).Leaf(), "org.example.Viewer.desktop");
    ASSERT_EQ(be_roster->FindApp("application/x-vnd.signed", &found), B_OK);
    EXPECT_STREQ(BPath(&found).Leaf(), "signed.desktop");
    EXPECT_NE(be_roster->FindApp("application/x-vnd.Hidden", &found), B_OK);
    EXPECT_NE(be_roster->FindApp("application/x-vnd.Broken", &found), B_OK);
}

TEST(RosterTest, FindsCommandsAlongThePath)
{
    entry_ref found;
    ASSERT_EQ(be_roster->FindApp("sh", &found), B_OK);
    EXPECT_STREQ(BPath(&found).Leaf(), "sh");
    EXPECT_EQ(
        be_roster->FindApp("no-such-command-anywhere", &found), B_LAUNCH_FAILED_APP_NOT_FOUND);
    EXPECT_EQ(be_roster->FindApp(static_cast<const char*>(nullptr), &found), B_BAD_VALUE);
}

TEST(RosterTest, LaunchGoesThroughTheActionsLog)
{
    std::string log = MakeTempFolder("roster") + "/actions.log";
    std::string old = std::getenv(BPrivate::Actions::kLogVariable);
    setenv(BPrivate::Actions::kLogVariable, log.c_str(), 1);

    std::string folder = MakeTempFolder("roster");
    std::string program = ExecutableScript(folder, "Program");
    std::string document = folder + "/notes.txt";
    storage_test::WriteFile(document, "notes");
    entry_ref programRef;
    entry_ref documentRef;
    ASSERT_EQ(get_ref_for_path(program.c_str(), &programRef), B_OK);
    ASSERT_EQ(get_ref_for_path(document.c_str(), &documentRef), B_OK);
    BMessage open(B_REFS_RECEIVED);
    open.AddRef("refs", &documentRef);
    EXPECT_EQ(be_roster->Launch(&programRef, &open), B_OK);
    EXPECT_EQ(be_roster->Launch(&documentRef), B_OK);
    EXPECT_EQ(storage_test::ReadFile(log),
        "launch\t" + program + "\t" + document + "\nopen\t" + document + "\n");
    setenv(BPrivate::Actions::kLogVariable, old.c_str(), 1);
}

TEST(RosterTest, RunningApplicationIsOnlyThisOne)
{
    app_info info;
    EXPECT_FALSE(be_roster->IsRunning("application/x-vnd.Be-TRAK-not"));
    EXPECT_NE(be_roster->GetAppInfo("application/x-vnd.Whatever", &info), B_OK);
}

} // namespace
