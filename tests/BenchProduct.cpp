#include "BenchProduct.h"

#include <Entry.h>
#include <InstallConfig.h>
#include <InstallerBuilder.h>
#include <Resources.h>
#include <TestSandbox.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace brenvik::bench {

namespace fs = std::filesystem;

namespace {

void WriteItems(const std::string& folder, size_t totalBytes, const FileBytes& bytes)
{
    size_t fileSize = totalBytes / kFileCount;
    for (int i = 0; i < kFileCount; i++) {
        std::string sub
            = folder + "/item" + std::to_string(i % kItemCount) + "/d" + std::to_string(i / 100);
        fs::create_directories(sub);
        std::ofstream(sub + "/file" + std::to_string(i), std::ios::binary) << bytes(i, fileSize);
    }
}

} // namespace

double Seconds(const std::chrono::steady_clock::time_point& start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

Product BuildProduct(const std::string& name, const FileBytes& bytes)
{
    Product product;
    const char* megabytes = std::getenv("BRENVIK_BENCH_MB");
    size_t total = size_t(megabytes != nullptr ? std::atoi(megabytes) : 200) * 1024 * 1024;
    setenv("BRENVIK_SCOPE", "user", 1);
    product.root = brenvik::test::MakeTempFolder(name);
    WriteItems(product.root + "/payload", total, bytes);
    std::string items;
    for (int i = 0; i < kItemCount; i++) {
        items += std::string(i == 0 ? "" : ",") + R"({ "source": "payload/item)" + std::to_string(i)
            + R"(", "install_meta": {
                "destination": "User Selected", "destination_exists": "Replace",
                "link": "None", "link_exists": "Replace", "deinstallable": "True" } })";
    }
    std::ofstream(product.root + "/project.json") << R"({ "app_name": "Bench", "version": "1",
            "opt_created_folder": "Bench", "opt_log": true, "install_instructions": [ )"
                                                  << items << "] }";
    brenvik::BuildOptions options;
    options.projectFile = product.root + "/project.json";
    product.installer = product.root + "/Installer";
    options.output = product.installer;
    options.installerProgram = std::string(BRENVIK_BINARY_DIR) + "/bin/brenvik-installer";
    options.deinstallerProgram = std::string(BRENVIK_BINARY_DIR) + "/bin/brenvik-kolvast";
    brenvik::InstallerBuilder builder;
    product.status = builder.Build(options);
    return product;
}

bool InstallAll(const std::string& installer, const std::string& into)
{
    fs::create_directories(into);
    InstallConfig config;
    BResources resources;
    resources.SetTo(installer.c_str(), 0, false);
    if (config.Load(resources) != B_OK)
        return false;
    for (int i = 0; i < kItemCount; i++)
        config.MarkInstallFile(("item" + std::to_string(i)).c_str(), true);
    entry_ref ref;
    get_ref_for_path(into.c_str(), &ref);
    config.SetDestination(ref);
    config.SetInstallerPath(installer.c_str());
    config.SetDialogs(std::make_unique<ConsoleDialogs>());
    return config.Action() == InstallConfig::kPassDone
        && config.Outcome() == InstallConfig::kOutcomeSucceeded;
}

} // namespace brenvik::bench
