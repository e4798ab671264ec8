#include "ZipStreamTarget.h"

#include <algorithm>
#include <cerrno>

namespace BPrivate {

namespace {

struct StreamState {
    explicit StreamState(BPositionIO& stream)
        : target(stream)
    {
        zip_error_init(&error);
    }

    BPositionIO& target;
    zip_uint64_t readPosition = 0;
    zip_uint64_t writePosition = 0;
    // Where the archive written so far ends.
    zip_uint64_t end = 0;
    zip_error_t error;
};

zip_int64_t Failed(StreamState& state, int zipError, status_t status)
{
    // A stream that can hold no more (a resource at the container's size
    // limit) says "file too large".
    int error = status == B_NO_MEMORY ? ENOMEM : status == B_BUFFER_OVERFLOW ? EFBIG : EIO;
    zip_error_set(&state.error, zipError, error);
    return -1;
}

zip_int64_t Read(StreamState& state, void* data, zip_uint64_t length)
{
    zip_uint64_t count = std::min(length, state.end - std::min(state.end, state.readPosition));
    if (count == 0)
        return 0;
    ssize_t done = state.target.ReadAt(off_t(state.readPosition), data, size_t(count));
    if (done < 0)
        return Failed(state, ZIP_ER_READ, status_t(done));
    state.readPosition += zip_uint64_t(done);
    return done;
}

zip_int64_t Write(StreamState& state, const void* data, zip_uint64_t length)
{
    size_t written = 0;
    status_t status
        = state.target.WriteAtExactly(off_t(state.writePosition), data, size_t(length), &written);
    if (status != B_OK)
        return Failed(state, ZIP_ER_WRITE, status);
    state.writePosition += written;
    state.end = std::max(state.end, state.writePosition);
    return zip_int64_t(written);
}

zip_int64_t Seek(StreamState& state, zip_uint64_t* position, void* data, zip_uint64_t length)
{
    zip_int64_t target
        = zip_source_seek_compute_offset(*position, state.end, data, length, &state.error);
    if (target < 0)
        return -1;
    *position = zip_uint64_t(target);
    return 0;
}

// The archive ends where its last byte was written; a stream that can be
// cut there is (one that cannot, simply holds no more).
zip_int64_t Commit(StreamState& state)
{
    status_t status = state.target.SetSize(off_t(state.end));
    if (status != B_OK && status != B_NOT_SUPPORTED)
        return Failed(state, ZIP_ER_WRITE, status);
    return 0;
}

zip_int64_t Callback(void* userdata, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    StreamState& state = *static_cast<StreamState*>(userdata);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        state.readPosition = 0;
        return 0;
    case ZIP_SOURCE_READ:
        return Read(state, data, length);
    case ZIP_SOURCE_CLOSE:
    case ZIP_SOURCE_ROLLBACK_WRITE:
        return 0;
    case ZIP_SOURCE_STAT: {
        // A new archive: whatever the stream held before does not count.
        zip_stat_t* st = static_cast<zip_stat_t*>(data);
        zip_stat_init(st);
        st->size = state.end;
        st->valid |= ZIP_STAT_SIZE;
        return sizeof(*st);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&state.error, data, length);
    case ZIP_SOURCE_FREE:
        zip_error_fini(&state.error);
        delete &state;
        return 0;
    case ZIP_SOURCE_SEEK:
        return Seek(state, &state.readPosition, data, length);
    case ZIP_SOURCE_TELL:
        return zip_int64_t(state.readPosition);
    case ZIP_SOURCE_BEGIN_WRITE:
        state.writePosition = 0;
        state.end = 0;
        return 0;
    case ZIP_SOURCE_WRITE:
        return Write(state, data, length);
    case ZIP_SOURCE_SEEK_WRITE:
        return Seek(state, &state.writePosition, data, length);
    case ZIP_SOURCE_TELL_WRITE:
        return zip_int64_t(state.writePosition);
    case ZIP_SOURCE_COMMIT_WRITE:
        return Commit(state);
    case ZIP_SOURCE_REMOVE:
        state.end = 0;
        return Commit(state);
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
            ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL,
            ZIP_SOURCE_BEGIN_WRITE, ZIP_SOURCE_WRITE, ZIP_SOURCE_SEEK_WRITE, ZIP_SOURCE_TELL_WRITE,
            ZIP_SOURCE_COMMIT_WRITE, ZIP_SOURCE_ROLLBACK_WRITE, ZIP_SOURCE_REMOVE,
            ZIP_SOURCE_SUPPORTS, -1);
    default:
        zip_error_set(&state.error, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

} // namespace

zip_source_t* CreateStreamTarget(BPositionIO& target, zip_error_t* error)
{
    auto* state = new StreamState(target);
    zip_source_t* source = zip_source_function_create(Callback, state, error);
    if (source == nullptr) {
        zip_error_fini(&state->error);
        delete state;
    }
    return source;
}

} // namespace BPrivate
