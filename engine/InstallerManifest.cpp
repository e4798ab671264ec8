#include "InstallerManifest.h"

#include <Resources.h>
#include <Sha256.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "InstallerFormat.h"

namespace {

constexpr const char* kManifestHeader = "BRENVIK MANIFEST 1\n";
constexpr const char* kSelfPrefix = "manifest ";
constexpr const char* kProgramPrefix = "program ";
constexpr size_t kChunk = 1 << 20;
// More than any installer's table of contents.
constexpr size_t kMaxManifest = 16 << 20;

using Key = std::pair<type_code, int32>;

struct Listed {
    std::string name;
    std::string digest;
};

bool IsManifest(type_code type, int32 id)
{
    return type == InstallerFormat::kManifestType && id == InstallerFormat::kManifestId;
}

// The parts the manifest does not list: itself, and the signature made of it.
bool IsUnlisted(type_code type, int32 id)
{
    return IsManifest(type, id)
        || (type == InstallerFormat::kSignatureType && id == InstallerFormat::kSignatureId);
}

// The digest of `size` bytes that `read` gives in pieces, straight from the
// file: a whole installer is never held in memory.
std::string DigestOfBytes(
    size_t size, const std::function<status_t(void* data, off_t offset, size_t length)>& read)
{
    BPrivate::Sha256 digest;
    std::string chunk(std::min(size, kChunk), '\0');
    for (size_t done = 0; done < size;) {
        size_t length = std::min(kChunk, size - done);
        if (read(chunk.data(), off_t(done), length) != B_OK)
            return std::string();
        digest.Update(chunk.data(), length);
        done += length;
    }
    return BPrivate::Sha256::Hex(digest.Final());
}

// The digest of a resource's data.
std::string DigestOf(BResources& resources, type_code type, int32 id, size_t size)
{
    return DigestOfBytes(size, [&](void* data, off_t offset, size_t length) {
        return resources.ReadResource(type, id, data, offset, length);
    });
}

// The digest of the program the resources are appended to.
std::string ProgramDigest(BResources& resources)
{
    return DigestOfBytes(
        size_t(resources.HostSize()), [&](void* data, off_t offset, size_t length) {
            return resources.ReadHost(data, offset, length);
        });
}

std::string SelfDigest(const std::string& text)
{
    BPrivate::Sha256 digest;
    digest.Update(text.data(), text.size());
    return BPrivate::Sha256::Hex(digest.Final());
}

InstallerManifest::Verdict Damaged(type_code type, int32 id, const std::string& name)
{
    InstallerManifest::Verdict verdict;
    verdict.what = InstallerManifest::Verdict::kDamaged;
    verdict.part = InstallerManifest::Part { type, id, name };
    return verdict;
}

} // namespace

namespace InstallerManifest {

std::string EscapedName(const std::string& name)
{
    std::string escaped;
    for (char c : name) {
        if (c == '\n')
            escaped += "%0a";
        else if (c == '%')
            escaped += "%25";
        else
            escaped += c;
    }
    return escaped;
}

std::string UnescapedName(const std::string& escaped)
{
    std::string name;
    for (size_t i = 0; i < escaped.size(); i++) {
        if (escaped.compare(i, 3, "%0a") == 0) {
            name += '\n';
            i += 2;
        } else if (escaped.compare(i, 3, "%25") == 0) {
            name += '%';
            i += 2;
        } else {
            name += escaped[i];
        }
    }
    return name;
}

bool Parse(const std::string& text, Listing* listing)
{
    *listing = Listing();
    if (text.rfind(kManifestHeader, 0) != 0)
        return false;
    size_t last = text.rfind(kSelfPrefix);
    if (last == std::string::npos || (last > 0 && text[last - 1] != '\n'))
        return false;
    std::string self = text.substr(last + std::strlen(kSelfPrefix));
    if (!self.empty() && self.back() == '\n')
        self.pop_back();
    if (self != SelfDigest(text.substr(0, last)))
        return false;
    listing->digest = self;
    size_t start = std::strlen(kManifestHeader);
    size_t programEnd = text.find('\n', start);
    if (text.compare(start, std::strlen(kProgramPrefix), kProgramPrefix) != 0 || programEnd > last)
        return false;
    listing->programDigest = text.substr(
        start + std::strlen(kProgramPrefix), programEnd - start - std::strlen(kProgramPrefix));
    start = programEnd + 1;
    while (start < last) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end - start);
        start = end + 1;
        unsigned type = 0;
        int id = 0;
        char digest[65] = {};
        int consumed = 0;
        if (std::sscanf(line.c_str(), "%8x %d %64s %n", &type, &id, digest, &consumed) < 3)
            return false;
        listing->entries.push_back(Entry {
            Part { type_code(type), int32(id), UnescapedName(line.substr(size_t(consumed))) },
            std::string(digest) });
    }
    return true;
}

