#include "InstallerFormat.h"

#include <Message.h>
#include <Resources.h>

#include <LibStringIterator.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace InstallerFormat {

namespace {

using namespace Field;

constexpr bool kOne = false;
constexpr bool kMany = true;

struct RecordFields {
    Record record;
    std::vector<FieldInfo> fields;
};

const std::vector<RecordFields>& Schema()
{
    static const std::vector<RecordFields> schema = {
        { Record::kConfiguration,
            {
                { kInstallFolderName, B_STRING_TYPE, kOne, {} },
                { kGroups, B_MESSAGE_TYPE, kOne, Record::kGroups },
                { kAppName, B_STRING_TYPE, kOne, {} },
                { kVersion, B_STRING_TYPE, kOne, {} },
                { kReleaseDate, B_STRING_TYPE, kOne, {} },
                { kCompany, B_STRING_TYPE, kOne, {} },
                { kSupportEmail, B_STRING_TYPE, kOne, {} },
                { kAboutImage, B_MESSAGE_TYPE, kOne, Record::kArchivedBitmap },
                { kAudioFile, B_STRING_TYPE, kOne, {} },
                { kLicense, B_STRING_TYPE, kOne, {} },
                { kInstallInstructions, B_MESSAGE_TYPE, kOne, Record::kInstructions },
                { kCustomFolder, B_MESSAGE_TYPE, kOne, Record::kCustomFolders },
                { kLog, B_BOOL_TYPE, kOne, {} },
                { kCreateStartup, B_BOOL_TYPE, kOne, {} },
                { kSaveReplaced, B_BOOL_TYPE, kOne, {} },
                { kIncludeDeinstall, B_BOOL_TYPE, kOne, {} },
                { kDefaultFolder, B_STRING_TYPE, kOne, {} },
                { kCreatedFolder, B_STRING_TYPE, kOne, {} },
                { kShowBeosFolders, B_BOOL_TYPE, kOne, {} },
                { kKeepSharedWrite, B_BOOL_TYPE, kOne, {} },
                { kCompression, B_INT32_TYPE, kOne, {} },
                { kDiskSpaceNeeded, B_BOOL_TYPE, kOne, {} },
                { kDiskSpaceRequired, B_BOOL_TYPE, kOne, {} },
                { kDiskSpaceAmount, B_MESSAGE_TYPE, kOne, Record::kDiskSpaceAmount },
                { kBootVolumeOnly, B_BOOL_TYPE, kOne, {} },
                { kRemovableVolumeOk, B_BOOL_TYPE, kOne, {} },
                { kSharedVolumeOk, B_BOOL_TYPE, kOne, {} },
                { kRamNeeded, B_BOOL_TYPE, kOne, {} },
                { kRamRequired, B_BOOL_TYPE, kOne, {} },
                { kRamAmount, B_INT32_TYPE, kOne, {} },
                { kSharedLibrary, B_MESSAGE_TYPE, kOne, Record::kSharedLibraries },
                { kApps, B_MESSAGE_TYPE, kOne, Record::kApps },
                { kEditBootscript, B_BOOL_TYPE, kOne, {} },
                { kEditBootscriptTag, B_STRING_TYPE, kOne, {} },
                { kEditBootscriptContents, B_STRING_TYPE, kOne, {} },
                { kEditSetupEnv, B_BOOL_TYPE, kOne, {} },
                { kEditSetupEnvTag, B_STRING_TYPE, kOne, {} },
                { kEditSetupEnvContents, B_STRING_TYPE, kOne, {} },
                { kEditProfile, B_BOOL_TYPE, kOne, {} },
                { kEditProfileTag, B_STRING_TYPE, kOne, {} },
                { kEditProfileContents, B_STRING_TYPE, kOne, {} },
                { kCompleteComments, B_STRING_TYPE, kOne, {} },
                { kCompleteRestart, B_BOOL_TYPE, kOne, {} },
                { kCompleteDisplayFolder, B_BOOL_TYPE, kOne, {} },
                { kAudioData, B_MESSAGE_TYPE, kOne, Record::kAudioData },
                { kDeinstallerSize, B_INT32_TYPE, kOne, {} },
                { kDeinstallerSize64, B_INT64_TYPE, kOne, {} },
            } },
        { Record::kGroups,
            {
                { kGroupName, B_STRING_TYPE, kMany, {} },
                { kGroupDescription, B_STRING_TYPE, kMany, {} },
            } },
        { Record::kInstructions,
            { { kInstallFile, B_MESSAGE_TYPE, kMany, Record::kInstallFile } } },
        { Record::kInstallFile,
            {
                { kFileName, B_STRING_TYPE, kOne, {} },
                { kFileType, B_INT8_TYPE, kOne, {} },
                // Written twice: readers use the first value.
                { kFileSize, B_INT32_TYPE, kMany, {} },
                { kFileSize64, B_INT64_TYPE, kOne, {} },
                { kFileCreation, B_INT64_TYPE, kOne, {} },
                { kFileModified, B_INT64_TYPE, kOne, {} },
                { kFileAccessed, B_INT64_TYPE, kOne, {} },
                { kFileIcon, B_MESSAGE_TYPE, kOne, Record::kArchivedBitmap },
                { kItemGroups, B_STRING_TYPE, kOne, {} },
                { kInstallMeta, B_MESSAGE_TYPE, kOne, Record::kInstallMeta },
                { kInstallToSystem, B_BOOL_TYPE, kOne, {} },
            } },
        { Record::kInstallMeta,
            {
                { kDestination, B_STRING_TYPE, kOne, {} },
                { kDestinationExists, B_STRING_TYPE, kOne, {} },
                { kLink, B_STRING_TYPE, kOne, {} },
                { kLinkExists, B_STRING_TYPE, kOne, {} },
                { kDeinstallable, B_STRING_TYPE, kOne, {} },
                { kAutoLaunch, B_STRING_TYPE, kOne, {} },
                { kAutoLaunchReason, B_STRING_TYPE, kOne, {} },
            } },
        { Record::kCustomFolders,
            { { kCustomFolder, B_MESSAGE_TYPE, kMany, Record::kCustomFolder } } },
        { Record::kCustomFolder,
            {
                { kCustomFolderName, B_STRING_TYPE, kOne, {} },
                { kCustomRootDir, B_INT32_TYPE, kOne, {} },
                { kCustomSubDir, B_STRING_TYPE, kOne, {} },
                { kCustomReplaceExisting, B_BOOL_TYPE, kOne, {} },
            } },
        { Record::kDiskSpaceAmount,
            {
                { kValueType, B_INT32_TYPE, kOne, {} },
                { kValueConversion, B_FLOAT_TYPE, kOne, {} },
                { kValue, B_DOUBLE_TYPE, kOne, {} },
            } },
        { Record::kSharedLibraries,
            {
                { kSharedLibraryRequired, B_BOOL_TYPE, kOne, {} },
                { kSharedLibraryName, B_STRING_TYPE, kMany, {} },
            } },
        { Record::kApps,
            {
                { kAppRequired, B_BOOL_TYPE, kOne, {} },
                { kAppRequirementName, B_STRING_TYPE, kMany, {} },
            } },
        { Record::kAudioData,
            {
                { kAudioSamples, B_ANY_TYPE, kOne, {} },
                { kAudioFrameRate, B_FLOAT_TYPE, kOne, {} },
                { kAudioChannelCount, B_INT32_TYPE, kOne, {} },
                { kAudioFormat, B_INT32_TYPE, kOne, {} },
                { kAudioByteOrder, B_INT32_TYPE, kOne, {} },
                { kAudioBufferSize, B_INT32_TYPE, kOne, {} },
            } },
        // The platform's archive form, which its own classes read and write.
        { Record::kArchivedBitmap, {} },
    };
    return schema;
}

} // namespace

