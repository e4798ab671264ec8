#pragma once

#include <string>

namespace brenvik::test {

// Creates a fresh temporary folder and points HOME, the XDG_* folders,
// BRENVIK_ROOT, BRENVIK_ACTIONS_LOG and the D-Bus addresses into it, so that
// nothing a test or a benchmark does can reach the real home folder, the
// system folders or the desktop. The
// folder is removed again when the program ends normally.
void EnterSandbox();

// The sandbox folder made by EnterSandbox().
const std::string& SandboxRoot();

// A new, empty folder inside the sandbox, unique for this process.
std::string MakeTempFolder(const std::string& hint = "t");

// A file of the project's testdata/ folder.
inline std::string TestDataPath(const std::string& leaf)
{
#ifdef BRENVIK_TESTDATA
    return std::string(BRENVIK_TESTDATA) + "/" + leaf;
#else
    return "testdata/" + leaf;
#endif
}

} // namespace brenvik::test
