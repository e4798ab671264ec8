#pragma once

// What the de-installer does until it removes anything: the install pass
// extracts it and gives it a configuration record of its own; run, it reads
// that record through InstallConfig and reports which product it would
// remove.

class KolvastReport {
public:
    // Returns the program's exit status.
    int Run();
};
