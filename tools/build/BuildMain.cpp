// brenvik-build PROJECT.json -o OUT [--installer PROGRAM] [--deinstaller PROGRAM]
//
// The authoring tool: writes the installer executable OUT for the installer
// project PROJECT.json (docs/project-format.md). Every problem of the project
// is reported with its JSON path, and nothing is written then.

#include "InstallerBuilder.h"

#include <cstdio>
#include <cstring>

namespace {

int Usage()
{
    std::fprintf(stderr,
        "usage: brenvik-build PROJECT.json -o OUT [--installer PROGRAM] [--deinstaller "
        "PROGRAM]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    brenvik::BuildOptions options;
    for (int i = 1; i < argc; i++) {
        bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "-o") == 0 && hasValue)
            options.output = argv[++i];
        else if (std::strcmp(argv[i], "--installer") == 0 && hasValue)
            options.installerProgram = argv[++i];
        else if (std::strcmp(argv[i], "--deinstaller") == 0 && hasValue)
            options.deinstallerProgram = argv[++i];
        else if (argv[i][0] != '-' && options.projectFile.empty())
            options.projectFile = argv[i];
        else
            return Usage();
    }
    if (options.projectFile.empty() || options.output.empty())
        return Usage();

    brenvik::InstallerBuilder builder;
    status_t status = builder.Build(options);
    for (const brenvik::ProjectProblem& note : builder.Notes()) {
        std::fprintf(stderr, "%s: %s: note: %s\n", options.projectFile.c_str(), note.path.c_str(),
            note.text.c_str());
    }
    for (const brenvik::ProjectProblem& problem : builder.Problems()) {
        std::fprintf(stderr, "%s: %s: %s\n", options.projectFile.c_str(), problem.path.c_str(),
            problem.text.c_str());
    }
    if (status != B_OK) {
        if (!builder.ErrorText().empty())
            std::fprintf(stderr, "brenvik-build: %s\n", builder.ErrorText().c_str());
        else
            std::fprintf(stderr, "brenvik-build: %zu problem(s) in the project; nothing written\n",
                builder.Problems().size());
        return 1;
    }
    std::printf("brenvik-build: wrote %s\n", options.output.c_str());
    return 0;
}
