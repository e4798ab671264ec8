#pragma once

// The installer's format, written down once: the resources that an installer
// executable carries, the identity of the installer and the de-installer, and
// every field of the configuration record with its type. The authoring tool
// writes installers with it, InstallConfig and the programs read them with it,
// and the install pass writes the de-installer's record with it.

#include <SupportDefs.h>
#include <TypeConstants.h>

#include <LibSound.h>
#include <LocalizedTextTable.h>

#include <optional>

class BMessage;
class BResources;

namespace InstallerFormat {

// Resources of an installer executable. Entries (the de-installer and the
// payload items) are one-item zip archives named after their top item.
constexpr type_code kEntryType = B_RAW_TYPE;
constexpr int32 kDeinstallerId = 2001;
constexpr const char* kDeinstallerName = "Kolvast";
constexpr int32 kFirstPayloadId = 2100;
constexpr type_code kConfigurationType = B_STRING_TYPE;
constexpr int32 kConfigurationId = 2002;
constexpr const char* kConfigurationName = "BVC:configuration";
// The table of contents that proves the installer whole: the SHA-256 of
// every other resource (InstallerManifest.h).
constexpr type_code kManifestType = B_STRING_TYPE;
constexpr int32 kManifestId = 2003;
constexpr const char* kManifestName = "BVC:manifest";
// The publisher's signature of the table of contents, with the publisher's
// name and public key (InstallerSignature.h). It is the one resource the
// table of contents does not list.
constexpr type_code kSignatureType = B_STRING_TYPE;
constexpr int32 kSignatureId = 2004;
constexpr const char* kSignatureName = "BVC:signature";
// The user texts are string resources named "<code>:<id>" (TextIds.h,
// LocalizedTextTable).
constexpr const char* kLanguageAttribute = LocalizedTextTable::kLanguageAttribute;

// The resource id of payload item index (counted from 0 over all items).
constexpr int32 PayloadId(int32 index)
{
    return kFirstPayloadId + index;
}

// Identity of the programs.
constexpr const char* kInstallerSignature = "application/x-vnd.Tarsel.Velk";
constexpr const char* kDocumentType = "text/x-velk";
constexpr const char* kDeinstallerSignature = "application/x-vnd.Tarsel.Kolvast";
// The installer's version record.
constexpr uint32 kVersionMajor = 1;
constexpr uint32 kVersionMiddle = 3;
constexpr uint32 kVersionMinor = 1;
constexpr uint32 kVersionVariety = 5; // final
constexpr uint32 kVersionInternal = 0;
constexpr const char* kVersionShortText = "Installer";
constexpr const char* kVersionLongText = "V1.3.1 Install BeOS applications";

// What an installation leaves behind.
constexpr const char* kLogName = "Log";
constexpr const char* kDeinstallTagAttribute = "InstallBy";

// Keyword values, compared exactly and case-sensitively.
constexpr const char* kUserSelected = "User Selected";
constexpr const char* kNone = "None";
constexpr const char* kTrue = "True";
constexpr const char* kFalse = "False";
constexpr const char* kPrompt = "Prompt";
constexpr const char* kRename = "Rename";
constexpr const char* kReplace = "Replace";
constexpr const char* kCurrentFolder = "Current";

// The field names of the configuration record and of its nested records.
namespace Field {
// The record itself.
constexpr const char* kInstallFolderName = "install_folder_name";
constexpr const char* kGroups = "groups";
constexpr const char* kAppName = "app_name";
constexpr const char* kVersion = "version";
constexpr const char* kReleaseDate = "release_date";
constexpr const char* kCompany = "company";
constexpr const char* kSupportEmail = "support_email";
constexpr const char* kAboutImage = "about_image";
constexpr const char* kAudioFile = "audio_file";
constexpr const char* kLicense = "license";
constexpr const char* kInstallInstructions = "install_instructions";
constexpr const char* kCustomFolder = "custom_folder";
constexpr const char* kLog = "opt_log";
constexpr const char* kCreateStartup = "opt_create_startup";
constexpr const char* kSaveReplaced = "opt_save_replaced";
constexpr const char* kIncludeDeinstall = "opt_include_deinstall";
constexpr const char* kDefaultFolder = "opt_default_folder";
constexpr const char* kCreatedFolder = "opt_created_folder";
constexpr const char* kShowBeosFolders = "opt_show_beos_folders";
// A system installation keeps the group and other write bits of the
// payload's modes only with this on (missing: off).
constexpr const char* kKeepSharedWrite = "opt_keep_shared_write";
constexpr const char* kCompression = "opt_compression";
constexpr const char* kDiskSpaceNeeded = "req_disk_space_needed";
constexpr const char* kDiskSpaceRequired = "req_disk_space_required";
constexpr const char* kDiskSpaceAmount = "req_disk_space_amount";
constexpr const char* kBootVolumeOnly = "req_boot_vol_only";
constexpr const char* kRemovableVolumeOk = "req_removable_vol_ok";
constexpr const char* kSharedVolumeOk = "req_shared_vol_ok";
constexpr const char* kRamNeeded = "req_ram_needed";
constexpr const char* kRamRequired = "req_ram_required";
constexpr const char* kRamAmount = "req_ram_amount";
constexpr const char* kSharedLibrary = "req_shared_library";
constexpr const char* kApps = "req_apps";
constexpr const char* kEditBootscript = "edit_bootscript";
constexpr const char* kEditBootscriptTag = "edit_bootscript_tag";
constexpr const char* kEditBootscriptContents = "edit_bootscript_contents";
constexpr const char* kEditSetupEnv = "edit_setup_env";
constexpr const char* kEditSetupEnvTag = "edit_setup_env_tag";
constexpr const char* kEditSetupEnvContents = "edit_setup_env_contents";
constexpr const char* kEditProfile = "edit_profile";
constexpr const char* kEditProfileTag = "edit_profile_tag";
constexpr const char* kEditProfileContents = "edit_profile_contents";
constexpr const char* kCompleteComments = "complete_comments";
constexpr const char* kCompleteRestart = "complete_restart";
constexpr const char* kCompleteDisplayFolder = "complete_display_folder";
constexpr const char* kAudioData = "audio_data";
constexpr const char* kDeinstallerSize = "BVC:deinstaller_size";
// The 64-bit companion of "BVC:deinstaller_size" (see RecordedSize below).
constexpr const char* kDeinstallerSize64 = "BVC:deinstaller_size_64";
// "groups"
constexpr const char* kGroupName = "group_name";
constexpr const char* kGroupDescription = "group_description";
// "install_instructions" and each "install_file" item in it
constexpr const char* kInstallFile = "install_file";
constexpr const char* kFileName = "file_name";
constexpr const char* kFileType = "file_type";
constexpr const char* kFileSize = "file_size";
// The 64-bit companion of "file_size" (see RecordedSize below).
constexpr const char* kFileSize64 = "BVC:file_size_64";
constexpr const char* kFileCreation = "file_creation";
constexpr const char* kFileModified = "file_modified";
constexpr const char* kFileAccessed = "file_accessed";
constexpr const char* kFileIcon = "file_icon";
constexpr const char* kItemGroups = "groups";
constexpr const char* kInstallMeta = "install_meta";
constexpr const char* kInstallToSystem = "install_to_system";
// Set by the install pass on an item it placed (its "file_name" is then its
// place); never stored in an installer.
constexpr const char* kPlacedByPass = "placed_by_pass";
// "install_meta"
constexpr const char* kDestination = "destination";
constexpr const char* kDestinationExists = "destination_exists";
constexpr const char* kLink = "link";
constexpr const char* kLinkExists = "link_exists";
constexpr const char* kDeinstallable = "deinstallable";
constexpr const char* kAutoLaunch = "auto_launch";
constexpr const char* kAutoLaunchReason = "auto_launch_reason";
// each "custom_folder" entry (inside the "custom_folder" record)
constexpr const char* kCustomFolderName = "custom_folder_name";
constexpr const char* kCustomRootDir = "custom_root_dir";
constexpr const char* kCustomSubDir = "custom_sub_dir";
constexpr const char* kCustomReplaceExisting = "custom_replace_existing";
// "req_disk_space_amount"
constexpr const char* kValueType = "value_type";
constexpr const char* kValueConversion = "value_conversion";
constexpr const char* kValue = "value";
// "req_shared_library" (the missing "a" is the format's own spelling)
constexpr const char* kSharedLibraryRequired = "req_shared_librry_req";
constexpr const char* kSharedLibraryName = "req_shared_library_name";
// "req_apps"
constexpr const char* kAppRequired = "req_app_req";
constexpr const char* kAppRequirementName = "req_app_name";
// "audio_data": a sound message, as LibSound reads and writes it
constexpr const char* kAudioSamples = LibSound::kDataField;
constexpr const char* kAudioFrameRate = LibSound::kFrameRateField;
constexpr const char* kAudioChannelCount = LibSound::kChannelCountField;
constexpr const char* kAudioFormat = LibSound::kFormatField;
constexpr const char* kAudioByteOrder = LibSound::kByteOrderField;
constexpr const char* kAudioBufferSize = LibSound::kBufferSizeField;
} // namespace Field

// The records of the format: the configuration record and the messages
// nested in it.
enum class Record {
    kConfiguration,
    kGroups,
    kInstructions,
    kInstallFile,
    kInstallMeta,
    kCustomFolders,
    kCustomFolder,
    kDiskSpaceAmount,
    kSharedLibraries,
    kApps,
    kAudioData,
    // An archived bitmap ("about_image", "file_icon"): the platform's own form.
    kArchivedBitmap,
};

// One field of a record: its type, whether it holds several values, and for
// a message field the record it holds.
struct FieldInfo {
    const char* name;
    type_code type;
    bool repeated;
    std::optional<Record> nested;
};

// The field of that name in a record of that kind, or nullptr when the
// format has none there.
const FieldInfo* FindField(Record record, const char* name);

// Adds values to a record, checking each against the format: B_NAME_NOT_FOUND
// for a field the record does not have, B_BAD_TYPE for a value of another
// type, B_NOT_ALLOWED for a second value of a single field; the record is
// then left unchanged.
class RecordWriter {
public:
    RecordWriter(BMessage& message, Record record);

