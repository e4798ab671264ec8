#include "InstallPassTestSupport.h"

#include <elf.h>

#include <LibraryFinder.h>

namespace {

using namespace pass_test;

constexpr uint64 kGiB = uint64(1) << 30;
constexpr uint64 kMiB = uint64(1) << 20;

// The loader's own rules, with a cache listing of the test's making.
struct CacheProbe : public TestProbe {
    bool FindLibrary(const std::string& name, std::string* path, std::string* how) override
    {
        return TestProbe::FindLibrary(name, path, how) || finder.Find(name, path, how) == B_OK;
    }
    BPrivate::LibraryFinder finder;
};

class InstallRequirementsTest : public testing::Test {
protected:
    void SetUp() override
    {
        setenv("BRENVIK_SCOPE", "user", 1);
        fRoot = brenvik::test::MakeTempFolder("requirements");
        fDestination = fRoot + "/Apps";
        fs::create_directories(fDestination);
        fInstaller.reset(new TestInstaller(fRoot));
        auto dialogs = std::make_unique<TestDialogs>();
        fDialogs = dialogs.get();
        auto probe = std::make_unique<CacheProbe>();
        fProbe = probe.get();
        fProbe->finder.SetSearchPath({});
        fProbe->finder.SetDefaultFolders({});
        fProbe->finder.SetCacheListing("");
        fConfig.SetDialogs(std::move(dialogs));
        fConfig.SetSystemProbe(std::move(probe));
    }

    void TearDown() override { unsetenv("BRENVIK_SCOPE"); }

    // One selected item of `size` bytes going to `destination`.
    void AddItem(const std::string& name, uint64 size, const std::string& destination)
    {
        std::string source = fRoot + "/payload/" + name;
        WriteBytes(source, "x");
        fInstaller->AddItem({ source, destination });
        fSizes[name] = size;
    }

    int32 Check()
    {
        Prepare();
        return fConfig.CheckSystemResources();
    }

    void Prepare()
    {
        fInstaller->Configure(fConfig, fDestination);
        // The sizes the authoring side measured.
        BMessage instructions, item;
        fConfig.FindMessage("install_instructions", &instructions);
        for (int32 i = 0; instructions.FindMessage("install_file", i, &item) == B_OK; i++) {
            std::string name = fs::path(item.GetString("file_name", "")).filename();
            item.ReplaceInt32("file_size", 0, int32(fSizes[name]));
            instructions.ReplaceMessage("install_file", i, &item);
        }
        fConfig.ReplaceMessage("install_instructions", &instructions);
    }

    void Volume(const std::string& prefix, dev_t device, uint64 free, const char* name)
    {
        SystemProbe::Space space;
        space.device = device;
        space.freeBytes = free;
        space.volumeName = name;
        fProbe->volumes[prefix] = space;
    }

