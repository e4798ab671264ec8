#include "E2eSupport.h"

#include <Entry.h>
#include <InstallPassTestSupport.h>
#include <Node.h>
#include <Path.h>
#include <Resources.h>
#include <TypeConstants.h>

#include <XvfbServer.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace brenvik::e2e {

namespace fs = std::filesystem;

namespace {

constexpr time_t kFirstDate = 978307200; // 2001-01-01 00:00:00 UTC

void SetDate(const fs::path& path, time_t date)
{
    timespec times[2] = { { date, 0 }, { date, 0 } };
    utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

} // namespace

std::string CopySample()
{
    std::string sample = brenvik::test::TestDataPath("../examples/sample");
    std::string copy = brenvik::test::MakeTempFolder("sample") + "/sample";
    fs::copy(sample, copy, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    // Dates a day apart, files first, then the folders deepest first (adding
    // a file changes its folder's date).
    std::vector<fs::path> folders;
    time_t date = kFirstDate;
    for (auto& entry : fs::recursive_directory_iterator(copy + "/payload")) {
        if (entry.is_symlink())
            continue;
        if (entry.is_directory()) {
            folders.push_back(entry.path());
            continue;
        }
        SetDate(entry.path(), date += 86400);
    }
    chmod((copy + "/payload/ReadMe.txt").c_str(), 0640);
    chmod((copy + "/payload/Notes.app/notes").c_str(), 0755);
    if (SupportsAttributes(copy)) {
        BNode readMe((copy + "/payload/ReadMe.txt").c_str());
        readMe.WriteAttr("BEOS:TYPE", 'MIMS', 0, "text/plain", 11);
        BNode notes((copy + "/payload/Notes.app/notes").c_str());
        int32 priority = 5;
        notes.WriteAttr("run_priority", B_INT32_TYPE, 0, &priority, 4);
    }
    std::sort(folders.begin(), folders.end(),
        [](const fs::path& a, const fs::path& b) { return a.native().size() > b.native().size(); });
    for (const fs::path& folder : folders)
        SetDate(folder, date += 86400);
    return copy;
}

std::string ProgramPath(const std::string& name)
{
    return std::string(BRENVIK_BINARY_DIR) + "/bin/" + name;
}

bool HasProgram(const std::string& name)
{
    return RunCommand("command -v " + name).first == 0;
}

std::pair<int, std::string> RunCommand(const std::string& command)
{
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return { -1, "cannot run " + command };
    std::string output;
    char buffer[4096];
    size_t count;
    while ((count = fread(buffer, 1, sizeof(buffer), pipe)) > 0)
        output.append(buffer, count);
    int status = pclose(pipe);
    return { WIFEXITED(status) ? WEXITSTATUS(status) : -1, output };
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool SupportsAttributes(const std::string& folder)
{
    std::string probe = folder + "/.attribute-probe";
    std::ofstream(probe).close();
    BNode node(probe.c_str());
    bool works = node.WriteAttr("probe", B_STRING_TYPE, 0, "x", 1) == 1;
    node.Unset();
    fs::remove(probe);
    return works;
}

void ExpectSameTree(const std::string& source, const std::string& copy)
{
    struct stat from = {}, to = {};
    ASSERT_EQ(lstat(source.c_str(), &from), 0) << source;
    ASSERT_EQ(lstat(copy.c_str(), &to), 0) << copy << " is missing";
    ASSERT_EQ(from.st_mode & S_IFMT, to.st_mode & S_IFMT) << copy;
    if (S_ISLNK(from.st_mode)) {
        EXPECT_EQ(fs::read_symlink(source), fs::read_symlink(copy)) << copy;
        return;
    }
    EXPECT_EQ(from.st_mode & 0777, to.st_mode & 0777) << copy;
    EXPECT_EQ(from.st_mtime, to.st_mtime) << copy;
    if (S_ISREG(from.st_mode)) {
        EXPECT_EQ(ReadBytes(source), ReadBytes(copy)) << copy;
        return;
    }
    std::vector<std::string> sourceNames, copyNames;
    for (auto& entry : fs::directory_iterator(source))
        sourceNames.push_back(entry.path().filename());
    for (auto& entry : fs::directory_iterator(copy))
        copyNames.push_back(entry.path().filename());
    std::sort(sourceNames.begin(), sourceNames.end());
    std::sort(copyNames.begin(), copyNames.end());
    ASSERT_EQ(sourceNames, copyNames) << copy;
    for (const std::string& name : sourceNames)
        ExpectSameTree(source + "/" + name, copy + "/" + name);
}

brenvik::BuildOptions BuildOptionsFor(const std::string& projectFile, const std::string& output)
{
    brenvik::BuildOptions options;
    options.projectFile = projectFile;
    options.output = output;
    options.installerProgram = ProgramPath("brenvik-installer");
    options.deinstallerProgram = ProgramPath("brenvik-kolvast");
    return options;
}

status_t BuildInstaller(const std::string& projectFile, const std::string& output)
{
    brenvik::InstallerBuilder builder;
    return builder.Build(BuildOptionsFor(projectFile, output));
}

std::string Folder(directory_which which)
{
    BPath path;
    EXPECT_EQ(find_directory(which, &path, false, nullptr), B_OK);
    return path.Path();
}

void BuildSample(std::string* sample, std::string* installer, status_t* status)
{
    *sample = CopySample();
    *installer = brenvik::test::MakeTempFolder("built") + "/TarselNotes-Installer";
    *status = BuildInstaller(*sample + "/project.json", *installer);
}

testing::AssertionResult ConfigureSamplePass(InstallConfig& config, const std::string& installer,
    const std::string& destination, pass_test::TestDialogs** dialogs)
{
    BResources resources;
    if (resources.SetTo(installer.c_str(), 0, false) != B_OK)
        return testing::AssertionFailure() << "cannot open " << installer;
    if (config.Load(resources) != B_OK)
        return testing::AssertionFailure() << "cannot load " << installer;
    for (const char* leaf : { "Notes.app", "ReadMe.txt", "Sounds", "notes-latest" })
        config.MarkInstallFile(leaf, true);
    entry_ref ref;
    if (get_ref_for_path(destination.c_str(), &ref) != B_OK)
        return testing::AssertionFailure() << "no entry for " << destination;
    config.SetDestination(ref);
    config.SetInstallerPath(installer.c_str());
    auto testDialogs = std::make_unique<pass_test::TestDialogs>();
    if (dialogs != nullptr)
        *dialogs = testDialogs.get();
    config.SetDialogs(std::move(testDialogs));
    config.SetSystemProbe(std::make_unique<pass_test::TestProbe>());
    return testing::AssertionSuccess();
}

std::set<std::string> PathsBelow(const std::string& folder)
{
    std::set<std::string> paths;
    std::error_code error;
    for (auto entry = fs::recursive_directory_iterator(folder, error);
         entry != fs::recursive_directory_iterator(); entry.increment(error)) {
        std::string line = entry->path().string();
        if (entry->is_regular_file(error))
            line += " " + std::to_string(entry->file_size(error));
        paths.insert(line);
    }
    return paths;
}

std::string ShellEscaped(const std::string& text)
{
    std::string escaped;
    for (char c : text)
        escaped += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return escaped;
}

std::string BareRoot::Prepare(const std::string& installer)
{
    if (geteuid() != 0)
        return "chroot needs root";
    for (const char* tool : { "chroot", "unshare", "mount", "ldd", "env" }) {
        if (brenvik::test::FindProgram(tool).empty())
            return std::string(tool) + " is not installed";
    }
    fChroot = brenvik::test::FindProgram("chroot");
    fEnv = brenvik::test::FindProgram("env");
    fRoot = brenvik::test::MakeTempFolder("bare-root");
    std::error_code error;
    for (const char* folder : { "/proc", "/tmp", "/home", "/dest" })
        std::filesystem::create_directories(fRoot + folder, error);
    std::filesystem::copy_file(installer, fRoot + "/installer", error);
    std::filesystem::permissions(fRoot + "/installer", std::filesystem::perms::owner_all, error);
    if (error)
        return "the installer cannot be copied: " + error.message();
    auto [status, output]
        = RunCommand("unshare --mount --fork sh -c '" + ShellEscaped(Mounts()) + "'");
    if (status != 0)
        return "no mounts can be made here (" + output + ")";
    return "";
}

testing::AssertionResult BareRoot::CopyLibrariesOf(
    const std::string& file, std::set<std::string>* names)
{
    auto [status, listing] = RunCommand("ldd '" + ShellEscaped(file) + "'");
    if (status != 0)
        return testing::AssertionFailure() << "ldd " << file << ": " << listing;
    std::istringstream lines(listing);
    std::string line;
    std::regex entry(R"(^\s*(\S+)(?:\s+=>\s+(\S+))?\s+\(0x[0-9a-f]+\))");
    while (std::getline(lines, line)) {
        std::smatch match;
        if (!std::regex_search(line, match, entry))
            return testing::AssertionFailure() << "ldd " << file << " says: " << line;
        std::string name = std::filesystem::path(match[1].str()).filename();
        if (names != nullptr)
            names->insert(name);
        std::string path = match[2].matched ? match[2].str() : match[1].str();
        if (name == "linux-vdso.so.1")
            continue;
        if (path.empty() || path.front() != '/')
            return testing::AssertionFailure() << "ldd " << file << " says: " << line;
        std::error_code error;
        std::filesystem::create_directories(
            std::filesystem::path(fRoot + path).parent_path(), error);
        if (!std::filesystem::exists(fRoot + path, error))
            std::filesystem::copy_file(
                std::filesystem::canonical(path, error), fRoot + path, error);
        if (error)
            return testing::AssertionFailure() << path << ": " << error.message();
    }
    return testing::AssertionSuccess();
}

void BareRoot::Bind(const std::string& folder)
{
    std::error_code error;
    std::filesystem::create_directories(fRoot + folder, error);
    fBound.push_back(folder);
}

std::string BareRoot::Mounts() const
{
    std::string mounts = "mount --bind '" + ShellEscaped(fRoot) + "' '" + ShellEscaped(fRoot)
        + "' && mount -t proc proc '" + ShellEscaped(fRoot + "/proc") + "'";
    for (const std::string& folder : fBound)
        mounts += " && mount --bind '" + ShellEscaped(folder) + "' '" + ShellEscaped(fRoot + folder)
            + "'";
    return mounts;
}

std::pair<int, std::string> BareRoot::Run(
    const std::string& command, const std::string& environment) const
{
    std::string clean = fEnv
        + " -i PATH=/ HOME=/home XDG_CONFIG_HOME=/home/.config "
          "XDG_DATA_HOME=/home/.local/share XDG_CACHE_HOME=/home/.cache "
          "XDG_STATE_HOME=/home/.local/state BRENVIK_SCOPE=user BRENVIK_ROOT=/system "
          "BRENVIK_ACTIONS_LOG=/actions.log TMPDIR=/tmp "
        + environment + " ";
    std::string inside = Mounts() + " && exec " + clean + fChroot + " '" + ShellEscaped(fRoot)
        + "' " + command + " </dev/null";
    return RunCommand("unshare --mount --fork sh -c '" + ShellEscaped(inside) + "'");
}

} // namespace brenvik::e2e
