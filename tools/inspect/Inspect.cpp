// brenvik-inspect COMMAND [ARGUMENTS]: dispatches to the subcommands of the
// table below.

#include "Inspect.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace inspect {

namespace {

const Command kCommands[] = {
    { "message", "FILE", "print a flattened BMessage (BeOS R5 in either byte order, or Haiku)",
        InspectMessage },
    { "resources", "FILE",
        "list the resources of a resource file or an ELF file (type, id, size, name)",
        InspectResources },
    { "resource", "FILE TYPE ID", "write one resource's data to standard output", InspectResource },
    { "attributes", "FILE", "list a file's attributes (type, size, name, value)",
        InspectAttributes },
    { "record", "FILE",
        "print an install record (its journal or folder, or a de-installer that names one)",
        InspectRecord },
    { "manifest", "FILE",
        "list an installer's table of contents, check it, and say who signed the installer",
        InspectManifest },
};

void PrintUsage(FILE* stream)
{
    std::fprintf(stream, "usage: brenvik-inspect COMMAND [ARGUMENTS]\ncommands:\n");
    for (const Command& command : kCommands) {
        std::string call = std::string(command.name) + " " + command.arguments;
        std::fprintf(stream, "  %-24s %s\n", call.c_str(), command.summary);
    }
}

} // namespace

int Fail(const std::string& subject, const std::string& reason)
{
    std::fprintf(stderr, "brenvik-inspect: %s: %s\n", subject.c_str(), reason.c_str());
    return kExitFailure;
}

bool ReadWholeFile(const char* path, std::vector<uint8>* data, std::string* error)
{
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        *error = std::strerror(errno);
        return false;
    }
    data->clear();
    uint8 buffer[64 * 1024];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
        data->insert(data->end(), buffer, buffer + count);
    bool failed = std::ferror(file) != 0;
    if (failed)
        *error = std::strerror(errno);
    std::fclose(file);
    return !failed;
}

} // namespace inspect

int main(int argc, char** argv)
{
    using namespace inspect;
    if (argc < 2) {
        PrintUsage(stderr);
        return kExitUsage;
    }
    if (std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0) {
        PrintUsage(stdout);
        return kExitOk;
    }
    for (const Command& command : kCommands) {
        if (std::strcmp(argv[1], command.name) != 0)
            continue;
        int status = command.run(argc - 2, argv + 2);
        if (status == kExitUsage)
            std::fprintf(stderr, "usage: brenvik-inspect %s %s\n", command.name, command.arguments);
        return status;
    }
    std::fprintf(stderr, "brenvik-inspect: unknown command '%s'\n", argv[1]);
    PrintUsage(stderr);
    return kExitUsage;
}
