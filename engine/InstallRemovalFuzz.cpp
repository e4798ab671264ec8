// libFuzzer target: the removal (InstallRemoval) on install records that were
// damaged or written to do harm. A real installation is made once into a
// sandbox (a product with a folder item, a file that displaces one of the
// user's, a link, a de-installer, and blocks in ~/.profile, UserBootscript
// and UserSetupEnvironment); beside it are the user's own files: a folder of
// canaries (a letter, an empty dot file, a script, a folder named like a
// scratch folder, a desktop entry of the kind Brenvik writes), the user's
// lines in ~/.profile and the user's file that the installation moved aside.
//
// Each input is the record the removal then reads, as InstallRecordReader
// reads it: a whole journal (when it starts with the journal's signature),
// or else changes to the real installation's journal, each five bytes (a
// 32-bit little-endian offset into the journal's frames and a byte XORed in
// there), so that mutations reach the record's fields rather than stop at
// the first frame's checksum. Either way every frame's checksum is made to
// match before the journal is written. Before each run the sandbox is put
// back as the installation left it; after it, the run stops (abort) when a
// canary is gone or changed, the user's lines are not in ~/.profile, or the
// contents of the user's displaced file are nowhere in the sandbox.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <Entry.h>
#include <Message.h>

#include <LibAppResource.h>
#include <LibNode.h>
#include <LibString.h>
#include <LocalizedTextTable.h>

#include "InstallConfig.h"
#include "InstallRecord.h"
#include "InstallRemoval.h"
#include "InstallServices.h"
#include "InstallerFormat.h"
#include "ScriptTargets.h"

