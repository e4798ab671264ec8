#include "RollBackOffer.h"

#include "InstallRemoval.h"

std::vector<std::string> RollBackOffer::Find(const std::string& appName)
{
    if (appName.empty())
        return {};
    return InstallRemoval::FindUnfinished(appName);
}

bool RollBackOffer::RollBackAll(const std::vector<std::string>& journals, std::string* report)
{
    bool complete = true;
    for (const std::string& journal : journals) {
        std::string lines;
        if (InstallRemoval::RollBack(journal, &lines) != B_OK) {
            complete = false;
            if (report != nullptr)
                *report += lines;
        }
    }
    return complete;
}
