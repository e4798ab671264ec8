#pragma once

// Helpers shared by the zip tests: archives built by hand with libzip (to
// forge what our writer never makes), the stock command-line tools, files.

#include <SupportDefs.h>

#include <ChildProcess.h>
#include <TestSandbox.h>

#include <cerrno>
#include <cstdlib>
#include <deque>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <zip.h>

extern char** environ;

namespace brenvik::archive::test {

// Builds an archive in memory, one entry at a time.
class ZipBuilder {
public:
    ZipBuilder()
    {
        zip_error_t error;
        zip_error_init(&error);
        fSource = zip_source_buffer_create(nullptr, 0, 0, &error);
        zip_source_keep(fSource);
        fArchive = zip_open_from_source(fSource, ZIP_TRUNCATE, &error);
        zip_error_fini(&error);
    }

    ~ZipBuilder()
    {
        if (fArchive != nullptr)
            zip_discard(fArchive);
        zip_source_free(fSource);
    }

    ZipBuilder(const ZipBuilder&) = delete;
    ZipBuilder& operator=(const ZipBuilder&) = delete;

    zip_int64_t AddFile(const std::string& name, const std::string& data, uint32 mode = 0100644)
    {
        fData.push_back(data);
        zip_source_t* source
            = zip_source_buffer(fArchive, fData.back().data(), fData.back().size(), 0);
        zip_int64_t index = zip_file_add(fArchive, name.c_str(), source, 0);
        zip_file_set_external_attributes(
            fArchive, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX, mode << 16);
        return index;
    }

    zip_int64_t AddFolder(const std::string& name, uint32 mode = 040755)
    {
        zip_int64_t index = zip_dir_add(fArchive, name.c_str(), 0);
        zip_file_set_external_attributes(
            fArchive, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX, mode << 16);
        return index;
    }

    zip_int64_t AddLink(const std::string& name, const std::string& target)
    {
        return AddFile(name, target, 0120777);
    }

    void SetExtraField(zip_int64_t index, uint16 id, const std::vector<uint8>& data, bool local)
    {
        static const zip_uint8_t kNone = 0;
        zip_file_extra_field_set(fArchive, zip_uint64_t(index), id, ZIP_EXTRA_FIELD_NEW,
            data.empty() ? &kNone : data.data(), zip_uint16_t(data.size()),
            local ? ZIP_FL_LOCAL : ZIP_FL_CENTRAL);
    }

    std::vector<uint8> Finish()
    {
        zip_close(fArchive);
        fArchive = nullptr;
        std::vector<uint8> bytes;
        zip_stat_t st;
        if (zip_source_stat(fSource, &st) != 0 || zip_source_open(fSource) != 0)
            return bytes;
        bytes.resize(st.size);
        zip_source_read(fSource, bytes.data(), bytes.size());
        zip_source_close(fSource);
        return bytes;
    }

private:
    zip_source_t* fSource;
    zip_t* fArchive;
    // Entry data must stay where they are until the archive is closed.
    std::deque<std::string> fData;
};

inline std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::string text(in ? size_t(in.tellg()) : 0, '\0');
    in.seekg(0);
    in.read(text.data(), std::streamsize(text.size()));
    return text;
}

inline void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

inline bool Exists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// The full path of a tool found along PATH, if any.
inline std::optional<std::string> FindTool(const std::string& name)
{
    const char* path = getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        std::string candidate = folders.substr(start, end - start) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return std::nullopt;
}

using brenvik::test::RunTool;

} // namespace brenvik::archive::test
