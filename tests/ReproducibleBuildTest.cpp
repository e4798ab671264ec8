// End to end: the sample product, copied to two folders and built there by
// two ordinary users with different umasks, from sources whose times differ,
// gives the same installer byte for byte, and the installer names nothing of
// the machine it was built on (the project's folder, the home folder).
//
// Building as another user needs root (CI runs as root): the builds drop to
// two user ids no account has, with setpriv.

#include "E2eSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using namespace brenvik::e2e;

constexpr time_t kEpoch = 1700000000; // 2023-11-14, after every date of the sample

struct Builder {
    uid_t id;
    const char* umask;
    // The project's folder below the test's folder: its names say whose
    // machine it is, so that any trace of them in an installer is found.
    const char* folder;
};

const Builder kBuilders[2]
    = { { 64123, "022", "alpha-7c1e/deep/projects/tarsel" }, { 64124, "077", "beta-93fd/tarsel" } };

struct TimesCase {
    const char* name;
    // Sources later than the epoch, each copy at another time, held to
    // SOURCE_DATE_EPOCH; otherwise the copies keep the sample's modification
    // times and differ only in when they were read (and made).
    bool epoch;
};

void PrintTo(const TimesCase& times, std::ostream* out)
{
    *out << times.name;
}

class ReproducibleBuildTest : public testing::TestWithParam<TimesCase> {
protected:
    void SetUp() override
    {
        if (geteuid() != 0)
            GTEST_SKIP() << "building as two ordinary users needs root (as in CI)";
        if (!HasProgram("setpriv"))
            GTEST_SKIP() << "setpriv (util-linux) is not installed";
        const std::string& root = brenvik::test::SandboxRoot();
        struct stat info;
        ASSERT_EQ(stat(root.c_str(), &info), 0);
        fSandboxMode = info.st_mode & 07777;
        // The users pass through the sandbox to their own folders.
        ASSERT_EQ(chmod(root.c_str(), fSandboxMode | 0111), 0);
        fFolder = brenvik::test::MakeTempFolder("reproducible");
        ASSERT_EQ(chmod(fFolder.c_str(), 0711), 0);
        auto [status, output]
            = AsUser(kBuilders[0], fFolder, "test -x '" + ProgramPath("brenvik-build") + "'");
        if (status != 0)
            GTEST_SKIP() << "the sandbox or the programs of this build are out of an ordinary "
                            "user's reach: "
                         << output;
    }

    void TearDown() override
    {
        if (fSandboxMode != 0)
            chmod(brenvik::test::SandboxRoot().c_str(), fSandboxMode);
    }

    // Runs a shell command line as the builder, in `folder`, with an
    // environment of its own below the test's folder.
    std::pair<int, std::string> AsUser(const Builder& builder, const std::string& folder,
        const std::string& command, const std::string& environment = "")
    {
        std::string home = fFolder + "/home-" + std::to_string(builder.id);
        std::string id = std::to_string(builder.id);
        return RunCommand("setpriv --reuid=" + id + " --regid=" + id
            + " --clear-groups --inh-caps=-all env -i PATH=/usr/bin:/bin LANG=C HOME='" + home
            + "' XDG_CONFIG_HOME='" + home + "/.config' XDG_DATA_HOME='" + home
            + "/.local/share' XDG_CACHE_HOME='" + home + "/.cache' XDG_STATE_HOME='" + home
            + "/.local/state' TMPDIR='" + home + "' BRENVIK_ROOT='" + home
            + "/root' BRENVIK_ACTIONS_LOG='" + home + "/actions.log' " + environment
            + " sh -c \"cd '" + folder + "' && umask " + builder.umask + " && " + command + "\"");
    }

    // A copy of the sample for the builder, owned by it, with the sources'
    // times moved to `date` (when given) and its files last read at
    // another time for each builder.
    std::string CopyFor(const Builder& builder, const std::string& sample, time_t date)
    {
        std::string project = fFolder + "/" + builder.folder;
        fs::create_directories(fs::path(project).parent_path());
        EXPECT_EQ(RunCommand("cp -a '" + sample + "' '" + project + "'").first, 0);
        std::string home = fFolder + "/home-" + std::to_string(builder.id);
        fs::create_directories(home);
        std::string top = fFolder + "/" + fs::path(builder.folder).begin()->string();
        for (const std::string& owned : { top, home }) {
            std::string id = std::to_string(builder.id);
            EXPECT_EQ(RunCommand("chown -R " + id + ":" + id + " '" + owned + "'").first, 0);
        }
        time_t read = 1750000000 + time_t(builder.id);
        for (auto& entry : fs::recursive_directory_iterator(project)) {
            timespec times[2] = { { read, 0 }, { date, 0 } };
            if (date == 0)
                times[1].tv_nsec = UTIME_OMIT;
            utimensat(AT_FDCWD, entry.path().c_str(), times, AT_SYMLINK_NOFOLLOW);
        }
        return project;
    }

    std::string fFolder;
    mode_t fSandboxMode = 0;
};

TEST_P(ReproducibleBuildTest, TwoBuildsAreTheSameBytesAndNameNothingOfTheirMachine)
{
    std::string sample = CopySample();
    std::string installers[2];
    std::vector<std::string> traces = { brenvik::test::SandboxRoot(), fFolder };
    for (int i = 0; i < 2; i++) {
        const Builder& builder = kBuilders[i];
        time_t date = GetParam().epoch ? kEpoch + 1000 * (i + 1) : 0;
        std::string project = CopyFor(builder, sample, date);
        std::string home = fFolder + "/home-" + std::to_string(builder.id);
        std::string output = home + "/out";
        ASSERT_EQ(AsUser(builder, home, "mkdir out").first, 0);
        std::string environment
            = GetParam().epoch ? "SOURCE_DATE_EPOCH=" + std::to_string(kEpoch) : "";
        auto [status, text] = AsUser(builder, project,
            "'" + ProgramPath("brenvik-build") + "' project.json -o '" + output
                + "/TarselNotes-Installer'",
            environment);
        ASSERT_EQ(status, 0) << text;
        installers[i] = output + "/TarselNotes-Installer";
        traces.insert(traces.end(), { project, home, fs::path(builder.folder).begin()->string() });
    }
    std::string first = ReadBytes(installers[0]);
    std::string second = ReadBytes(installers[1]);
    ASSERT_FALSE(first.empty());
    if (first != second) {
        auto [status, differences]
            = RunCommand("cmp -l '" + installers[0] + "' '" + installers[1] + "' | head -n 20");
        ADD_FAILURE() << "the two installers differ (" << first.size() << " and " << second.size()
                      << " bytes); cmp -l says:\n"
                      << differences;
    }
    for (const std::string& trace : traces) {
        EXPECT_EQ(first.find(trace), std::string::npos) << "the installer names " << trace;
    }
}

INSTANTIATE_TEST_SUITE_P(Times, ReproducibleBuildTest,
    testing::Values(TimesCase { "SameSourcesReadAtOtherTimes", false },
        TimesCase { "LaterSourcesHeldToTheEpoch", true }),
    [](const testing::TestParamInfo<TimesCase>& param) { return std::string(param.param.name); });

} // namespace