bool ReadTextResource(
    BResources& resources, type_code type, int32 id, size_t limit, std::string* text)
{
    size_t size = 0;
    const char* name = nullptr;
    if (!resources.GetResourceInfo(type, id, &name, &size) || size == 0 || size > limit)
        return false;
    text->assign(size, '\0');
    if (resources.ReadResource(type, id, text->data(), 0, size) != B_OK)
        return false;
    if (text->back() == '\0')
        text->pop_back();
    return true;
}

bool ReadText(BResources& resources, std::string* text)
{
    return ReadTextResource(resources, InstallerFormat::kManifestType, InstallerFormat::kManifestId,
        kMaxManifest, text);
}

status_t Write(BResources& resources)
{
    status_t status = resources.Sync();
    if (status != B_OK)
        return status;
    std::string program = ProgramDigest(resources);
    if (program.empty())
        return B_IO_ERROR;
    std::string text = std::string(kManifestHeader) + kProgramPrefix + program + "\n";
    type_code type;
    int32 id;
    const char* name = nullptr;
    size_t size = 0;
    for (int32 i = 0; resources.GetResourceInfo(i, &type, &id, &name, &size); i++) {
        if (IsUnlisted(type, id))
            continue;
        std::string digest = DigestOf(resources, type, id, size);
        if (digest.empty())
            return B_IO_ERROR;
        char start[32];
        std::snprintf(start, sizeof start, "%08x %d ", unsigned(type), int(id));
        text += start + digest + " " + EscapedName(name != nullptr ? name : "") + "\n";
    }
    text += kSelfPrefix + SelfDigest(text) + "\n";
    return resources.AddResource(InstallerFormat::kManifestType, InstallerFormat::kManifestId,
        text.c_str(), text.size() + 1, InstallerFormat::kManifestName);
}

Verdict Check(BResources& resources)
{
    Verdict verdict;
    size_t size = 0;
    const char* manifestName = nullptr;
    if (!resources.GetResourceInfo(
            InstallerFormat::kManifestType, InstallerFormat::kManifestId, &manifestName, &size))
        return verdict;
    Verdict damagedList = Damaged(InstallerFormat::kManifestType, InstallerFormat::kManifestId,
        InstallerFormat::kManifestName);
    std::string text;
    Listing listing;
    if (!ReadText(resources, &text) || !Parse(text, &listing))
        return damagedList;
    if (listing.programDigest != ProgramDigest(resources)) {
        Verdict damaged;
        damaged.what = Verdict::kDamaged;
        damaged.program = true;
        return damaged;
    }
    std::map<Key, Listed> listed;
    for (const Entry& entry : listing.entries)
        listed[Key(entry.part.type, entry.part.id)] = Listed { entry.part.name, entry.digest };

    type_code type;
    int32 id;
    const char* name = nullptr;
    for (int32 i = 0; resources.GetResourceInfo(i, &type, &id, &name, &size); i++) {
        if (IsUnlisted(type, id))
            continue;
        std::string shown = name != nullptr ? name : "";
        auto found = listed.find(Key(type, id));
        if (found == listed.end() || found->second.digest != DigestOf(resources, type, id, size))
            return Damaged(type, id, shown);
        listed.erase(found);
    }
    // A part the list has and the file has not.
    if (!listed.empty())
        return Damaged(
            listed.begin()->first.first, listed.begin()->first.second, listed.begin()->second.name);
    verdict.what = Verdict::kWhole;
    return verdict;
}

} // namespace InstallerManifest
