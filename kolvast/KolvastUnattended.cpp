#include "KolvastUnattended.h"

#include <InstallRemoval.h>

#include "KolvastTarget.h"

int KolvastUnattended::Run(const KolvastTarget& target, FILE* out, bool putBackEarlier)
{
    InstallRemoval removal;
    if (removal.SetTo(target.RecordPath()) != B_OK) {
        std::fprintf(out, "Nothing was removed: %s.\n", removal.Error().c_str());
        return kExitNoRecord;
    }
    removal.ChooseEarlierInstallation(putBackEarlier);
    std::fprintf(out, "Removing %s %s\n", target.AppName().c_str(), target.Version().c_str());
    removal.Run();
    std::fputs(removal.Report().c_str(), out);
    std::fprintf(out, "Removed %d, restored %d, kept %d, left %d, failed %d, problems %d.\n",
        int(removal.Count(InstallRemoval::kOutcomeRemoved)),
        int(removal.Count(InstallRemoval::kOutcomeRestored)),
        int(removal.Count(InstallRemoval::kOutcomeKept)),
        int(removal.Count(InstallRemoval::kOutcomeLeft)),
        int(removal.Count(InstallRemoval::kOutcomeFailed)),
        int(removal.Count(InstallRemoval::kOutcomeProblem)));
    if (!removal.LogPath().empty())
        std::fprintf(out, "Removal log: %s\n", removal.LogPath().c_str());
    if (!removal.RecordRemoved())
        std::fprintf(out, "The install record stays at %s.\n", removal.JournalPath().c_str());
    std::fflush(out);
    return removal.Complete() ? kExitRemoved : kExitIncomplete;
}
