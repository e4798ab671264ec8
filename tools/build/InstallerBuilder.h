#pragma once

// Writes an installer executable from an installer project: a copy of the
// installer program with a resource container appended that holds the
// application information, the user texts in ten languages, the
// de-installer entry, the configuration record and one payload entry per file
// or folder (see InstallerFormat).

#include <optional>
#include <string>
#include <vector>

#include <SupportDefs.h>

#include <InstallerSignature.h>

#include "../common/ProjectConfig.h"

namespace brenvik {

struct BuildOptions {
    std::string projectFile;
    std::string output;
    // The program the resources are appended to, and the program stored as
    // the de-installer. Empty: brenvik-installer and brenvik-kolvast beside
    // the running tool.
    std::string installerProgram;
    std::string deinstallerProgram;
    // The publisher's private key file (SigningKey.h); empty: unsigned.
    std::string signingKey;
};

class InstallerBuilder {
public:
    // Writes options.output, replacing any file there only when the whole
    // installer is complete. Two builds of one project write the same
    // bytes, wherever the project lies and whoever builds it; no time later
    // than the environment's SOURCE_DATE_EPOCH is stored (a value that is
    // no number of seconds fails the build with B_BAD_VALUE). B_BAD_VALUE when the project has
    // problems (see Problems()); B_NOT_ALLOWED when the output would replace one of the build's
    // inputs; another error when a file cannot be read or written (see ErrorText()).
    status_t Build(const BuildOptions& options);

    const std::vector<ProjectProblem>& Problems() const { return fProblems; }
    // What the project reader noted without refusing the project.
    const std::vector<ProjectProblem>& Notes() const { return fNotes; }
    const std::string& ErrorText() const { return fErrorText; }
    // Who signed the last installer built, with the key's fingerprint; empty
    // when it is unsigned.
    std::string Publisher() const;

private:
    status_t WriteResources(const std::string& path, ProjectConfig& project);
    status_t WriteApplicationInfo(const std::string& path);
    status_t CheckOutput(const ProjectConfig& project);
    status_t Fail(status_t status, std::string text);

    BuildOptions fOptions;
    std::optional<int64> fLatestTime;
    std::vector<ProjectProblem> fProblems;
    std::vector<ProjectProblem> fNotes;
    std::string fErrorText;
    InstallerSignature::Signer fSigner;
};

} // namespace brenvik
