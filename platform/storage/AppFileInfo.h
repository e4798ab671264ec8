#pragma once

// BAppFileInfo: the application information of an executable: its
// signature ("BEOS:APP_SIG"), launch flags ("BEOS:APP_FLAGS"), supported
// types ("BEOS:FILE_TYPES"), version records ("BEOS:APP_VERSION"), type
// and icons. Each item is kept both as an attribute and as a resource of
// the same name (B_USE_BOTH_LOCATIONS, the default), as BeOS does; reading
// tries the attribute first (its type must match exactly), then the
// resource with that type, name and the item's usual id. A file that cannot
// hold resources uses attributes only.
//
// The version data are two version_info records of 340 bytes each (the
// application's, then the system's), 680 bytes, integers little-endian.

#include <memory>
#include <vector>

#include <NodeInfo.h>

class BFile;
class BMessage;
class BResources;

enum version_kind { B_APP_VERSION_KIND = 0, B_SYSTEM_VERSION_KIND = 1 };

enum info_location { B_USE_ATTRIBUTES = 0x1, B_USE_RESOURCES = 0x2, B_USE_BOTH_LOCATIONS = 0x3 };

// Varieties of a version.
enum {
    B_DEVELOPMENT_VERSION = 0,
    B_ALPHA_VERSION,
    B_BETA_VERSION,
    B_GAMMA_VERSION,
    B_GOLDEN_MASTER_VERSION,
    B_FINAL_VERSION
};

struct version_info {
    uint32 major;
    uint32 middle;
    uint32 minor;
    uint32 variety;
    uint32 internal;
    char short_info[64];
    char long_info[256];
};

static_assert(sizeof(version_info) == 340, "the version record is 340 bytes on disk");

class BAppFileInfo : public BNodeInfo {
public:
    BAppFileInfo();
    BAppFileInfo(BFile* file);
    ~BAppFileInfo() override;

    status_t SetTo(BFile* file);

    // The item types and names.
    static constexpr const char* kSignatureName = "BEOS:APP_SIG";
    static constexpr const char* kFlagsName = "BEOS:APP_FLAGS";
    static constexpr const char* kSupportedTypesName = "BEOS:FILE_TYPES";
    static constexpr const char* kVersionName = "BEOS:APP_VERSION";
    static constexpr uint32 kFlagsType = 'APPF';
    static constexpr uint32 kVersionType = 'APPV';

    status_t GetType(char* type) const override;
    status_t SetType(const char* type) override;

    // The signature, into a buffer of B_MIME_TYPE_LENGTH bytes.
    status_t GetSignature(char* signature) const;
    status_t SetSignature(const char* signature);

    status_t GetAppFlags(uint32* flags) const;
    status_t SetAppFlags(uint32 flags);
    status_t RemoveAppFlags();

    // The supported types as "types" strings of a message.
    status_t GetSupportedTypes(BMessage* types) const;
    status_t SetSupportedTypes(const BMessage* types, bool syncAll = true);
    bool IsSupportedType(const char* type) const;

    status_t GetVersionInfo(version_info* info, version_kind kind) const;
    status_t SetVersionInfo(const version_info* info, version_kind kind);

    // The application's icons as raw B_CMAP8 bytes (see BNodeInfo).
    status_t GetIconData(icon_size size, uint8* bits) const;
    status_t SetIconData(icon_size size, const uint8* bits);

    void SetInfoLocation(info_location location);
    bool IsUsingAttributes() const;
    bool IsUsingResources() const;

private:
    status_t ReadItem(const char* name, type_code type, int32 id, std::vector<uint8>* data) const;
    status_t WriteItem(const char* name, type_code type, int32 id, const void* data, size_t size);
    status_t RemoveItem(const char* name, type_code type, int32 id);
    status_t ReadMimeString(const char* name, int32 id, char* buffer) const;
    status_t WriteMimeString(const char* name, int32 id, const char* value);

    std::unique_ptr<BResources> fResources;
    info_location fWhere;
};
