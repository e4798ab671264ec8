#include "Ed25519.h"

#include <sodium.h>

namespace BPrivate {

namespace Ed25519 {

namespace {

// libsodium's Ed25519 (RFC 8032, as OpenSSL's): small enough to go into the
// installer program, where OpenSSL's would bring its whole provider layer.
bool Ready()
{
    return sodium_init() >= 0;
}

const unsigned char* Bytes(const std::string& text)
{
    return reinterpret_cast<const unsigned char*>(text.data());
}

// The key pair of a seed: libsodium signs with the seed and the public key
// together.
bool KeyPair(const std::string& seed, unsigned char publicKey[crypto_sign_PUBLICKEYBYTES],
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES])
{
    return seed.size() == kSeedSize && Ready()
        && crypto_sign_seed_keypair(publicKey, secretKey, Bytes(seed)) == 0;
}

static_assert(crypto_sign_SEEDBYTES == kSeedSize);
static_assert(crypto_sign_PUBLICKEYBYTES == kPublicKeySize);
static_assert(crypto_sign_BYTES == kSignatureSize);

} // namespace

status_t NewSeed(std::string* seed)
{
    if (!Ready())
        return B_ERROR;
    unsigned char bytes[kSeedSize];
    randombytes_buf(bytes, sizeof bytes);
    seed->assign(reinterpret_cast<const char*>(bytes), sizeof bytes);
    sodium_memzero(bytes, sizeof bytes);
    return B_OK;
}

std::string PublicKeyOf(const std::string& seed)
{
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
    if (!KeyPair(seed, publicKey, secretKey))
        return std::string();
    sodium_memzero(secretKey, sizeof secretKey);
    return std::string(reinterpret_cast<const char*>(publicKey), sizeof publicKey);
}

std::string Sign(const std::string& seed, const std::string& message)
{
    unsigned char publicKey[crypto_sign_PUBLICKEYBYTES];
    unsigned char secretKey[crypto_sign_SECRETKEYBYTES];
    if (!KeyPair(seed, publicKey, secretKey))
        return std::string();
    unsigned char signature[crypto_sign_BYTES];
    int signedOk
        = crypto_sign_detached(signature, nullptr, Bytes(message), message.size(), secretKey);
    sodium_memzero(secretKey, sizeof secretKey);
    if (signedOk != 0)
        return std::string();
    return std::string(reinterpret_cast<const char*>(signature), sizeof signature);
}

bool Verify(const std::string& publicKey, const std::string& message, const std::string& signature)
{
    return publicKey.size() == kPublicKeySize && signature.size() == kSignatureSize && Ready()
        && crypto_sign_verify_detached(
               Bytes(signature), Bytes(message), message.size(), Bytes(publicKey))
        == 0;
}

} // namespace Ed25519

} // namespace BPrivate
