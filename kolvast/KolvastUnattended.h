#pragma once

// The de-installer without a window: removes the installation with the same
// rules as the window and reports on standard output, one line per thing
// removed, put back, kept or failed.

#include <cstdio>

class KolvastTarget;

class KolvastUnattended {
public:
    // Exit statuses.
    static constexpr int kExitRemoved = 0;
    // Something was kept, could not be done, or the record is doubtful.
    static constexpr int kExitIncomplete = 1;
    // Nothing to remove: no configuration or no readable record.
    static constexpr int kExitNoRecord = 2;

    // An earlier installation that a finished installation moved to the
    // trash stays there (reported as left) unless `putBackEarlier`.
    static int Run(const KolvastTarget& target, FILE* out = stdout, bool putBackEarlier = false);
};
