#pragma once

// The publisher's signature of an installer: an Ed25519 signature of the
// table of contents (InstallerManifest), stored with the publisher's name
// and public key in a resource of its own (InstallerFormat::kSignatureId).
// Since the table of contents holds the digest of every other resource, the
// signature covers the whole installer; the name and key are signed with it,
// so neither can be swapped for another.
//
// The key travels in the installer, so a signature that verifies proves
// only that the installer is as the holder of that key made it: the user
// (or --require-signature) judges the key by its fingerprint.
//
// The resource's text, one line each:
//   BRENVIK SIGNATURE 1
//   publisher <name, \n and % escaped>
//   key <public key, 64 hex digits>
//   signature <signature, 128 hex digits>

#include <string>

#include <SupportDefs.h>

class BResources;

namespace InstallerSignature {

struct Signer {
    std::string publisher;
    // The Ed25519 private key (its 32-byte seed).
    std::string seed;
};

// Signs the table of contents already written into `resources` and stores
// the signature (replacing one that is there). B_BAD_VALUE when the signer's
// key or name cannot be used, B_NO_INIT when there is no table of contents.
status_t Sign(BResources& resources, const Signer& signer);

struct Seal {
    enum result {
        kUnsigned,
        kSigned,
        // A signature is there, but it is damaged or does not match the
        // table of contents (the installer was changed after it was signed).
        kBadSignature,
    };
    result what = kUnsigned;
    std::string publisher;
    // The raw public key.
    std::string publicKey;
};

// The signature's verdict. It says nothing of the other resources: check
// them against the table of contents first (InstallerManifest::Check).
Seal Check(BResources& resources);

// A publisher's name fit to sign with: one line, not empty, not too long.
bool IsPublisherName(const std::string& name);

// The key's fingerprint: the SHA-256 of the raw public key, 64 upper-case
// hexadecimal digits.
std::string Fingerprint(const std::string& publicKey);
// The fingerprint as shown to users: its first 16 digits in groups of four
// ("3F2A 9C01 77BE 0D45"); `all` gives every digit, grouped the same way.
std::string ShownFingerprint(const std::string& publicKey, bool all = false);
// Whether `wanted`, as a user writes a fingerprint (any case, spaces or
// colons between the digits), is a usable one: at least 16 hex digits.
bool IsFingerprint(const std::string& wanted);
// Whether `wanted` is the start (16 digits or more) of the fingerprint of
// `publicKey`.
bool FingerprintNames(const std::string& wanted, const std::string& publicKey);

} // namespace InstallerSignature
