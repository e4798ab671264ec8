#include "InstallRecordReader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <TypeConstants.h>

#include "InstallRecord.h"
#include "SmallFile.h"

namespace {

// A record holds one frame per step and a few per item; this is far beyond
// any real one and keeps a hostile file from making us read without end.
constexpr size_t kMaxJournalSize = 1024 * 1024 * 1024;

uint32 Little32(const uint8* bytes)
{
    return uint32(bytes[0]) | uint32(bytes[1]) << 8 | uint32(bytes[2]) << 16
        | uint32(bytes[3]) << 24;
}

// Appends every item of every field of `from` to the fields of the same
// names in `to`.
status_t AppendFields(const BMessage& from, BMessage* to)
{
    char* name = nullptr;
    type_code type = 0;
    int32 count = 0;
    for (int32 i = 0; from.GetInfo(B_ANY_TYPE, i, &name, &type, &count) == B_OK; i++) {
        bool fixedSize = false;
        from.GetInfo(name, &type, &fixedSize);
        for (int32 j = 0; j < count; j++) {
            const void* data = nullptr;
            ssize_t size = 0;
            status_t status = from.FindData(name, type, j, &data, &size);
            if (status == B_OK)
                status = to->AddData(name, type, data, size, fixedSize);
            if (status != B_OK)
                return status;
        }
    }
    return B_OK;
}

bool IsText(const void* data, ssize_t size)
{
    const uint8* bytes = static_cast<const uint8*>(data);
    for (ssize_t i = 0; i < size; i++) {
        if (bytes[i] == 0 || (bytes[i] < 0x20 && bytes[i] != '\n' && bytes[i] != '\t'))
            return false;
    }
    return true;
}

std::string Quoted(const char* text, size_t size)
{
    std::string quoted = "\"";
    for (size_t i = 0; i < size; i++) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += char(c);
        } else if (c == '\n') {
            quoted += "\\n";
        } else if (c == '\t') {
            quoted += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof(escape), "\\x%02x", c);
            quoted += escape;
        } else {
            quoted += char(c);
        }
    }
    return quoted + "\"";
}

std::string Hex(const void* data, ssize_t size)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    const uint8* bytes = static_cast<const uint8*>(data);
    for (ssize_t i = 0; i < size; i++) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 15];
    }
    return text;
}

bool IsTimeField(const char* name)
{
    for (const char* field : { InstallRecord::kFieldStarted, InstallRecord::kFieldEnded,
             InstallRecord::kFieldTime, InstallRecord::kFieldModified }) {
        if (std::strcmp(name, field) == 0)
            return true;
    }
    return false;
}

std::string TimeText(int64 seconds)
{
    time_t value = time_t(seconds);
    tm utc;
    char text[64];
    if (gmtime_r(&value, &utc) == nullptr
        || std::strftime(text, sizeof(text), "%Y-%m-%d %H:%M:%S UTC", &utc) == 0)
        return std::to_string(seconds);
    return std::to_string(seconds) + " (" + text + ")";
}

std::string ValueText(const char* name, type_code type, const void* data, ssize_t size)
{
    char text[64];
    // A damaged record may give a number field fewer bytes than its type.
    if ((type == B_INT32_TYPE && size < ssize_t(sizeof(int32)))
        || (type == B_INT64_TYPE && size < ssize_t(sizeof(int64)))
        || (type == B_BOOL_TYPE && size < 1))
        type = B_RAW_TYPE;
    switch (type) {
    case B_STRING_TYPE: {
        size_t length = size > 0 ? strnlen(static_cast<const char*>(data), size_t(size)) : 0;
        return Quoted(static_cast<const char*>(data), length);
    }
    case B_INT32_TYPE: {
        int32 value;
        std::memcpy(&value, data, sizeof(value));
        if (std::strcmp(name, InstallRecord::kFieldMode) == 0)
            std::snprintf(text, sizeof(text), "0%o", unsigned(value));
        else
            std::snprintf(text, sizeof(text), "%d", int(value));
        return text;
    }
    case B_INT64_TYPE: {
        int64 value;
        std::memcpy(&value, data, sizeof(value));
        return IsTimeField(name) ? TimeText(value) : std::to_string(value);
    }
    case B_BOOL_TYPE:
        return *static_cast<const uint8*>(data) != 0 ? "true" : "false";
    case B_RAW_TYPE:
        if (IsText(data, size))
            return Quoted(static_cast<const char*>(data), size_t(size));
        return Hex(data, size);
    default:
        std::snprintf(text, sizeof(text), "(type 0x%08x, %zd bytes)", unsigned(type), size);
        return text;
    }
}