    std::string fRoot;
    std::string fDestination;
    std::unique_ptr<TestInstaller> fInstaller;
    std::map<std::string, uint64> fSizes;
    InstallConfig fConfig;
    TestDialogs* fDialogs = nullptr;
    CacheProbe* fProbe = nullptr;
};

TEST_F(InstallRequirementsTest, ExactlyTheFreeSpaceIsEnough)
{
    Volume(fDestination, 7, 5000, "Work");
    AddItem("a", 4000, "User Selected");
    AddItem("b", 1000, "User Selected");
    EXPECT_EQ(Check(), 1);
    EXPECT_TRUE(fDialogs->errors.empty());
    fSizes["b"] = 1001;
    EXPECT_EQ(Check(), 2);
    ASSERT_EQ(fDialogs->errors.size(), 1u);
    EXPECT_EQ(fDialogs->errors[0],
        "Installation requires 4.9 KB of disk space, and the destination volume 'Work' only "
        "has 4.9 KB free.");
}

TEST_F(InstallRequirementsTest, EachFileSystemNeedsRoomForWhatGoesThere)
{
    Volume(fDestination, 7, 10 * kMiB, "Work");
    std::string sounds = fs::path(std::getenv("XDG_DATA_HOME")) / "sounds";
    Volume(sounds, 8, 1 * kMiB, "Home");
    AddItem("a", 5 * kMiB, "User Selected");
    AddItem("b", 2 * kMiB, "User Sounds");
    EXPECT_EQ(Check(), 2);
    ASSERT_EQ(fDialogs->errors.size(), 1u);
    EXPECT_NE(fDialogs->errors[0].find("'Home' only has 1024.0 KB free"), std::string::npos)
        << fDialogs->errors[0];
}

TEST_F(InstallRequirementsTest, FreeSpaceAboveFourGigabytesDoesNotWrap)
{
    // 4.5 GB free would read as 0.5 GB in 32 bits.
    Volume(fDestination, 7, 4 * kGiB + kGiB / 2, "Big");
    AddItem("a", 1 * kGiB, "User Selected");
    EXPECT_EQ(Check(), 1);
    // A configured amount above 4 GB, only suggested: shown, then the check
    // goes on.
    BMessage amount;
    amount.AddDouble("value", 5.0 * double(kGiB));
    fInstaller->config.AddMessage("req_disk_space_amount", &amount);
    fInstaller->config.AddBool("req_disk_space_needed", true);
    EXPECT_EQ(Check(), 1);
    ASSERT_EQ(fDialogs->errors.size(), 1u);
    EXPECT_EQ(fDialogs->errors[0],
        "Installation suggests 5120.0 MB of disk space, and the destination volume 'Big' only has "
        "4608.0 MB free.");
    fInstaller->config.AddBool("req_disk_space_required", true);
    EXPECT_EQ(Check(), 2);
}

TEST_F(InstallRequirementsTest, RequiredMemoryMissingStopsAndSuggestedGoesOn)
{
    fProbe->memory = 6 * kGiB;
    fInstaller->config.AddBool("req_ram_needed", true);
    fInstaller->config.AddInt32("req_ram_amount", 8192);
    EXPECT_EQ(Check(), 1);
    ASSERT_EQ(fDialogs->errors.size(), 1u);
    EXPECT_EQ(fDialogs->errors[0],
        "Installation suggests 8192 MB of physical RAM, and only 6144 MB is available. You may "
        "run the application at your own risk.");
    fInstaller->config.AddBool("req_ram_required", true);
    EXPECT_EQ(Check(), 3);
    EXPECT_NE(fDialogs->errors.back().find("Installation can not continue."), std::string::npos);
}

TEST_F(InstallRequirementsTest, ALibraryFoundOnlyThroughTheLoaderCachePasses)
{
    std::string library = fRoot + "/libfake.so.1";
    unsigned char header[64] = { 0x7F, 'E', 'L', 'F', ELFCLASS64, ELFDATA2LSB, 1 };
    header[18] = EM_X86_64;
    std::ofstream(library, std::ios::binary).write(reinterpret_cast<const char*>(header), 64);
    fProbe->finder.SetCacheListing(
        "\tlibfake.so.1 (" + BPrivate::LibraryFinder::OwnAbi() + ") => " + library + "\n");
    BMessage libraries;
    libraries.AddBool("req_shared_librry_req", true);
    libraries.AddString("req_shared_library_name", "libfake.so.1");
    fInstaller->config.AddMessage("req_shared_library", &libraries);
    EXPECT_EQ(Check(), 1);
    EXPECT_TRUE(fDialogs->questions.empty());
}

TEST_F(InstallRequirementsTest, AMissingLibraryAsksAndARequiredOneOffersOnlyAbort)
{
    BMessage libraries;
    libraries.AddBool("req_shared_librry_req", false);
    libraries.AddString("req_shared_library_name", "libmissing.so.3");
    fInstaller->config.AddMessage("req_shared_library", &libraries);
    fDialogs->choices = { 1 };
    EXPECT_EQ(Check(), 1);
    ASSERT_EQ(fDialogs->buttonSets.size(), 1u);
    EXPECT_EQ(fDialogs->buttonSets[0], std::vector<std::string>({ "Abort", "Continue" }));
    EXPECT_EQ(fDialogs->questions[0],
        "The shared library 'libmissing.so.3' could not be found. The installation suggests "
        "that this library be present for the installed software to work properly.");
    fDialogs->choices = { 0 };
    EXPECT_EQ(Check(), 3);

    fInstaller->config.RemoveName("req_shared_library");
    libraries.ReplaceBool("req_shared_librry_req", true);
    fInstaller->config.AddMessage("req_shared_library", &libraries);
    EXPECT_EQ(Check(), 3);
    EXPECT_EQ(fDialogs->buttonSets.back(), std::vector<std::string>({ "Abort" }));
}

TEST_F(InstallRequirementsTest, ApplicationsAreLookedUpByTheSignatureThatEndsTheirName)
{
    fProbe->applications = { "application/x-vnd.Tarsel-Sketch", "gimp" };
    BMessage apps;
    apps.AddBool("req_app_req", true);
    apps.AddString("req_app_name", "Sketch (beta) (application/x-vnd.Tarsel-Sketch)");
    apps.AddString("req_app_name", "The GIMP (gimp)");
    fInstaller->config.AddMessage("req_apps", &apps);
    EXPECT_EQ(Check(), 1);
    apps.AddString("req_app_name", "No parentheses at all");
    fInstaller->config.ReplaceMessage("req_apps", &apps);
    EXPECT_EQ(Check(), 3);
    ASSERT_EQ(fDialogs->questions.size(), 1u);
    EXPECT_EQ(
        fDialogs->questions[0].rfind("The application 'No parentheses at all' could not", 0), 0u);
}

TEST_F(InstallRequirementsTest, ThePassActsOnEachResult)
{
    AddItem("a", 100, "User Selected");
    Volume(fDestination, 7, 10, "Tiny");
    Prepare();
    EXPECT_EQ(fConfig.Action(), InstallConfig::kPassNoSpace);
    EXPECT_FALSE(Lexists(fDestination + "/TarselNotes"));

    fProbe->volumes.clear();
    BMessage libraries;
    libraries.AddBool("req_shared_librry_req", true);
    libraries.AddString("req_shared_library_name", "libmissing.so.3");
    fInstaller->config.AddMessage("req_shared_library", &libraries);
    Prepare();
    // The window closes as after an installation; the outcome says otherwise.
    EXPECT_EQ(fConfig.Action(), InstallConfig::kPassDone);
    EXPECT_EQ(fConfig.Outcome(), InstallConfig::kOutcomeAborted);
    EXPECT_FALSE(Lexists(fDestination + "/TarselNotes"));
}

TEST_F(InstallRequirementsTest, TheLogSaysWhichFileMetEachLibrary)
{
    std::string library = fRoot + "/libfound.so.2";
    fProbe->libraries["libfound.so.2"] = library;
    BMessage libraries;
    libraries.AddBool("req_shared_librry_req", true);
    libraries.AddString("req_shared_library_name", "libfound.so.2");
    fInstaller->config.AddMessage("req_shared_library", &libraries);
    AddItem("a", 1, "User Selected");
    fInstaller->Configure(fConfig, fDestination);
    ASSERT_EQ(fConfig.Action(), InstallConfig::kPassDone);
    std::string log = ReadBytes(fDestination + "/TarselNotes/Log");
    EXPECT_NE(log.find("\tShared Libraries:\n\t\tlibfound.so.2 : " + library + " (test)\n"),
        std::string::npos)
        << log;
}

} // namespace
