#pragma once

// Helpers shared by the storage library's tests: small files, and the odd
// names that every file operation must handle.

#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <TestFiles.h>
#include <TestSandbox.h>

namespace lib_storage_test {

using brenvik::test::Exists;
using brenvik::test::IsFolder;
using brenvik::test::IsLink;
using brenvik::test::ReadFile;
using brenvik::test::WriteFile;

// A name a shell would have mangled or run.
struct OddName {
    const char* label;
    std::string name;
};

// Names holding a double quote, a command substitution, backticks, a
// newline, a leading '-', and the longest component the file system allows.
inline std::vector<OddName> OddNames()
{
    return {
        { "Plain", "plain name" },
        { "DoubleQuote", "say \"hello\"" },
        { "CommandSubstitution", "$(touch x)" },
        { "Backticks", "`touch x`; rm -rf x" },
        { "Newline", "first line\nsecond line" },
        { "LeadingDash", "-rf" },
        { "Backslash", "back\\slash 'single'" },
        { "LongestComponent", std::string(250, 'n') + "-long" },
    };
}

// A folder path built of `depth` components of 250 characters each, well
// past any fixed command buffer (and past B_PATH_NAME_LENGTH).
inline std::string DeepFolder(const std::string& base, int depth)
{
    std::string path = base;
    for (int i = 0; i < depth; i++) {
        path += "/" + std::string(249, char('a' + i)) + std::to_string(i);
        mkdir(path.c_str(), 0755);
    }
    return path;
}

} // namespace lib_storage_test