// Every field of the message, one value a line, nested messages indented.
void DescribeFields(const BMessage& message, const std::string& indent, std::string& text)
{
    char* name = nullptr;
    type_code type = 0;
    int32 count = 0;
    for (int32 i = 0; message.GetInfo(B_ANY_TYPE, i, &name, &type, &count) == B_OK; i++) {
        for (int32 n = 0; n < count; n++) {
            if (type == B_MESSAGE_TYPE) {
                BMessage nested;
                message.FindMessage(name, n, &nested);
                text += indent + name + ":\n";
                DescribeFields(nested, indent + "    ", text);
                continue;
            }
            const void* data = nullptr;
            ssize_t size = 0;
            if (message.FindData(name, type, n, &data, &size) != B_OK)
                continue;
            text += indent + name + ": " + ValueText(name, type, data, size) + "\n";
        }
    }
}

const char* StateName(InstallRecordReader::step_state state)
{
    switch (state) {
    case InstallRecordReader::kStepDone:
        return "done";
    case InstallRecordReader::kStepFailed:
        return "failed";
    default:
        return "begun, not done";
    }
}

} // namespace

InstallRecordReader::InstallRecordReader()
    : fEndTime(0)
    , fIgnoredBytes(0)
{
}

void InstallRecordReader::Reset()
{
    fHeader.MakeEmpty();
    fHeader.what = 0;
    fSteps.clear();
    fEndState.clear();
    fFailures = 0;
    fEndTime = 0;
    fSupersededBy.clear();
    fIgnoredBytes = 0;
    fIgnoredReason.clear();
}

status_t InstallRecordReader::ReadFile(const char* path)
{
    Reset();
    if (path == nullptr)
        return B_BAD_VALUE;
    std::string file = path;
    struct stat info;
    if (stat(path, &info) == 0 && S_ISDIR(info.st_mode))
        file += "/journal";
    std::string bytes;
    status_t status = ReadSmallFile(file, kMaxJournalSize, &bytes);
    if (status != B_OK)
        return status;
    return Read(bytes.data(), bytes.size());
}

status_t InstallRecordReader::ReadHeader(const char* path)
{
    Reset();
    if (path == nullptr)
        return B_BAD_VALUE;
    BPrivate::Descriptor fd(open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW));
    if (!fd.IsValid())
        return StatusFromErrno(errno);
    uint8 start[16];
    struct stat info;
    status_t status = B_BAD_DATA;
    if (fstat(fd.Get(), &info) == 0 && S_ISREG(info.st_mode)
        && pread(fd.Get(), start, sizeof(start), 0) == ssize_t(sizeof(start))) {
        uint32 length = Little32(start + 8);
        if (length > 0 && length <= InstallRecord::kMaxFrameSize
            && uint64(info.st_size) >= 16 + uint64(length)) {
            std::string bytes(16 + size_t(length), '\0');
            if (pread(fd.Get(), bytes.data(), bytes.size(), 0) == ssize_t(bytes.size()))
                status = Read(bytes.data(), bytes.size());
        }
    }
    return status;
}

std::vector<std::string> InstallRecordReader::FindRecords(
    const std::string& folder, const std::string& appName, const std::string& installFolder)
{
    std::vector<std::string> journals;
    DIR* directory = opendir(folder.c_str());
    if (directory == nullptr)
        return journals;
    while (dirent* entry = readdir(directory)) {
        if (entry->d_name[0] == '.')
            continue;
        std::string journal = folder + "/" + entry->d_name + "/journal";
        InstallRecordReader reader;
        if (reader.ReadHeader(journal.c_str()) != B_OK)
            continue;
        if (appName == reader.Header().GetString("app_name", "")
            && installFolder == reader.Header().GetString(InstallRecord::kFieldInstallFolder, ""))
            journals.push_back(journal);
    }
    closedir(directory);
    return journals;
}

status_t InstallRecordReader::Read(const void* data, size_t size)
{
    Reset();
    const uint8* bytes = static_cast<const uint8*>(data);
    if (data == nullptr || size < 8 || std::memcmp(bytes, InstallRecord::kSignature, 8) != 0)
        return B_BAD_DATA;
    size_t offset = 8;
    while (offset < size) {
        if (size - offset < 8) {
            fIgnoredReason = "a frame is cut short";
            break;
        }
        uint32 length = Little32(bytes + offset);
        uint32 crc = Little32(bytes + offset + 4);
        if (length == 0 || length > InstallRecord::kMaxFrameSize || length > size - offset - 8) {
            fIgnoredReason = "a frame is cut short";
            break;
        }
        const uint8* payload = bytes + offset + 8;
        if (InstallRecord::Crc32(payload, length) != crc) {
            fIgnoredReason = "a frame does not match its checksum";
            break;
        }
        BMessage frame;
        if (frame.Unflatten(payload, length) != B_OK) {
            fIgnoredReason = "a frame is not a message";
            break;
        }
        offset += 8 + length;
        if (AddFrame(frame) != B_OK) {
            fIgnoredReason = "a frame does not fit the record";
            break;
        }
    }
    fIgnoredBytes = size - offset;
    if (fHeader.what != InstallRecord::kMsgHeader)
        return B_BAD_DATA;
    return B_OK;
}

