#pragma once

// What the installer asks when it finds installations of the same product
// that did not finish (stopped, failed or cut short, see
// InstallRemoval::FindUnfinished): whether to undo them before it installs
// again. Its texts are in the installer's table (TextId::kRollBack*).

#include <string>
#include <vector>

class RollBackOffer {
public:
    // The unfinished installations of `appName` in the current scope.
    static std::vector<std::string> Find(const std::string& appName);

    // Undoes them all; true when nothing was kept or failed. Lines of what
    // could not be undone go to *report when given.
    static bool RollBackAll(
        const std::vector<std::string>& journals, std::string* report = nullptr);
};