    status_t AddString(const char* name, const char* value);
    status_t AddBool(const char* name, bool value);
    status_t AddInt8(const char* name, int8 value);
    status_t AddInt32(const char* name, int32 value);
    status_t AddInt64(const char* name, int64 value);
    status_t AddFloat(const char* name, float value);
    status_t AddDouble(const char* name, double value);
    status_t AddMessage(const char* name, const BMessage& value);
    // Sets a single field, replacing the value it has.
    status_t SetInt32(const char* name, int32 value);
    status_t SetInt64(const char* name, int64 value);

    BMessage& Message() { return fMessage; }

private:
    status_t Check(const char* name, type_code type) const;

    BMessage& fMessage;
    Record fRecord;
};

// Sizes. "file_size" and "BVC:deinstaller_size" are signed 32-bit fields;
// each has a 64-bit companion ("BVC:file_size_64", "BVC:deinstaller_size_64")
// holding the true size, while the 32-bit field holds the size saturated at
// its maximum, which is what a reader that knows only the 32-bit field sees.
// The largest size the 32-bit fields hold.
constexpr uint64 kMaxSize32 = 0x7FFFFFFF;
constexpr int32 SaturatedSize32(uint64 size)
{
    return int32(size < kMaxSize32 ? size : kMaxSize32);
}
// The size a record gives through field32 and its companion field64: the
// companion when it agrees with the 32-bit value (or that is missing), so
// that a tool that rewrote only the 32-bit field is still believed; else
// the first 32-bit value. A negative or missing size is 0.
uint64 RecordedSize(const BMessage& record, const char* field32, const char* field64);
// An "install_file" item's size, and the de-installer's in the configuration.
uint64 RecordedFileSize(const BMessage& item);
uint64 RecordedDeinstallerSize(const BMessage& configuration);
// Writes an item's size: "file_size" twice (saturated) and the companion.
status_t AddFileSize(RecordWriter& item, uint64 size);
// Sets the de-installer's size: the saturated 32-bit field and the companion.
status_t SetDeinstallerSize(RecordWriter& configuration, uint64 size);

// Stores record, flattened, as the configuration resource of an installer
// (or a de-installer), replacing the one there.
[[nodiscard]] status_t WriteConfiguration(BResources& resources, const BMessage& record);
// Reads the configuration resource into record (emptied first; left empty on
// failure). B_ENTRY_NOT_FOUND when there is none, another error when it cannot
// be read. The resource is found by type and id; its name is not consulted.
[[nodiscard]] status_t ReadConfiguration(BResources& resources, BMessage* record);

// Whether an "install_file" item belongs to the install type group: group is
// one of the ";"-separated fields of the item's "groups" text.
bool IsInGroup(const BMessage& item, const char* group);

} // namespace InstallerFormat
