#pragma once

// BMessage: a command code (`what`) and named fields, each holding one or more
// values of one type. Reads every flattened form BeOS and Haiku write (R5 in
// both byte orders, including the compact field form, and Haiku's native
// form, also nested in each other); writes the BeOS R5 form.

#include <memory>
#include <string>
#include <sys/types.h>

#include <EntryRef.h>
#include <OS.h>
#include <Rect.h>
#include <SupportDefs.h>
#include <TypeConstants.h>

class BDataIO;
class BHandler;
class BLooper;
class BMessenger;

namespace BPrivate {
class MessageFields;
class MessageDelivery;
} // namespace BPrivate

// Tokens naming a handler inside a looper.
#define B_NULL_TOKEN (-1)
#define B_PREFERRED_TOKEN (-2)

// Fields of the R5 flattened header's flag byte, and sizes the flattened
// forms use. Exposed for the inspection tool and tests.
enum : uint32 {
    B_MESSAGE_FORMAT_R5 = 0x464F4231, // 'FOB1'
    B_MESSAGE_FORMAT_R5_SWAPPED = 0x31424F46, // '1BOF'
    B_MESSAGE_FORMAT_DANO = 0x464F4232, // 'FOB2'
    B_MESSAGE_FORMAT_HAIKU = 0x31464D48, // '1FMH', bytes "HMF1"
    B_MESSAGE_FORMAT_HAIKU_SWAPPED = 0x484D4631
};

class BMessage {
public:
    uint32 what;

    BMessage();
    explicit BMessage(uint32 what);
    BMessage(const BMessage& other);
    virtual ~BMessage();

    BMessage& operator=(const BMessage& other);

    // Statistics and miscellanea.
    status_t GetInfo(type_code typeRequested, int32 index, char** nameFound, type_code* typeFound,
        int32* countFound = nullptr) const;
    status_t GetInfo(const char* name, type_code* typeFound, int32* countFound = nullptr) const;
    status_t GetInfo(const char* name, type_code* typeFound, bool* fixedSize) const;
    status_t GetInfo(
        const char* name, type_code* typeFound, int32* countFound, bool* fixedSize) const;

    int32 CountNames(type_code type) const;
    bool IsEmpty() const;
    bool IsSystem() const;
    bool IsReply() const;
    void PrintToStream() const;
    // The PrintToStream text, for tools and tests.
    std::string ToString() const;

    status_t Rename(const char* oldEntry, const char* newEntry);

    // Delivery information.
    bool WasDelivered() const;
    bool IsSourceWaiting() const;
    bool IsSourceRemote() const;
    BMessenger ReturnAddress() const;
    const BMessage* Previous() const;
    bool WasDropped() const;
    BPoint DropPoint(BPoint* offset = nullptr) const;

    // Replying (to a message that was sent with a reply expected, or with a
    // reply handler).
    status_t SendReply(uint32 command, BHandler* replyTo = nullptr);
    status_t SendReply(
        BMessage* reply, BHandler* replyTo = nullptr, bigtime_t timeout = B_INFINITE_TIMEOUT);
    status_t SendReply(BMessage* reply, BMessenger replyTo, bigtime_t timeout = B_INFINITE_TIMEOUT);
    status_t SendReply(uint32 command, BMessage* replyToReply);
    status_t SendReply(BMessage* reply, BMessage* replyToReply,
        bigtime_t sendTimeout = B_INFINITE_TIMEOUT, bigtime_t replyTimeout = B_INFINITE_TIMEOUT);

    // Flattening. FlattenedSize/Flatten write the BeOS R5 form; Unflatten reads
    // any supported form and leaves the message empty (what 0) on failure.
    ssize_t FlattenedSize() const;
    status_t Flatten(char* buffer, ssize_t size) const;
    status_t Flatten(BDataIO* stream, ssize_t* size = nullptr) const;
    status_t Unflatten(const char* flatBuffer);
    status_t Unflatten(BDataIO* stream);
    // The safe form: reads at most `size` bytes. Unflatten(const char*) trusts
    // the size recorded in the buffer's own header.
    status_t Unflatten(const void* flatBuffer, size_t size);

    // Scripting specifiers are not supported.
    bool HasSpecifiers() const { return false; }