const FieldInfo* FindField(Record record, const char* name)
{
    if (name == nullptr)
        return nullptr;
    for (const RecordFields& entry : Schema()) {
        if (entry.record != record)
            continue;
        for (const FieldInfo& field : entry.fields) {
            if (std::strcmp(field.name, name) == 0)
                return &field;
        }
    }
    return nullptr;
}

RecordWriter::RecordWriter(BMessage& message, Record record)
    : fMessage(message)
    , fRecord(record)
{
}

status_t RecordWriter::Check(const char* name, type_code type) const
{
    const FieldInfo* field = FindField(fRecord, name);
    if (field == nullptr)
        return B_NAME_NOT_FOUND;
    if (field->type != type)
        return B_BAD_TYPE;
    if (!field->repeated && fMessage.HasData(name, type))
        return B_NOT_ALLOWED;
    return B_OK;
}

status_t RecordWriter::AddString(const char* name, const char* value)
{
    status_t status = Check(name, B_STRING_TYPE);
    return status == B_OK ? fMessage.AddString(name, value != nullptr ? value : "") : status;
}

status_t RecordWriter::AddBool(const char* name, bool value)
{
    status_t status = Check(name, B_BOOL_TYPE);
    return status == B_OK ? fMessage.AddBool(name, value) : status;
}

status_t RecordWriter::AddInt8(const char* name, int8 value)
{
    status_t status = Check(name, B_INT8_TYPE);
    return status == B_OK ? fMessage.AddInt8(name, value) : status;
}

