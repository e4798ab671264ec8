#pragma once

// Reads an install record's journal (InstallRecord.h) back into its header
// and its steps, each with what was begun and what came of it. The bytes are
// untrusted (a record may be damaged, cut short by a crash or edited): every
// size is checked, and a frame that is cut short or does not match its
// checksum ends the reading, as the end of what the installer managed to
// write.

#include <string>
#include <vector>

#include <Message.h>
#include <SupportDefs.h>

class InstallRecordReader {
public:
    enum step_state { kStepBegun, kStepDone, kStepFailed };

    struct Step {
        int32 number = 0;
        std::string kind;
        step_state state = kStepBegun;
        // The begun frame, and the done or failed frame once there is one.
        BMessage begun;
        BMessage result;
        // The fields of part frames, until the done or failed frame takes
        // them into `result`.
        BMessage parts;
    };

    InstallRecordReader();

    // Reads a journal file, or the journal of a record folder.
    status_t ReadFile(const char* path);
    // Reads journal bytes.
    status_t Read(const void* data, size_t size);
    // Reads only the header of a journal (its first frame).
    status_t ReadHeader(const char* path);

    // The journals in `folder` (one record folder each) whose header names
    // this product and installation folder: the records a new installation
    // there supersedes.
    static std::vector<std::string> FindRecords(
        const std::string& folder, const std::string& appName, const std::string& installFolder);

    const BMessage& Header() const { return fHeader; }
    const std::vector<Step>& Steps() const { return fSteps; }
    // The step of that number, or null.
    const Step* FindStep(int32 number) const;
    // "finished", "stopped", "failed", or empty when the journal has no end
    // (the installer was interrupted).
    const std::string& EndState() const { return fEndState; }
    int64 EndTime() const { return fEndTime; }
    // How many items failed in a finished installation.
    int32 Failures() const { return fFailures; }
    // The ids of the records that superseded this one.
    const std::vector<std::string>& SupersededBy() const { return fSupersededBy; }
    // Bytes after the last whole frame (a write cut short), and why they
    // were not read.
    size_t IgnoredBytes() const { return fIgnoredBytes; }
    const std::string& IgnoredReason() const { return fIgnoredReason; }

    // The whole record as text, one line a field (the form brenvik-inspect
    // prints).
    std::string Describe() const;

private:
    status_t AddFrame(const BMessage& frame);
    void Reset();

    BMessage fHeader;
    std::vector<Step> fSteps;
    std::string fEndState;
    int64 fEndTime;
    int32 fFailures = 0;
    std::vector<std::string> fSupersededBy;
    size_t fIgnoredBytes;
    std::string fIgnoredReason;
};
