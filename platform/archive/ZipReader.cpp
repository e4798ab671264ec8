#include "ZipReader.h"

#include "ZipCentralDirectory.h"

#include <sys/stat.h>
#include <zip.h>

#include <cstring>
#include <vector>

namespace BPrivate {

namespace {

constexpr uint8 kHostBeOS = 16;

// A libzip source over one of our byte sources. libzip owns it and frees it
// (and the byte source) with ZIP_SOURCE_FREE.
struct SourceState {
    std::unique_ptr<ZipByteSource> bytes;
    zip_uint64_t position = 0;
    zip_error_t error;
};

zip_int64_t SourceRead(SourceState& state, void* data, zip_uint64_t length)
{
    zip_uint64_t size = zip_uint64_t(state.bytes->Size());
    zip_uint64_t count = std::min(length, size - std::min(size, state.position));
    zip_uint64_t done = 0;
    while (done < count) {
        ssize_t read = state.bytes->ReadAt(
            off_t(state.position + done), static_cast<uint8*>(data) + done, size_t(count - done));
        if (read <= 0) {
            zip_error_set(&state.error, ZIP_ER_READ, read < 0 ? EIO : 0);
            return -1;
        }
        done += zip_uint64_t(read);
    }
    state.position += done;
    return zip_int64_t(done);
}

zip_int64_t SourceCallback(
    void* userdata, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    SourceState& state = *static_cast<SourceState*>(userdata);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        state.position = 0;
        return 0;
    case ZIP_SOURCE_READ:
        return SourceRead(state, data, length);
    case ZIP_SOURCE_CLOSE:
        return 0;
    case ZIP_SOURCE_STAT: {
        zip_stat_t* st = static_cast<zip_stat_t*>(data);
        zip_stat_init(st);
        st->size = zip_uint64_t(state.bytes->Size());
        st->valid |= ZIP_STAT_SIZE;
        return sizeof(*st);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&state.error, data, length);
    case ZIP_SOURCE_FREE:
        zip_error_fini(&state.error);
        delete &state;
        return 0;
    case ZIP_SOURCE_SEEK: {
        zip_int64_t position = zip_source_seek_compute_offset(
            state.position, zip_uint64_t(state.bytes->Size()), data, length, &state.error);
        if (position < 0)
            return -1;
        state.position = zip_uint64_t(position);
        return 0;
    }
    case ZIP_SOURCE_TELL:
        return zip_int64_t(state.position);
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
            ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL,
            ZIP_SOURCE_SUPPORTS, -1);
    default:
        zip_error_set(&state.error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

ZipEntryKind KindOf(const std::string& name, std::optional<uint32> mode)
{
    bool slash = !name.empty() && name.back() == '/';
    if (!mode || (*mode & S_IFMT) == 0)
        return slash ? ZipEntryKind::kDirectory : ZipEntryKind::kFile;
    switch (*mode & S_IFMT) {
    case S_IFDIR:
        return ZipEntryKind::kDirectory;
    case S_IFREG:
        return slash ? ZipEntryKind::kOther : ZipEntryKind::kFile;
    case S_IFLNK:
        return slash ? ZipEntryKind::kOther : ZipEntryKind::kSymLink;
    default:
        return ZipEntryKind::kOther;
    }
}

} // namespace

ZipReader::ZipReader() = default;

ZipReader::~ZipReader()
{
    Close();
}

status_t ZipReader::Fail(status_t status, std::string text)
{
    fErrorText = std::move(text);
    return status;
}

void ZipReader::Close()
{
    if (fArchive != nullptr)
        zip_discard(fArchive);
    fArchive = nullptr;
}

status_t ZipReader::Open(std::unique_ptr<ZipByteSource> source)
{
    Close();
    if (source == nullptr)
        return Fail(B_BAD_VALUE, "no archive given");
    std::string reason;
    if (ReadCentralNames(*source, &fStoredNames, &reason) != B_OK)
        return Fail(B_BAD_DATA, "not a readable zip archive: " + reason);
    auto* state = new SourceState;
    state->bytes = std::move(source);
    zip_error_init(&state->error);
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* zipSource = zip_source_function_create(SourceCallback, state, &error);
    if (zipSource == nullptr) {
        zip_error_fini(&state->error);
        delete state;
        zip_error_fini(&error);
        return Fail(B_NO_MEMORY, "cannot create the archive source");
    }
    fArchive = zip_open_from_source(zipSource, ZIP_RDONLY, &error);
    if (fArchive == nullptr) {
        std::string text = std::string("not a readable zip archive: ") + zip_error_strerror(&error);
        zip_source_free(zipSource);
        zip_error_fini(&error);
        return Fail(B_BAD_DATA, text);
    }
    zip_error_fini(&error);
    if (uint64(zip_get_num_entries(fArchive, 0)) != fStoredNames.size()) {
        Close();
        return Fail(B_BAD_DATA, "not a readable zip archive: its entries cannot be counted");
    }
    return B_OK;
}

uint64 ZipReader::CountEntries() const
{
    return fArchive != nullptr ? uint64(zip_get_num_entries(fArchive, 0)) : 0;
}

// The data of one extra field (local or central, by flags), empty when the
// entry has none. *damaged tells a field that exists in a header that cannot
// be parsed from one that is simply absent.
std::span<const uint8> ZipReader::Field(uint64 index, uint16 id, uint32 flags, bool* damaged)
{
    zip_error_clear(fArchive);
    zip_uint16_t length = 0;
    const zip_uint8_t* data
        = zip_file_extra_field_get_by_id(fArchive, index, id, 0, &length, zip_flags_t(flags));
    if (data == nullptr) {
        if (damaged != nullptr)
            *damaged = zip_error_code_zip(zip_get_error(fArchive)) != ZIP_ER_NOENT;
        return {};
    }
    if (damaged != nullptr)
        *damaged = false;
    return std::span<const uint8>(data, length);
}

void ZipReader::ReadTimes(uint64 index, int64 dosTime, ZipEntryInfo* info)
{
    info->modified = dosTime;
    zip_error_clear(fArchive);
    zip_uint16_t length = 0;
    // The local copy is the complete one; the central one has the
    // modification time at most.
    const zip_uint8_t* data = zip_file_extra_field_get_by_id(
        fArchive, index, kTimestampFieldId, 0, &length, ZIP_FL_LOCAL);
    if (data == nullptr)
        data = zip_file_extra_field_get_by_id(
            fArchive, index, kTimestampFieldId, 0, &length, ZIP_FL_CENTRAL);
    ZipTimestamps times;
    if (data == nullptr || ParseTimestampField(std::span(data, length), &times) != B_OK)
        return;
    std::optional<int64> modified;
    if (times.modified && (modified = InterpretZipTime(*times.modified, dosTime)))
        info->modified = *modified;
    if (times.accessed)
        info->accessed = InterpretZipTime(*times.accessed, dosTime);
    if (times.created)
        info->created = InterpretZipTime(*times.created, dosTime);
}

void ZipReader::ReadOwner(uint64 index, ZipEntryInfo* info)
{
    ZipOwner owner;
    for (uint32 flags : { ZIP_FL_LOCAL, ZIP_FL_CENTRAL }) {
        std::span<const uint8> field = Field(index, kUnixOwnerFieldId, flags);
        if (!field.empty() && ParseUnixOwnerField(field, &owner) == B_OK) {
            info->owner = owner;
            return;
        }
    }
    std::span<const uint8> field = Field(index, kUnixOwner16FieldId, ZIP_FL_LOCAL);
    if (!field.empty() && ParseUnixOwner16Field(field, &owner) == B_OK)
        info->owner = owner;
}

void ZipReader::ReadAttributes(uint64 index, ZipEntryInfo* info)
{
    // Only the local field holds the attributes; the central one just
    // repeats their size.
    bool damaged = false;
    std::span<const uint8> field = Field(index, kBeAttributesFieldId, ZIP_FL_LOCAL, &damaged);
    if (damaged) {
        info->attributesStatus = B_BAD_DATA;
        return;
    }
    if (field.empty())
        return;
    info->attributesStatus = ParseBeAttributesField(field, &info->attributes);
    if (info->attributesStatus != B_OK)
        info->attributes.clear();
}

status_t ZipReader::GetEntry(uint64 index, ZipEntryInfo* info)
{
    if (fArchive == nullptr)
        return B_NO_INIT;
    *info = ZipEntryInfo();
    zip_stat_t st;
    const char* name = zip_get_name(fArchive, index, ZIP_FL_ENC_RAW);
    if (name == nullptr || zip_stat_index(fArchive, index, ZIP_FL_ENC_RAW, &st) != 0)
        return Fail(B_BAD_DATA, std::string("cannot read an entry: ") + zip_strerror(fArchive));
    // libzip turns a NUL byte inside a name into a space: the entry would be
    // written under a name the archive does not give.
    if (index >= fStoredNames.size() || fStoredNames[index].hasNul
        || std::strlen(name) != fStoredNames[index].length)
        return Fail(B_BAD_DATA,
            "refused: the name of entry " + std::to_string(index) + " (\"" + name
                + "\") holds a NUL byte");
    info->index = index;
    info->name = name;
    info->size = (st.valid & ZIP_STAT_SIZE) != 0 ? st.size : 0;
    info->encrypted
        = (st.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0 && st.encryption_method != ZIP_EM_NONE;
    zip_uint8_t host = 0;
    zip_uint32_t external = 0;
    if (zip_file_get_external_attributes(fArchive, index, 0, &host, &external) == 0
        && (host == ZIP_OPSYS_UNIX || host == kHostBeOS) && (external >> 16) != 0)
        info->mode = external >> 16;
    info->kind = KindOf(info->name, info->mode);
    ReadTimes(index, (st.valid & ZIP_STAT_MTIME) != 0 ? int64(st.mtime) : 0, info);
    ReadOwner(index, info);
    ReadAttributes(index, info);
    return B_OK;
}

status_t ZipReader::ReadEntry(const ZipEntryInfo& entry, const Sink& sink, size_t chunkSize)
{
    if (fArchive == nullptr)
        return B_NO_INIT;
    zip_file_t* file = zip_fopen_index(fArchive, entry.index, 0);
    if (file == nullptr)
        return Fail(B_BAD_DATA, entry.name + ": " + zip_strerror(fArchive));
    std::vector<uint8> chunk(std::max<size_t>(chunkSize, 1));
    uint64 total = 0;
    status_t status = B_OK;
    for (;;) {
        zip_int64_t done = zip_fread(file, chunk.data(), chunk.size());
        if (done < 0) {
            status = Fail(B_BAD_DATA, entry.name + ": " + zip_file_strerror(file));
            break;
        }
        if (done == 0)
            break;
        total += uint64(done);
        // Never take more than the entry says it holds.
        if (total > entry.size) {
            status = Fail(B_BAD_DATA, entry.name + ": more data than the entry states");
            break;
        }
        if ((status = sink(chunk.data(), size_t(done))) != B_OK)
            break;
    }
    zip_fclose(file);
    if (status == B_OK && total != entry.size)
        status = Fail(B_BAD_DATA, entry.name + ": less data than the entry states");
    return status;
}

} // namespace BPrivate
