// brenvik-inspect resources FILE: lists the resources of a resource file or
// of an ELF file with resources; brenvik-inspect resource FILE TYPE ID writes
// one resource's data to standard output.

#include "Inspect.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <Resources.h>

namespace inspect {

namespace {

constexpr size_t kCopyChunkSize = 64 * 1024;

// "CSTR" (four characters) or a number ("0x43535452", "1129534546").
bool ParseType(const char* text, type_code* type)
{
    if (std::strlen(text) == 4 && std::strncmp(text, "0x", 2) != 0) {
        *type = 0;
        for (int i = 0; i < 4; i++)
            *type = (*type << 8) | uint8(text[i]);
        return true;
    }
    char* end;
    errno = 0;
    unsigned long value = std::strtoul(text, &end, 0);
    if (errno != 0 || *end != '\0' || end == text || value > UINT32_MAX)
        return false;
    *type = type_code(value);
    return true;
}

bool ParseId(const char* text, int32* id)
{
    char* end;
    errno = 0;
    long value = std::strtol(text, &end, 0);
    if (errno != 0 || *end != '\0' || end == text || value < INT32_MIN || value > INT32_MAX)
        return false;
    *id = int32(value);
    return true;
}

bool Open(BResources& resources, const char* path)
{
    // Read-only: inspecting must never change the file.
    status_t status = resources.SetTo(path, 0, false);
    if (status == B_OK)
        return true;
    Fail(path,
        resources.ErrorText()[0] != '\0' ? resources.ErrorText() : "cannot read the resources");
    return false;
}

} // namespace

std::string TypeText(type_code type)
{
    char text[16];
    for (int i = 0; i < 4; i++) {
        char c = char(type >> (24 - 8 * i));
        if (c < 0x20 || c > 0x7E) {
            std::snprintf(text, sizeof(text), "0x%08x", type);
            return text;
        }
        text[i] = c;
    }
    text[4] = '\0';
    return text;
}

int InspectResources(int argc, char** argv)
{
    if (argc != 1)
        return kExitUsage;
    BResources resources;
    if (!Open(resources, argv[0]))
        return kExitFailure;
    type_code type;
    int32 id;
    const char* name;
    size_t size;
    for (int32 i = 0; resources.GetResourceInfo(i, &type, &id, &name, &size); i++)
        std::printf("%-4s %11d %10zu  %s\n", TypeText(type).c_str(), id, size, name);
    return kExitOk;
}

int InspectResource(int argc, char** argv)
{
    type_code type;
    int32 id;
    if (argc != 3)
        return kExitUsage;
    if (!ParseType(argv[1], &type))
        return Fail(argv[1], "not a type code (four characters or a number)");
    if (!ParseId(argv[2], &id))
        return Fail(argv[2], "not a resource id");
    BResources resources;
    if (!Open(resources, argv[0]))
        return kExitFailure;
    const char* name;
    size_t size;
    if (!resources.GetResourceInfo(type, id, &name, &size))
        return Fail(argv[0], "no resource " + TypeText(type) + " " + std::to_string(id));
    // Read in chunks: a payload can be far larger than one should hold.
    std::vector<uint8> chunk(kCopyChunkSize);
    for (size_t done = 0; done < size;) {
        size_t count = std::min(size - done, chunk.size());
        if (resources.ReadResource(type, id, chunk.data(), off_t(done), count) != B_OK)
            return Fail(argv[0], resources.ErrorText());
        if (std::fwrite(chunk.data(), 1, count, stdout) != count)
            return Fail("standard output", std::strerror(errno));
        done += count;
    }
    return std::fflush(stdout) == 0 ? kExitOk : Fail("standard output", std::strerror(errno));
}

} // namespace inspect