status_t RecordWriter::AddInt32(const char* name, int32 value)
{
    status_t status = Check(name, B_INT32_TYPE);
    return status == B_OK ? fMessage.AddInt32(name, value) : status;
}

status_t RecordWriter::SetInt64(const char* name, int64 value)
{
    fMessage.RemoveName(name);
    status_t status = Check(name, B_INT64_TYPE);
    return status == B_OK ? fMessage.AddInt64(name, value) : status;
}

uint64 RecordedSize(const BMessage& record, const char* field32, const char* field64)
{
    int32 size32 = 0;
    bool has32 = record.FindInt32(field32, 0, &size32) == B_OK;
    int64 size64 = 0;
    if (record.FindInt64(field64, 0, &size64) == B_OK && size64 >= 0
        && (!has32 || SaturatedSize32(uint64(size64)) == size32))
        return uint64(size64);
    return size32 > 0 ? uint64(size32) : 0;
}

uint64 RecordedFileSize(const BMessage& item)
{
    return RecordedSize(item, kFileSize, kFileSize64);
}

uint64 RecordedDeinstallerSize(const BMessage& configuration)
{
    return RecordedSize(configuration, kDeinstallerSize, kDeinstallerSize64);
}

status_t AddFileSize(RecordWriter& item, uint64 size)
{
    status_t status = item.AddInt32(kFileSize, SaturatedSize32(size));
    if (status == B_OK)
        status = item.AddInt32(kFileSize, SaturatedSize32(size));
    if (status == B_OK)
        status = item.AddInt64(kFileSize64, int64(std::min<uint64>(size, INT64_MAX)));
    return status;
}

status_t SetDeinstallerSize(RecordWriter& configuration, uint64 size)
{
    status_t status = configuration.SetInt32(kDeinstallerSize, SaturatedSize32(size));
    if (status == B_OK)
        status
            = configuration.SetInt64(kDeinstallerSize64, int64(std::min<uint64>(size, INT64_MAX)));
    return status;
}

status_t RecordWriter::AddInt64(const char* name, int64 value)
{
    status_t status = Check(name, B_INT64_TYPE);
    return status == B_OK ? fMessage.AddInt64(name, value) : status;
}

status_t RecordWriter::AddFloat(const char* name, float value)
{
    status_t status = Check(name, B_FLOAT_TYPE);
    return status == B_OK ? fMessage.AddFloat(name, value) : status;
}

status_t RecordWriter::AddDouble(const char* name, double value)
{
    status_t status = Check(name, B_DOUBLE_TYPE);
    return status == B_OK ? fMessage.AddDouble(name, value) : status;
}

status_t RecordWriter::AddMessage(const char* name, const BMessage& value)
{
    status_t status = Check(name, B_MESSAGE_TYPE);
    return status == B_OK ? fMessage.AddMessage(name, &value) : status;
}

status_t RecordWriter::SetInt32(const char* name, int32 value)
{
    fMessage.RemoveName(name);
    status_t status = Check(name, B_INT32_TYPE);
    return status == B_OK ? fMessage.AddInt32(name, value) : status;
}

status_t WriteConfiguration(BResources& resources, const BMessage& record)
{
    ssize_t size = record.FlattenedSize();
    if (size <= 0)
        return B_BAD_VALUE;
    std::vector<char> bytes(static_cast<size_t>(size));
    status_t status = record.Flatten(bytes.data(), size);
    if (status != B_OK)
        return status;
    return resources.AddResource(
        kConfigurationType, kConfigurationId, bytes.data(), bytes.size(), kConfigurationName);
}

status_t ReadConfiguration(BResources& resources, BMessage* record)
{
    if (record == nullptr)
        return B_BAD_VALUE;
    record->MakeEmpty();
    if (!resources.HasResource(kConfigurationType, kConfigurationId))
        return B_ENTRY_NOT_FOUND;
    size_t size = 0;
    const void* data = resources.LoadResource(kConfigurationType, kConfigurationId, &size);
    if (data == nullptr)
        return B_IO_ERROR;
    status_t status = record->Unflatten(static_cast<const char*>(data), ssize_t(size));
    if (status != B_OK)
        record->MakeEmpty();
    return status;
}

bool IsInGroup(const BMessage& item, const char* group)
{
    const char* groups = nullptr;
    if (group == nullptr || item.FindString(kItemGroups, &groups) != B_OK)
        return false;
    LibStringIterator fields(groups);
    LibString field;
    while (fields.GetNextField(';', field)) {
        if (field.Compare(group) == 0)
            return true;
    }
    return false;
}

} // namespace InstallerFormat