    // Adding data.
    status_t AddRect(const char* name, BRect rect);
    status_t AddPoint(const char* name, BPoint point);
    status_t AddString(const char* name, const char* string);
    status_t AddString(const char* name, const std::string& string);
    status_t AddInt8(const char* name, int8 value);
    status_t AddUInt8(const char* name, uint8 value);
    status_t AddInt16(const char* name, int16 value);
    status_t AddUInt16(const char* name, uint16 value);
    status_t AddInt32(const char* name, int32 value);
    status_t AddUInt32(const char* name, uint32 value);
    status_t AddInt64(const char* name, int64 value);
    status_t AddUInt64(const char* name, uint64 value);
    status_t AddBool(const char* name, bool value);
    status_t AddFloat(const char* name, float value);
    status_t AddDouble(const char* name, double value);
    status_t AddPointer(const char* name, const void* pointer);
    status_t AddMessenger(const char* name, BMessenger messenger);
    status_t AddRef(const char* name, const entry_ref* ref);
    status_t AddMessage(const char* name, const BMessage* message);
    status_t AddData(const char* name, type_code type, const void* data, ssize_t numBytes,
        bool isFixedSize = true, int32 count = 1);

    // Removing data.
    status_t RemoveData(const char* name, int32 index = 0);
    status_t RemoveName(const char* name);
    status_t MakeEmpty();

    // Finding data. A missing name or index fails and leaves the output alone.
    status_t FindRect(const char* name, BRect* rect) const;
    status_t FindRect(const char* name, int32 index, BRect* rect) const;
    status_t FindPoint(const char* name, BPoint* point) const;
    status_t FindPoint(const char* name, int32 index, BPoint* point) const;
    status_t FindString(const char* name, const char** string) const;
    status_t FindString(const char* name, int32 index, const char** string) const;
    status_t FindString(const char* name, std::string* string) const;
    status_t FindString(const char* name, int32 index, std::string* string) const;
    status_t FindInt8(const char* name, int8* value) const;
    status_t FindInt8(const char* name, int32 index, int8* value) const;
    status_t FindUInt8(const char* name, uint8* value) const;
    status_t FindUInt8(const char* name, int32 index, uint8* value) const;
    status_t FindInt16(const char* name, int16* value) const;
    status_t FindInt16(const char* name, int32 index, int16* value) const;
    status_t FindUInt16(const char* name, uint16* value) const;
    status_t FindUInt16(const char* name, int32 index, uint16* value) const;
    status_t FindInt32(const char* name, int32* value) const;
    status_t FindInt32(const char* name, int32 index, int32* value) const;
    status_t FindUInt32(const char* name, uint32* value) const;
    status_t FindUInt32(const char* name, int32 index, uint32* value) const;
    status_t FindInt64(const char* name, int64* value) const;
    status_t FindInt64(const char* name, int32 index, int64* value) const;
    status_t FindUInt64(const char* name, uint64* value) const;
    status_t FindUInt64(const char* name, int32 index, uint64* value) const;
    status_t FindBool(const char* name, bool* value) const;
    status_t FindBool(const char* name, int32 index, bool* value) const;
    status_t FindFloat(const char* name, float* value) const;
    status_t FindFloat(const char* name, int32 index, float* value) const;
    status_t FindDouble(const char* name, double* value) const;
    status_t FindDouble(const char* name, int32 index, double* value) const;
    status_t FindPointer(const char* name, void** pointer) const;
    status_t FindPointer(const char* name, int32 index, void** pointer) const;
    status_t FindMessenger(const char* name, BMessenger* messenger) const;
    status_t FindMessenger(const char* name, int32 index, BMessenger* messenger) const;
    status_t FindRef(const char* name, entry_ref* ref) const;
    status_t FindRef(const char* name, int32 index, entry_ref* ref) const;
    status_t FindMessage(const char* name, BMessage* message) const;
    status_t FindMessage(const char* name, int32 index, BMessage* message) const;
    status_t FindData(const char* name, type_code type, const void** data, ssize_t* numBytes) const;
    status_t FindData(
        const char* name, type_code type, int32 index, const void** data, ssize_t* numBytes) const;

