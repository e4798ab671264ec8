#pragma once

// Ed25519 signatures through libsodium: the keys an
// installer's publisher signs its table of contents with. Keys and
// signatures are the raw bytes of RFC 8032 (a 32-byte seed as the private
// key, a 32-byte public key, a 64-byte signature).

#include <string>

#include <SupportDefs.h>

namespace BPrivate {

namespace Ed25519 {

constexpr size_t kSeedSize = 32;
constexpr size_t kPublicKeySize = 32;
constexpr size_t kSignatureSize = 64;

// A new private key from the system's random source; B_ERROR when it has
// none to give.
status_t NewSeed(std::string* seed);
// The public key of a private key; empty when `seed` is not one.
std::string PublicKeyOf(const std::string& seed);
// The signature of `message`; empty when `seed` is not a private key.
std::string Sign(const std::string& seed, const std::string& message);
// Whether `signature` is the signature of `message` by `publicKey`.
bool Verify(const std::string& publicKey, const std::string& message, const std::string& signature);

} // namespace Ed25519

} // namespace BPrivate
