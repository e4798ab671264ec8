#include "ZipWriter.h"

#include "ZipExtraFields.h"
#include "ZipNodeAttributes.h"
#include "ZipStreamTarget.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#include <zip.h>

namespace BPrivate {

namespace {

// MS-DOS attribute bit that zip tools set on folder entries.
constexpr uint32 kDosDirectory = 0x10;
// All extra fields of one header share 65535 bytes.
constexpr size_t kMaxExtraArea = 65535;

// A libzip source that opens a regular file only when libzip reads it (when
// the archive is closed), so that a tree of thousands of files never holds
// thousands of descriptors, and that refuses to follow a symbolic link put in
// the file's place meanwhile.
struct FileState {
    std::string path;
    zip_uint64_t size;
    int fd = -1;
    zip_error_t error;
};

zip_int64_t FileRead(FileState& state, void* data, zip_uint64_t length)
{
    for (;;) {
        ssize_t done = read(state.fd, data, size_t(length));
        if (done >= 0)
            return done;
        if (errno != EINTR) {
            zip_error_set(&state.error, ZIP_ER_READ, errno);
            return -1;
        }
    }
}

zip_int64_t FileCallback(void* userdata, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    FileState& state = *static_cast<FileState*>(userdata);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        state.fd = open(state.path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (state.fd < 0) {
            zip_error_set(&state.error, ZIP_ER_OPEN, errno);
            return -1;
        }
        return 0;
    case ZIP_SOURCE_READ:
        return FileRead(state, data, length);
    case ZIP_SOURCE_CLOSE:
        if (state.fd >= 0)
            close(state.fd);
        state.fd = -1;
        return 0;
    case ZIP_SOURCE_STAT: {
        zip_stat_t* st = static_cast<zip_stat_t*>(data);
        zip_stat_init(st);
        st->size = state.size;
        st->valid |= ZIP_STAT_SIZE;
        return sizeof(*st);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&state.error, data, length);
    case ZIP_SOURCE_FREE:
        if (state.fd >= 0)
            close(state.fd);
        zip_error_fini(&state.error);
        delete &state;
        return 0;
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
            ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_SUPPORTS, -1);
    default:
        zip_error_set(&state.error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

zip_source_t* CreateFileSource(::zip* archive, const std::string& path, off_t size)
{
    auto* state = new FileState;
    state->path = path;
    state->size = zip_uint64_t(size);
    zip_error_init(&state->error);
    zip_source_t* source = zip_source_function(archive, FileCallback, state);
    if (source == nullptr) {
        zip_error_fini(&state->error);
        delete state;
    }
    return source;
}

// The DOS date and time (local time or UTC, two-second steps) of a moment,
// held to the years DOS dates can express.
void DosDateTime(time_t seconds, bool utc, zip_uint16_t* date, zip_uint16_t* time)
{
    struct tm local;
    bool converted
        = utc ? gmtime_r(&seconds, &local) != nullptr : localtime_r(&seconds, &local) != nullptr;
    if (!converted || local.tm_year < 80) {
        *date = (1 << 5) | 1;
        *time = 0;
        return;
    }
    if (local.tm_year > 207) {
        *date = zip_uint16_t((127 << 9) | (12 << 5) | 31);
        *time = zip_uint16_t((23 << 11) | (59 << 5) | 29);
        return;
    }
    *date = zip_uint16_t(((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
    *time = zip_uint16_t((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
}

std::string LeafOf(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

status_t ZipWriter::Fail(status_t status, std::string text)
{
    fErrorText = std::move(text);
    return status;
}

status_t ZipWriter::Prepare(
    const char* sourcePath, const ZipWriteOptions& options, std::string* name)
{
    if (sourcePath == nullptr)
        return Fail(B_BAD_VALUE, "no path given");
    fOptions = options;
    fOptions.level = std::clamp(fOptions.level, 0, 9);
    fLinkTargets.clear();
    *name = options.topName.empty() ? LeafOf(sourcePath) : options.topName;
    if (name->empty() || *name == "/" || *name == "." || *name == ".."
        || name->find('/') != std::string::npos)
        return Fail(B_BAD_VALUE, "the item has no usable name");
    return B_OK;
}

// Adds the item to the open archive and writes the archive out.
status_t ZipWriter::Finish(
    const char* sourcePath, const std::string& name, const std::string& where)
{
    status_t status = AddItem(sourcePath, name);
    if (status == B_OK && zip_close(fArchive) != 0)
        status = Fail(B_IO_ERROR, "cannot write " + where + ": " + zip_strerror(fArchive));
    else if (status == B_OK)
        fArchive = nullptr;
    if (fArchive != nullptr)
        zip_discard(fArchive);
    fArchive = nullptr;
    fLinkTargets.clear();
    return status;
}

status_t ZipWriter::WriteArchive(
    const char* sourcePath, const char* archivePath, const ZipWriteOptions& options)
{
    std::string name;
    status_t status = archivePath != nullptr ? Prepare(sourcePath, options, &name)
                                             : Fail(B_BAD_VALUE, "no path given");
    if (status != B_OK)
        return status;
    if (unlink(archivePath) != 0 && errno != ENOENT)
        return Fail(StatusFromErrno(errno), std::string("cannot replace ") + archivePath);
    int error = 0;
    fArchive = zip_open(archivePath, ZIP_CREATE | ZIP_EXCL, &error);
    if (fArchive == nullptr) {
        zip_error_t zipError;
        zip_error_init_with_code(&zipError, error);
        status = Fail(B_IO_ERROR,
            std::string("cannot create ") + archivePath + ": " + zip_error_strerror(&zipError));
        zip_error_fini(&zipError);
        return status;
    }
    return Finish(sourcePath, name, archivePath);
}

status_t ZipWriter::WriteArchive(
    const char* sourcePath, BPositionIO& target, const ZipWriteOptions& options)
{
    std::string name;
    status_t status = Prepare(sourcePath, options, &name);
    if (status != B_OK)
        return status;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = CreateStreamTarget(target, &error);
    if (source != nullptr) {
        fArchive = zip_open_from_source(source, ZIP_CREATE | ZIP_TRUNCATE, &error);
        if (fArchive == nullptr)
            zip_source_free(source);
    }
    if (fArchive == nullptr) {
        status = Fail(
            B_IO_ERROR, std::string("cannot begin the archive: ") + zip_error_strerror(&error));
        zip_error_fini(&error);
        return status;
    }
    zip_error_fini(&error);
    return Finish(sourcePath, name, "the archive");
}

status_t ZipWriter::AddItem(const std::string& path, const std::string& name)
{
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return Fail(StatusFromErrno(errno), "cannot examine " + path);
    if (fOptions.skipNode != 0 && st.st_ino == fOptions.skipNode
        && st.st_dev == fOptions.skipDevice)
        return B_OK;
    if (S_ISDIR(st.st_mode))
        return AddFolder(path, name, st);
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode))
        return Fail(B_BAD_TYPE, path + " is neither a file, a folder nor a link");
    return AddEntry(path, name, st);
}

status_t ZipWriter::AddFolder(
    const std::string& path, const std::string& name, const struct stat& st)
{
    zip_int64_t index = zip_dir_add(fArchive, name.c_str(), 0);
    if (index < 0)
        return Fail(B_ERROR, "cannot add " + name + ": " + zip_strerror(fArchive));
    status_t status = SetMetadata(uint64(index), path, st);
    if (status != B_OK)
        return status;
    DIR* folder = opendir(path.c_str());
    if (folder == nullptr)
        return Fail(StatusFromErrno(errno), "cannot read the folder " + path);
    std::vector<std::string> children;
    while (dirent* entry = readdir(folder)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            children.emplace_back(entry->d_name);
    }
    closedir(folder);
    std::sort(children.begin(), children.end());
    for (const std::string& child : children) {
        if ((status = AddItem(path + "/" + child, name + "/" + child)) != B_OK)
            return status;
    }
    return B_OK;
}

status_t ZipWriter::AddEntry(
    const std::string& path, const std::string& name, const struct stat& st)
{
    zip_source_t* source;
    if (S_ISLNK(st.st_mode)) {
        std::string target(size_t(std::max<off_t>(st.st_size, 0)) + 1, '\0');
        ssize_t length = readlink(path.c_str(), target.data(), target.size());
        if (length < 0 || size_t(length) >= target.size())
            return Fail(B_IO_ERROR, "cannot read the link " + path);
        target.resize(size_t(length));
        fLinkTargets.push_back(std::move(target));
        source = zip_source_buffer(
            fArchive, fLinkTargets.back().data(), fLinkTargets.back().size(), 0);
    } else
        source = CreateFileSource(fArchive, path, st.st_size);
    if (source == nullptr)
        return Fail(B_NO_MEMORY, "cannot add " + name + ": " + zip_strerror(fArchive));
    zip_int64_t index = zip_file_add(fArchive, name.c_str(), source, 0);
    if (index < 0) {
        zip_source_free(source);
        return Fail(B_ERROR, "cannot add " + name + ": " + zip_strerror(fArchive));
    }
    bool compress = S_ISREG(st.st_mode) && st.st_size > 0 && fOptions.level > 0;
    if (zip_set_file_compression(fArchive, zip_uint64_t(index),
            compress ? ZIP_CM_DEFLATE : ZIP_CM_STORE, compress ? zip_uint32_t(fOptions.level) : 0)
        != 0)
        return Fail(B_ERROR, "cannot add " + name + ": " + zip_strerror(fArchive));
    return SetMetadata(uint64(index), path, st);
}

int64 ZipWriter::StoredTime(int64 seconds) const
{
    return fOptions.latestTime ? std::min(seconds, *fOptions.latestTime) : seconds;
}

status_t ZipWriter::SetMetadata(uint64 index, const std::string& path, const struct stat& st)
{
    zip_uint16_t date, time;
    DosDateTime(time_t(StoredTime(st.st_mtime)), fOptions.dosTimeInUtc, &date, &time);
    mode_t mode = st.st_mode;
    if (fOptions.permissions)
        mode = (mode & S_IFMT) | (*fOptions.permissions & 07777);
    zip_uint32_t external = zip_uint32_t(mode) << 16;
    if (S_ISDIR(st.st_mode))
        external |= kDosDirectory;
    if (zip_file_set_dostime(fArchive, index, time, date, 0) != 0
        || zip_file_set_external_attributes(fArchive, index, 0, ZIP_OPSYS_UNIX, external) != 0)
        return Fail(B_ERROR, "cannot describe " + path + ": " + zip_strerror(fArchive));
    return SetExtraFields(index, path, st);
}

status_t ZipWriter::SetExtraFields(uint64 index, const std::string& path, const struct stat& st)
{
    struct Field {
        uint16 id;
        std::vector<uint8> data;
        zip_flags_t flags;
    };
    std::vector<Field> fields;
    ZipTimestamps times;
    times.modified = StorableZipTime(StoredTime(st.st_mtime));
    if (fOptions.storeAccessTime)
        times.accessed = StorableZipTime(StoredTime(st.st_atime));
    fields.push_back({ kTimestampFieldId, BuildTimestampField(times, false), ZIP_FL_LOCAL });
    fields.push_back({ kTimestampFieldId, BuildTimestampField(times, true), ZIP_FL_CENTRAL });
    if (fOptions.storeOwner) {
        ZipOwner owner { st.st_uid, st.st_gid };
        fields.push_back(
            { kUnixOwnerFieldId, BuildUnixOwnerField(owner), ZIP_FL_LOCAL | ZIP_FL_CENTRAL });
        if (auto local = BuildUnixOwner16Field(owner, false)) {
            fields.push_back({ kUnixOwner16FieldId, *local, ZIP_FL_LOCAL });
            fields.push_back({ kUnixOwner16FieldId, {}, ZIP_FL_CENTRAL });
        }
    }
    if (fOptions.storeAttributes && !S_ISLNK(st.st_mode)) {
        std::vector<ZipAttribute> attributes;
        int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        status_t status = fd >= 0 ? ReadNodeAttributes(fd, &attributes) : StatusFromErrno(errno);
        if (fd >= 0)
            close(fd);
        if (status != B_OK)
            return Fail(status, "cannot read the attributes of " + path);
        if (!attributes.empty()) {
            std::vector<uint8> local, central;
            status
                = BuildBeAttributesField(attributes, std::max(fOptions.level, 1), &local, &central);
            size_t area = 0;
            for (const Field& field : fields)
                area += (field.flags & ZIP_FL_LOCAL) != 0 ? 4 + field.data.size() : 0;
            if (status != B_OK || area + 4 + local.size() > kMaxExtraArea)
                return Fail(B_BUFFER_OVERFLOW,
                    "the attributes of " + path + " are too large for a zip entry");
            fields.push_back({ kBeAttributesFieldId, std::move(local), ZIP_FL_LOCAL });
            fields.push_back({ kBeAttributesFieldId, std::move(central), ZIP_FL_CENTRAL });
        }
    }
    static const zip_uint8_t kNoData = 0;
    for (const Field& field : fields) {
        const zip_uint8_t* data = field.data.empty() ? &kNoData : field.data.data();
        if (zip_file_extra_field_set(fArchive, index, field.id, ZIP_EXTRA_FIELD_NEW, data,
                zip_uint16_t(field.data.size()), field.flags)
            != 0)
            return Fail(B_ERROR, "cannot describe " + path + ": " + zip_strerror(fArchive));
    }
    return B_OK;
}

} // namespace BPrivate
