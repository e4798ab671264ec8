#pragma once

// Turns an installer project (JSON, the format of brenvik-build, see
// docs/project-format.md) into the installer's configuration record. Every
// problem is reported with its JSON path.

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include <Message.h>

namespace brenvik {

struct ProjectProblem {
    std::string path; // JSON path, e.g. "/install_instructions/2/install_meta/link"
    std::string text;
};

struct PayloadItem {
    std::string source; // absolute path of the file, folder or link
    std::string leaf;
};

struct ProjectConfig {
    BMessage configuration;
    std::vector<PayloadItem> payload; // in payload order: item i is the entry PayloadId(i)
    std::vector<ProjectProblem> problems;
    // What is not a problem but worth saying (a payload item from outside
    // the project's folder).
    std::vector<ProjectProblem> notes;

    bool IsValid() const { return problems.empty(); }
};

// Reads the project; relative paths are taken from `projectFolder`. The
// record names each payload item by its path in the project, never by where
// the project lies, and holds no time later than `latestTime` (the
// SOURCE_DATE_EPOCH of reproducible builds) when one is given.
ProjectConfig BuildProjectConfig(const nlohmann::ordered_json& project,
    const std::string& projectFolder, std::optional<int64> latestTime = std::nullopt);

// Reads and parses a project file.
ProjectConfig LoadProjectConfig(
    const std::string& projectFile, std::optional<int64> latestTime = std::nullopt);

} // namespace brenvik