namespace {

namespace fs = std::filesystem;

constexpr const char kSignature[] = "BRVKJRN1";
constexpr size_t kSignatureSize = 8;
constexpr const char* kUsersLines = "# the user's own\nexport EDITOR=vi\n";
constexpr const char* kUsersConf = "the user's own Velk.conf";

std::string gRoot;
std::string gHome;
std::string gApps;
std::string gCanaries;
std::string gJournal;
std::string gSeed;

// One entry of the sandbox as the installation left it.
struct Entry {
    std::string path;
    char kind; // 'd' folder, 'f' file, 'l' link
    mode_t mode;
    std::string bytes; // a file's contents or a link's target
    std::string tag; // the "InstallBy" attribute, when there is one
};
std::vector<Entry> gInstalled;
std::map<std::string, std::string> gCanaryFiles;

[[noreturn]] void Fault(const std::string& what)
{
    std::fprintf(stderr, "InstallRemovalFuzz: %s\n", what.c_str());
    std::abort();
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteBytes(const std::string& path, const std::string& bytes, mode_t mode = 0644)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    chmod(path.c_str(), mode);
}

class QuietDialogs : public InstallDialogs {
public:
    void Error(const std::string&) override { }
    void Info(const std::string&) override { }
    int32 Choose(const std::string&, const std::vector<std::string>& buttons, alert_kind) override
    {
        return int32(buttons.size()) - 1;
    }
    ReplaceAnswer AskReplace(const std::string&, const std::string&, const std::string&, bool,
        const std::string&) override
    {
        return ReplaceAnswer();
    }
};

BMessage Item(
    const std::string& source, const char* destination, const char* exists, const char* link)
{
    BMessage file;
    file.AddString("file_name", source.c_str());
    file.AddInt8("file_type", 0);
    struct stat info = {};
    lstat(source.c_str(), &info);
    file.AddInt32("file_size", int32(info.st_size));
    file.AddInt32("file_size", int32(info.st_size));
    file.AddInt64("file_creation", 977961600);
    file.AddInt64("file_modified", 977961600);
    file.AddInt64("file_accessed", 977961660);
    BMessage meta;
    meta.AddString("destination", destination);
    meta.AddString("destination_exists", exists);
    meta.AddString("link", link);
    meta.AddString("link_exists", "Replace");
    meta.AddString("deinstallable", "True");
    file.AddMessage("install_meta", &meta);
    file.AddBool("install_to_system", true);
    return file;
}

// Makes the installer file and runs the install pass; returns the journal.
std::string Install()
{
    std::string source = gRoot + "/payload";
    WriteBytes(source + "/Velk/bin/tool", "#!/bin/sh\necho Velk\n", 0755);
    WriteBytes(source + "/Velk/doc/ReadMe", "read me");
    fs::create_symlink("bin/tool", source + "/Velk/tool");
    WriteBytes(source + "/Velk.conf", "setting=Velk");
    std::string installer = gRoot + "/installer";
    std::ofstream(installer).close();
    {
        LibAppResource resources(installer.c_str(), 2);
        if (LocalizedTextTable::AddToResources(resources) != B_OK
            || !resources.AddEntry("/bin/true", 2001, "Kolvast", 1)
            || !resources.AddEntry((source + "/Velk").c_str(), 2100, "Velk", 1)
            || !resources.AddEntry((source + "/Velk.conf").c_str(), 2101, "Velk.conf", 1)
            || resources.Sync() != B_OK)
            Fault("cannot make the installer");
    }
    BMessage record;
    record.AddString("app_name", "Velk");
    record.AddString("version", "1.0");
    record.AddString("company", "Tarsel Software");
    record.AddString("opt_created_folder", "Velk");
    record.AddBool("opt_log", true);
    record.AddBool("opt_create_startup", true);
    record.AddBool("edit_bootscript", true);
    record.AddString("edit_bootscript_tag", "VELK");
    record.AddString("edit_bootscript_contents", "velk-daemon &");
    record.AddBool("edit_setup_env", true);
    record.AddString("edit_setup_env_tag", "VELK");
    record.AddString("edit_setup_env_contents", "export VELK_HOME=\"$HOME/Velk\"");
    record.AddBool("edit_profile", true);
    record.AddString("edit_profile_tag", "VELK");
    record.AddString("edit_profile_contents", "export PATH=\"$PATH:$HOME/Velk/bin\"");
    BMessage instructions;
    BMessage folderItem = Item(source + "/Velk", "User Selected", "Replace", "Shared");
    BMessage fileItem = Item(source + "/Velk.conf", "Shared", "Rename", "None");
    instructions.AddMessage("install_file", &folderItem);
    instructions.AddMessage("install_file", &fileItem);
    record.AddMessage("install_instructions", &instructions);
    BMessage folders;
    for (const auto& [name, root] : { std::pair<const char*, int32> { "Shared", 3006 },
             std::pair<const char*, int32> { "StartUp", int32(B_USER_BOOT_DIRECTORY) } }) {
        BMessage folder;
        folder.AddString("custom_folder_name", name);
        folder.AddInt32("custom_root_dir", root);
        folder.AddString("custom_sub_dir", name);
        folder.AddBool("custom_replace_existing", false);
        folders.AddMessage("custom_folder", &folder);
    }
    record.AddMessage("custom_folder", &folders);
    std::vector<char> flat(size_t(record.FlattenedSize()));
    record.Flatten(flat.data(), ssize_t(flat.size()));

    InstallConfig config;
    if (config.Load(flat.data(), flat.size()) != B_OK)
        Fault("cannot load the configuration");
    entry_ref destination;
    if (get_ref_for_path(gApps.c_str(), &destination) != B_OK)
        Fault("no destination");
    config.SetDestination(destination);
    config.SetInstallerPath(installer.c_str());
    config.SetClock([] { return time_t(977961600); });
    config.SetDialogs(std::make_unique<QuietDialogs>());
    config.SetSystemProbe(std::make_unique<MachineProbe>());
    if (config.Action() != InstallConfig::kPassDone
        || config.Outcome() != InstallConfig::kOutcomeSucceeded)
        Fault("the installation failed");
    return config.RecordPath();
}

// What the installation left in the user's folders, Brenvik's records and
// removal logs apart.
std::vector<Entry> Capture()
{
    std::vector<Entry> entries;
    std::string state = gHome + "/.local/share/brenvik";
    for (const std::string& top : { gHome, gApps }) {
        std::error_code error;
        for (auto it = fs::recursive_directory_iterator(top, error);
             !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
            std::string path = it->path().string();
            if (path == state + "/installs" || path == state + "/removals") {
                it.disable_recursion_pending();
                continue;
            }
            struct stat info;
            if (lstat(path.c_str(), &info) != 0)
                continue;
            Entry entry { path, 'f', mode_t(info.st_mode & 07777), {}, {} };
            if (S_ISLNK(info.st_mode)) {
                entry.kind = 'l';
                entry.bytes = fs::read_symlink(path).string();
            } else if (S_ISDIR(info.st_mode)) {
                entry.kind = 'd';
            } else if (S_ISREG(info.st_mode)) {
                entry.bytes = ReadBytes(path);
            } else {
                continue;
            }
            if (entry.kind != 'l') {
                LibString tag;
                if (LibNode(path.c_str())
                        .ReadStringAttr(InstallerFormat::kDeinstallTagAttribute, tag)
                    >= 0)
                    entry.tag = static_cast<const char*>(tag);
            }
            entries.push_back(std::move(entry));
        }
    }
    return entries;
}

void RemoveTree(const std::string& path)
{
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(path, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_directory(error) && !it->is_symlink(error))
            chmod(it->path().c_str(), 0700);
    }
    fs::remove_all(path, error);
}

