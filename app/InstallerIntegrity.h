#pragma once

// Whether the installer can be trusted, checked before its first step
// (window, wizard, unattended run or extraction alike): every resource
// against the table of contents the authoring tool wrote
// (InstallerManifest), then the publisher's signature of that table
// (InstallerSignature). A damaged or altered installer says which part, and
// that it should be downloaded again, instead of failing half way through an
// installation; a signature that does not hold stops it the same way.

#include <string>

#include <InstallerSignature.h>

class oLocalize;

struct InstallerTrust {
    // Empty when the installer is whole and its signature (if any) holds;
    // otherwise what is wrong, in the texts' language.
    std::string problem;
    InstallerSignature::Seal seal;
};

// Checks the installer at installerPath (empty: the running executable).
InstallerTrust CheckInstaller(const std::string& installerPath, oLocalize& texts);

// "Signed by <publisher>, key 3F2A 9C01 77BE 0D45" or "Unsigned".
std::string SignatureLine(const InstallerSignature::Seal& seal, oLocalize& texts);

// Empty when `seal` is a signature by the key whose fingerprint starts with
// `wanted` (or nothing is wanted); otherwise why the installer is refused.
std::string RequiredKeyProblem(
    const InstallerSignature::Seal& seal, const std::string& wanted, oLocalize& texts);
