#include "InstallerSignature.h"

#include <Ed25519.h>
#include <Resources.h>
#include <Sha256.h>

#include <cctype>
#include <cstring>

#include "InstallerFormat.h"
#include "InstallerManifest.h"

namespace {

constexpr const char* kSignatureHeader = "BRENVIK SIGNATURE 1\n";
constexpr const char* kSignedHeader = "BRENVIK SIGNED MANIFEST 1\n";
constexpr size_t kMaxSignature = 4096;
constexpr size_t kMaxPublisher = 200;
constexpr size_t kShortFingerprint = 16;

// What is signed: the name and key the installer shows, then the table of
// contents.
std::string SignedText(
    const std::string& publisher, const std::string& publicKey, const std::string& manifest)
{
    return std::string(kSignedHeader) + "publisher " + InstallerManifest::EscapedName(publisher)
        + "\nkey " + BPrivate::Sha256::Hex(publicKey) + "\n" + manifest;
}

// The value of the line "<key> <value>" that starts at `start`; moves
// `start` past the line. False when the line is not there.
bool TakeLine(const std::string& text, size_t* start, const char* key, std::string* value)
{
    std::string prefix = std::string(key) + " ";
    size_t end = text.find('\n', *start);
    if (end == std::string::npos || text.compare(*start, prefix.size(), prefix) != 0)
        return false;
    *value = text.substr(*start + prefix.size(), end - *start - prefix.size());
    *start = end + 1;
    return true;
}

// The digits of a fingerprint as written by a user, upper case; empty when
// anything but digits, spaces and colons is there.
std::string FingerprintDigits(const std::string& wanted)
{
    std::string digits;
    for (char c : wanted) {
        if (c == ' ' || c == ':')
            continue;
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return std::string();
        digits += char(std::toupper(static_cast<unsigned char>(c)));
    }
    return digits;
}

} // namespace

namespace InstallerSignature {

bool IsPublisherName(const std::string& name)
{
    if (name.empty() || name.size() > kMaxPublisher)
        return false;
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return false;
    }
    return name.find_first_not_of(' ') != std::string::npos;
}

status_t Sign(BResources& resources, const Signer& signer)
{
    std::string publicKey = BPrivate::Ed25519::PublicKeyOf(signer.seed);
    if (publicKey.empty() || !IsPublisherName(signer.publisher))
        return B_BAD_VALUE;
    status_t status = resources.Sync();
    if (status != B_OK)
        return status;
    std::string manifest;
    if (!InstallerManifest::ReadText(resources, &manifest))
        return B_NO_INIT;
    std::string signature
        = BPrivate::Ed25519::Sign(signer.seed, SignedText(signer.publisher, publicKey, manifest));
    if (signature.empty())
        return B_ERROR;
    std::string text = std::string(kSignatureHeader) + "publisher "
        + InstallerManifest::EscapedName(signer.publisher) + "\nkey "
        + BPrivate::Sha256::Hex(publicKey) + "\nsignature " + BPrivate::Sha256::Hex(signature)
        + "\n";
    return resources.AddResource(InstallerFormat::kSignatureType, InstallerFormat::kSignatureId,
        text.c_str(), text.size() + 1, InstallerFormat::kSignatureName);
}

Seal Check(BResources& resources)
{
    Seal seal;
    size_t size = 0;
    const char* name = nullptr;
    if (!resources.GetResourceInfo(
            InstallerFormat::kSignatureType, InstallerFormat::kSignatureId, &name, &size))
        return seal;
    seal.what = Seal::kBadSignature;
    std::string text;
    if (!InstallerManifest::ReadTextResource(resources, InstallerFormat::kSignatureType,
            InstallerFormat::kSignatureId, kMaxSignature, &text))
        return seal;
    size_t start = std::strlen(kSignatureHeader);
    std::string publisher;
    std::string key;
    std::string signature;
    std::string manifest;
    if (text.compare(0, start, kSignatureHeader) != 0
        || !TakeLine(text, &start, "publisher", &publisher) || !TakeLine(text, &start, "key", &key)
        || !TakeLine(text, &start, "signature", &signature) || start != text.size()
        || !InstallerManifest::ReadText(resources, &manifest))
        return seal;
    seal.publisher = InstallerManifest::UnescapedName(publisher);
    seal.publicKey = BPrivate::Sha256::FromHex(key);
    // Only the digits Sign writes: a changed byte is never read as the same.
    if (BPrivate::Sha256::Hex(seal.publicKey) != key
        || BPrivate::Sha256::Hex(BPrivate::Sha256::FromHex(signature)) != signature)
        return seal;
    if (BPrivate::Ed25519::Verify(seal.publicKey,
            SignedText(seal.publisher, seal.publicKey, manifest),
            BPrivate::Sha256::FromHex(signature)))
        seal.what = Seal::kSigned;
    return seal;
}

std::string Fingerprint(const std::string& publicKey)
{
    BPrivate::Sha256 digest;
    digest.Update(publicKey.data(), publicKey.size());
    std::string hex = BPrivate::Sha256::Hex(digest.Final());
    for (char& c : hex)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return hex;
}

std::string ShownFingerprint(const std::string& publicKey, bool all)
{
    std::string digits = Fingerprint(publicKey);
    if (!all)
        digits.resize(kShortFingerprint);
    std::string shown;
    for (size_t i = 0; i < digits.size(); i += 4) {
        if (i > 0)
            shown += ' ';
        shown += digits.substr(i, 4);
    }
    return shown;
}

bool IsFingerprint(const std::string& wanted)
{
    std::string digits = FingerprintDigits(wanted);
    return digits.size() >= kShortFingerprint && digits.size() <= 64;
}

bool FingerprintNames(const std::string& wanted, const std::string& publicKey)
{
    return IsFingerprint(wanted) && !publicKey.empty()
        && Fingerprint(publicKey).rfind(FingerprintDigits(wanted), 0) == 0;
}

} // namespace InstallerSignature