// Puts the sandbox back as the installation left it.
void Restore()
{
    RemoveTree(gHome);
    RemoveTree(gApps);
    fs::create_directories(gHome);
    fs::create_directories(gApps);
    for (const Entry& entry : gInstalled) {
        if (entry.kind == 'd') {
            mkdir(entry.path.c_str(), 0700);
        } else if (entry.kind == 'l') {
            if (symlink(entry.bytes.c_str(), entry.path.c_str()) != 0)
                Fault("cannot restore " + entry.path);
        } else {
            std::ofstream(entry.path, std::ios::binary) << entry.bytes;
            chmod(entry.path.c_str(), entry.mode | S_IWUSR);
        }
        if (!entry.tag.empty())
            LibNode(entry.path.c_str())
                .WriteStringAttr(InstallerFormat::kDeinstallTagAttribute, entry.tag.c_str());
    }
    // Modes last, innermost first, so that read-only folders could be filled.
    for (auto it = gInstalled.rbegin(); it != gInstalled.rend(); ++it) {
        if (it->kind != 'l')
            chmod(it->path.c_str(), it->mode);
    }
}

// The journal from an input: a whole one, or the seed with the input's
// changes; every frame's checksum made to match.
std::string JournalOf(const uint8_t* data, size_t size)
{
    std::string bytes;
    if (size >= kSignatureSize && std::memcmp(data, kSignature, kSignatureSize) == 0) {
        bytes.assign(reinterpret_cast<const char*>(data), size);
    } else {
        bytes = gSeed;
        for (size_t at = 0; at + 5 <= size; at += 5) {
            uint32 offset = uint32(data[at]) | uint32(data[at + 1]) << 8
                | uint32(data[at + 2]) << 16 | uint32(data[at + 3]) << 24;
            size_t place = kSignatureSize + offset % (bytes.size() - kSignatureSize);
            bytes[place] = char(uint8_t(bytes[place]) ^ data[at + 4]);
        }
    }
    size_t at = kSignatureSize;
    while (at + 8 <= bytes.size()) {
        uint32 length = uint32(uint8_t(bytes[at])) | uint32(uint8_t(bytes[at + 1])) << 8
            | uint32(uint8_t(bytes[at + 2])) << 16 | uint32(uint8_t(bytes[at + 3])) << 24;
        if (length > bytes.size() - at - 8)
            break;
        uint32 crc = InstallRecord::Crc32(bytes.data() + at + 8, length);
        for (int b = 0; b < 4; b++)
            bytes[at + 4 + b] = char(crc >> (8 * b));
        at += 8 + length;
    }
    return bytes;
}

// Writes the journal where the installation's record was, private as it was.
void WriteJournal(const std::string& bytes)
{
    std::string folder = fs::path(gJournal).parent_path().string();
    fs::create_directories(folder);
    chmod(folder.c_str(), 0700);
    WriteBytes(gJournal, bytes, 0600);
}

// Every file's contents under a folder.
void CollectContents(const std::string& folder, std::multiset<std::string>* contents)
{
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_regular_file(error) && !it->is_symlink(error))
            contents->insert(ReadBytes(it->path().string()));
    }
}