    // Replacing data in place.
    status_t ReplaceRect(const char* name, BRect rect);
    status_t ReplaceRect(const char* name, int32 index, BRect rect);
    status_t ReplacePoint(const char* name, BPoint point);
    status_t ReplacePoint(const char* name, int32 index, BPoint point);
    status_t ReplaceString(const char* name, const char* string);
    status_t ReplaceString(const char* name, int32 index, const char* string);
    status_t ReplaceInt8(const char* name, int8 value);
    status_t ReplaceInt8(const char* name, int32 index, int8 value);
    status_t ReplaceUInt8(const char* name, uint8 value);
    status_t ReplaceUInt8(const char* name, int32 index, uint8 value);
    status_t ReplaceInt16(const char* name, int16 value);
    status_t ReplaceInt16(const char* name, int32 index, int16 value);
    status_t ReplaceUInt16(const char* name, uint16 value);
    status_t ReplaceUInt16(const char* name, int32 index, uint16 value);
    status_t ReplaceInt32(const char* name, int32 value);
    status_t ReplaceInt32(const char* name, int32 index, int32 value);
    status_t ReplaceUInt32(const char* name, uint32 value);
    status_t ReplaceUInt32(const char* name, int32 index, uint32 value);
    status_t ReplaceInt64(const char* name, int64 value);
    status_t ReplaceInt64(const char* name, int32 index, int64 value);
    status_t ReplaceUInt64(const char* name, uint64 value);
    status_t ReplaceUInt64(const char* name, int32 index, uint64 value);
    status_t ReplaceBool(const char* name, bool value);
    status_t ReplaceBool(const char* name, int32 index, bool value);
    status_t ReplaceFloat(const char* name, float value);
    status_t ReplaceFloat(const char* name, int32 index, float value);
    status_t ReplaceDouble(const char* name, double value);
    status_t ReplaceDouble(const char* name, int32 index, double value);
    status_t ReplacePointer(const char* name, const void* pointer);
    status_t ReplacePointer(const char* name, int32 index, const void* pointer);
    status_t ReplaceMessenger(const char* name, BMessenger messenger);
    status_t ReplaceMessenger(const char* name, int32 index, BMessenger messenger);
    status_t ReplaceRef(const char* name, const entry_ref* ref);
    status_t ReplaceRef(const char* name, int32 index, const entry_ref* ref);
    status_t ReplaceMessage(const char* name, const BMessage* message);
    status_t ReplaceMessage(const char* name, int32 index, const BMessage* message);
    status_t ReplaceData(const char* name, type_code type, const void* data, ssize_t numBytes);
    status_t ReplaceData(
        const char* name, type_code type, int32 index, const void* data, ssize_t numBytes);

    // Presence tests.
    bool HasRect(const char* name, int32 index = 0) const;
    bool HasPoint(const char* name, int32 index = 0) const;
    bool HasString(const char* name, int32 index = 0) const;
    bool HasInt8(const char* name, int32 index = 0) const;
    bool HasUInt8(const char* name, int32 index = 0) const;
    bool HasInt16(const char* name, int32 index = 0) const;
    bool HasUInt16(const char* name, int32 index = 0) const;
    bool HasInt32(const char* name, int32 index = 0) const;
    bool HasUInt32(const char* name, int32 index = 0) const;
    bool HasInt64(const char* name, int32 index = 0) const;
    bool HasUInt64(const char* name, int32 index = 0) const;
    bool HasBool(const char* name, int32 index = 0) const;
    bool HasFloat(const char* name, int32 index = 0) const;
    bool HasDouble(const char* name, int32 index = 0) const;
    bool HasPointer(const char* name, int32 index = 0) const;
    bool HasMessenger(const char* name, int32 index = 0) const;
    bool HasRef(const char* name, int32 index = 0) const;
    bool HasMessage(const char* name, int32 index = 0) const;
    bool HasData(const char* name, type_code type, int32 index = 0) const;

    // Convenience getters with a default (as Haiku offers them).
    const char* GetString(const char* name, const char* defaultValue = nullptr) const;
    const char* GetString(const char* name, int32 index, const char* defaultValue) const;
    bool GetBool(const char* name, bool defaultValue = false) const;
    bool GetBool(const char* name, int32 index, bool defaultValue) const;
    int32 GetInt32(const char* name, int32 defaultValue) const;
    int32 GetInt32(const char* name, int32 index, int32 defaultValue) const;
    int64 GetInt64(const char* name, int64 defaultValue) const;
    int64 GetInt64(const char* name, int32 index, int64 defaultValue) const;

private:
    friend class BLooper;
    friend class BMessenger;
    friend class BPrivate::MessageDelivery;

    // Field storage (MessageFields.h). Never null.
    std::unique_ptr<BPrivate::MessageFields> fFields;
    // How the message travels (MessageDelivery.h); null for a message that
    // was never sent. Not flattened, not copied.
    std::unique_ptr<BPrivate::MessageDelivery> fDelivery;
};
