// brenvik-config-demo PROJECT.json [RECORD-FILE]
//
// Shows the configuration object at work: builds the configuration record
// of an installer project, writes it flattened (as it is stored in an
// installer), reads it back into an InstallConfig, selects the items of the
// first install type, prints the configuration and runs a pass on its worker
// thread, printing the messages the worker sends.

#include <Looper.h>
#include <Messenger.h>

#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <memory>
#include <mutex>
#include <vector>

#include <InstallConfig.h>
#include <InstallerFormat.h>

#include "../common/ProjectConfig.h"

namespace {

namespace Field = InstallerFormat::Field;

// Receives what the worker sends and wakes main() at the end of the pass.
class Listener : public BLooper {
public:
    Listener()
        : BLooper("listener")
    {
    }

    void MessageReceived(BMessage* message) override
    {
        switch (message->what) {
        case InstallConfig::kMsgInstallStatus: {
            const char* text = "";
            message->FindString(InstallConfig::kStatusField, &text);
            std::printf("  status: %s\n", text);
            break;
        }
        case LibThread::kLibThreadDone: {
            const char* name = "";
            int32 status = 0;
            message->FindString("name", &name);
            message->FindInt32("status", &status);
            std::printf("  worker \"%s\" finished with status %d\n", name, int(status));
            std::lock_guard guard(fLock);
            fDone = true;
            fCondition.notify_all();
            break;
        }
        default:
            BLooper::MessageReceived(message);
        }
    }

    void WaitForEnd()
    {
        std::unique_lock guard(fLock);
        fCondition.wait(guard, [&] { return fDone; });
    }

private:
    std::mutex fLock;
    std::condition_variable fCondition;
    bool fDone = false;
};

void PrintProduct(const InstallConfig& config)
{
    std::printf("Product: %s %s, %d payload items, de-installer %s\n",
        config.GetString(Field::kAppName, ""), config.GetString(Field::kVersion, ""),
        int(config.CountInstallFiles()), config.IncludeDeinstaller() ? "included" : "not included");
}

// Selects the items of the first install type, as the window does when the
// user picks it.
void SelectFirstGroup(InstallConfig& config)
{
    BMessage groups;
    const char* firstGroup = nullptr;
    if (config.FindMessage(Field::kGroups, &groups) == B_OK)
        groups.FindString(Field::kGroupName, &firstGroup);
    config.SelectGroup(firstGroup);
    BMessage instructions;
    config.FindMessage(Field::kInstallInstructions, &instructions);
    BMessage item;
    for (int32 i = 0; instructions.FindMessage(Field::kInstallFile, i, &item) == B_OK; i++) {
        const char* leaf = LeafOf(item.GetString(Field::kFileName, ""));
        std::printf("  item %d: %-16s %8ld bytes  groups \"%s\"  %s\n", int(i), leaf,
            config.GetFileSize(leaf), item.GetString(Field::kItemGroups, ""),
            item.GetBool(Field::kInstallToSystem, false) ? "selected" : "-");
    }
    std::printf("Install type \"%s\": %d of %d items selected\n\n",
        firstGroup != nullptr ? firstGroup : "", int(config.CountSelectedFiles()),
        int(config.CountInstallFiles()));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: brenvik-config-demo PROJECT.json [RECORD-FILE]\n");
        return 2;
    }

    brenvik::ProjectConfig project = brenvik::LoadProjectConfig(argv[1]);
    if (!project.IsValid()) {
        for (auto& problem : project.problems)
            std::fprintf(
                stderr, "%s: %s: %s\n", argv[1], problem.path.c_str(), problem.text.c_str());
        return 1;
    }

    // Store the record as an installer carries it: flattened, BeOS R5 form.
    ssize_t size = project.configuration.FlattenedSize();
    std::vector<char> record(size_t(size > 0 ? size : 0));
    if (size <= 0 || project.configuration.Flatten(record.data(), size) != B_OK) {
        std::fprintf(stderr, "cannot flatten the configuration\n");
        return 1;
    }
    if (argc == 3) {
        std::ofstream out(argv[2], std::ios::binary);
        out.write(record.data(), std::streamsize(record.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", argv[2]);
            return 1;
        }
        std::printf("Configuration record: %s (%zd bytes)\n", argv[2], size);
    }

    InstallConfig config;
    if (config.Load(record.data(), record.size()) != B_OK) {
        std::fprintf(stderr,
            "Error obtaining configuration in installer. "
            "The installer was improperly built.\n");
        return 1;
    }
    PrintProduct(config);
    SelectFirstGroup(config);
    std::printf("The configuration prints itself (worker state, then the items):\n");
    std::fflush(stdout);
    config.PrintToStream();
    std::fflush(stdout);

    std::printf("\nRunning a pass on the worker thread \"install\":\n");
    auto* listener = new Listener;
    listener->Run();
    // No window: the pass's messages are printed. No destination was chosen
    // either, so the pass says so and ends there.
    config.SetDialogs(std::make_unique<ConsoleDialogs>());
    config.Go("install", new BMessenger(listener), B_NORMAL_PRIORITY, false);
    listener->WaitForEnd();
    listener->Lock();
    listener->Quit();
    return 0;
}