void CheckCanaries()
{
    for (const auto& [path, bytes] : gCanaryFiles) {
        struct stat info;
        if (lstat(path.c_str(), &info) != 0)
            Fault("the user's " + path + " is gone");
        if (bytes == "folder" ? !S_ISDIR(info.st_mode)
                              : !S_ISREG(info.st_mode) || ReadBytes(path) != bytes)
            Fault("the user's " + path + " was changed");
    }
    if (ReadBytes(gHome + "/.profile").find(kUsersLines) == std::string::npos)
        Fault("the user's lines in ~/.profile are gone");
    std::multiset<std::string> contents;
    CollectContents(gHome, &contents);
    CollectContents(gApps, &contents);
    if (contents.count(kUsersConf) == 0)
        Fault("the user's displaced Velk.conf is gone");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const char* temporary = std::getenv("TMPDIR");
    std::string pattern
        = std::string(temporary != nullptr && temporary[0] == '/' ? temporary : "/tmp")
        + "/brenvik-removal-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        Fault("no sandbox");
    gRoot = pattern;
    // Gone with the run, unless the run stops on a fault (then it is there
    // to look at).
    std::atexit([] { RemoveTree(gRoot); });
    gHome = gRoot + "/home";
    gApps = gRoot + "/Apps";
    gCanaries = gHome + "/Mine";
    fs::create_directories(gApps);
    fs::create_directories(gHome + "/.config");
    setenv("HOME", gHome.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (gHome + "/.config").c_str(), 1);
    setenv("XDG_DATA_HOME", (gHome + "/.local/share").c_str(), 1);
    setenv("XDG_STATE_HOME", (gHome + "/.local/state").c_str(), 1);
    setenv("XDG_CACHE_HOME", (gHome + "/.cache").c_str(), 1);
    setenv("BRENVIK_ROOT", (gRoot + "/system").c_str(), 1);
    setenv("BRENVIK_SCOPE", "user", 1);
    setenv("BRENVIK_ACTIONS_LOG", (gRoot + "/actions.log").c_str(), 1);
    setenv("BRENVIK_DISPLAY", "headless", 1);
    unsetenv("ZDOTDIR");

    WriteBytes(gHome + "/.profile", kUsersLines);
    WriteBytes(gHome + "/Shared/Velk.conf", kUsersConf);
    gCanaryFiles = {
        { gCanaries + "/letter.txt", "the user's letter" },
        { gCanaries + "/.hushlogin", "" },
        { gCanaries + "/bin/my-script.sh", "#!/bin/sh\necho mine\n" },
        { gCanaries + "/.brenvik-foo/notes.txt", "the user's notes" },
        { gCanaries + "/entry.desktop",
            "[Desktop Entry]\nType=Application\nName=Mine\nExec=mine\nX-Brenvik-Managed=true\n" },
        { gCanaries + "/Empty", "folder" },
    };
    for (const auto& [path, bytes] : gCanaryFiles) {
        if (bytes == "folder")
            fs::create_directories(path);
        else
            WriteBytes(path, bytes);
    }

    gJournal = Install();
    gSeed = ReadBytes(gJournal);
    if (gSeed.size() <= kSignatureSize)
        Fault("no install record");
    gInstalled = Capture();

    // The harness itself: the sandbox comes back as it was, and the record
    // as it was written removes the whole installation and nothing else.
    Restore();
    std::vector<Entry> restored = Capture();
    if (restored.size() != gInstalled.size())
        Fault("the sandbox does not come back as the installation left it");
    for (size_t i = 0; i < restored.size(); i++) {
        const Entry& a = restored[i];
        const Entry& b = gInstalled[i];
        if (a.path != b.path || a.kind != b.kind || a.mode != b.mode || a.bytes != b.bytes
            || a.tag != b.tag)
            Fault("the sandbox does not come back as it was at " + a.path);
    }
    WriteJournal(gSeed);
    InstallRemoval removal;
    if (removal.SetTo(gJournal) != B_OK || removal.Run() != B_OK || !removal.Complete())
        Fault("the installation's own record does not remove it: " + removal.Error() + "\n"
            + removal.Report());
    CheckCanaries();
    if (fs::exists(gApps + "/Velk") || ReadBytes(gHome + "/.profile") != kUsersLines
        || ReadBytes(gHome + "/Shared/Velk.conf") != kUsersConf)
        Fault("the installation's own record leaves part of it:\n" + removal.Report());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Restore();
    WriteJournal(JournalOf(data, size));
    InstallRemoval removal;
    if (removal.SetTo(gJournal) == B_OK)
        removal.Run();
    CheckCanaries();
    return 0;
}