status_t InstallRecordReader::AddFrame(const BMessage& frame)
{
    // The header comes first, and only once.
    if (fHeader.what != InstallRecord::kMsgHeader) {
        if (frame.what != InstallRecord::kMsgHeader)
            return B_BAD_DATA;
        fHeader = frame;
        return B_OK;
    }
    int32 number = 0;
    switch (frame.what) {
    case InstallRecord::kMsgBegun: {
        Step step;
        if (frame.FindInt32(InstallRecord::kFieldStep, &number) != B_OK
            || number != int32(fSteps.size()) + 1
            || frame.FindString(InstallRecord::kFieldKind, &step.kind) != B_OK)
            return B_BAD_DATA;
        step.number = number;
        step.begun = frame;
        fSteps.push_back(std::move(step));
        return B_OK;
    }
    case InstallRecord::kMsgDone:
    case InstallRecord::kMsgFailed: {
        if (frame.FindInt32(InstallRecord::kFieldStep, &number) != B_OK || number < 1
            || number > int32(fSteps.size()) || fSteps[number - 1].state != kStepBegun)
            return B_BAD_DATA;
        Step& step = fSteps[number - 1];
        step.state = frame.what == InstallRecord::kMsgDone ? kStepDone : kStepFailed;
        if (step.parts.IsEmpty()) {
            step.result = frame;
            return B_OK;
        }
        step.result = step.parts;
        step.parts.MakeEmpty();
        step.result.what = frame.what;
        return AppendFields(frame, &step.result);
    }
    case InstallRecord::kMsgPart: {
        if (frame.FindInt32(InstallRecord::kFieldStep, &number) != B_OK || number < 1
            || number > int32(fSteps.size()) || fSteps[number - 1].state != kStepBegun)
            return B_BAD_DATA;
        BMessage fields(frame);
        fields.RemoveName(InstallRecord::kFieldStep);
        return AppendFields(fields, &fSteps[number - 1].parts);
    }
    case InstallRecord::kMsgFinished:
        if (!fEndState.empty())
            return B_BAD_DATA;
        fEndState = frame.GetString(InstallRecord::kFieldState, InstallRecord::kStateFailed);
        frame.FindInt64(InstallRecord::kFieldEnded, &fEndTime);
        fFailures = frame.GetInt32(InstallRecord::kFieldFailures, 0);
        return B_OK;
    case InstallRecord::kMsgSuperseded:
        fSupersededBy.push_back(frame.GetString(InstallRecord::kFieldBy, ""));
        return B_OK;
    default:
        // Frames of a later version are skipped, not refused.
        return B_OK;
    }
}

const InstallRecordReader::Step* InstallRecordReader::FindStep(int32 number) const
{
    if (number < 1 || number > int32(fSteps.size()))
        return nullptr;
    return &fSteps[number - 1];
}

std::string InstallRecordReader::Describe() const
{
    std::string text = "Install record "
        + std::string(fHeader.GetString(InstallRecord::kFieldInstallId, "")) + "\n";
    text += "State: " + (fEndState.empty() ? std::string("interrupted (no end)") : fEndState);
    if (fFailures > 0)
        text += ", with " + std::to_string(fFailures) + " failed item(s)";
    if (!fEndState.empty())
        text += ", ended " + TimeText(fEndTime);
    text += "\n";
    for (const std::string& id : fSupersededBy)
        text += "Superseded by: " + id + "\n";
    if (fIgnoredBytes > 0)
        text += "Ignored: the last " + std::to_string(fIgnoredBytes) + " bytes (" + fIgnoredReason
            + ")\n";
    text += "Header:\n";
    DescribeFields(fHeader, "    ", text);
    for (const Step& step : fSteps) {
        text += "Step " + std::to_string(step.number) + ": " + step.kind + " ("
            + StateName(step.state) + ")\n";
        BMessage begun(step.begun);
        begun.RemoveName(InstallRecord::kFieldStep);
        begun.RemoveName(InstallRecord::kFieldKind);
        DescribeFields(begun, "    ", text);
        if (step.state != kStepBegun) {
            BMessage result(step.result);
            result.RemoveName(InstallRecord::kFieldStep);
            text += "  result:\n";
            DescribeFields(result, "    ", text);
        }
    }
    return text;
}
